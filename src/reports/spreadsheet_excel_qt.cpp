#include "reports/spreadsheet_excel_qt.h"

#include "core/text_qt.h"
#include "core/typed_number.h"

#include <QAxObject>
#include <QDir>
#include <QString>
#include <QVariant>

#include <cmath>

#include <objbase.h>

namespace kuzelna {
namespace {

QString nativePath(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(QString::fromStdWString(std::filesystem::absolute(path).wstring()));
}

// Every automation failure of one object, turned into an error after the call.
class Failures {
public:
    void watch(QAxObject* object) {
        QObject::connect(object, &QAxObject::exception,
                         [this](int, const QString& source, const QString& description, const QString&) {
                             message_ = (source + ": " + description).toStdString();
                         });
    }
    void check(const char* what) {
        if (message_.empty()) return;
        const std::string message = std::string(what) + ": " + message_;
        message_.clear();
        throw SpreadsheetError(message);
    }

private:
    std::string message_;
};

// A sub-object of the automation server, or an error when there is none.
std::unique_ptr<QAxObject> child(QAxObject& parent, const char* name, Failures& failures, const char* what) {
    std::unique_ptr<QAxObject> object(parent.querySubObject(name));
    failures.check(what);
    if (!object) throw SpreadsheetError(std::string(what) + ": no " + name);
    failures.watch(object.get());
    return object;
}

std::unique_ptr<QAxObject> child(QAxObject& parent, const char* name, const QVariant& argument,
                                 Failures& failures, const char* what) {
    std::unique_ptr<QAxObject> object(parent.querySubObject(name, argument));
    failures.check(what);
    if (!object) throw SpreadsheetError(std::string(what) + ": no " + name);
    failures.watch(object.get());
    return object;
}

class ExcelSheet : public Worksheet {
public:
    ExcelSheet(std::unique_ptr<QAxObject> sheet, Failures& failures)
        : sheet_(std::move(sheet)), failures_(failures) {}

    void writeText(const std::string& cell, const std::string& text) override {
        range(cell)->setProperty("Value", fromCp1250(text));
        failures_.check("writing a cell");
    }

    void writeInteger(const std::string& cell, int value) override {
        range(cell)->setProperty("Value", value);
        failures_.check("writing a cell");
    }

    void writeNumber(const std::string& cell, double value) override {
        range(cell)->setProperty("Value", value);
        failures_.check("writing a cell");
    }

    std::string readText(const std::string& cell) override {
        const QVariant value = read(cell);
        if (value.isNull() || !value.isValid()) return {};
        if (value.typeId() == QMetaType::Double) {
            const double number = value.toDouble();
            if (std::nearbyint(number) == number) return std::to_string(static_cast<long long>(number));
        }
        return toCp1250(value.toString());
    }

    int readInteger(const std::string& cell) override {
        const QVariant value = read(cell);
        if (value.isNull() || !value.isValid()) return 0;
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int) {
            return static_cast<int>(std::lround(value.toDouble()));
        }
        const std::optional<int> number = parseInteger(toCp1250(value.toString()));
        if (!number) throw SpreadsheetError("the value in " + cell + " is no integer");
        return *number;
    }

    void saveAs(const std::filesystem::path& path) override {
        sheet_->dynamicCall("SaveAs(const QString&)", nativePath(path));
        failures_.check("saving the workbook");
    }

private:
    std::unique_ptr<QAxObject> range(const std::string& cell) {
        const QString name = QString::fromStdString(cell);
        std::unique_ptr<QAxObject> object(
            sheet_->querySubObject("Range(const QVariant&, const QVariant&)", name, name));
        failures_.check("addressing a cell");
        if (!object) throw SpreadsheetError("no cell " + cell);
        failures_.watch(object.get());
        return object;
    }

    QVariant read(const std::string& cell) {
        const QVariant value = range(cell)->property("Value");
        failures_.check("reading a cell");
        // An error value of a formula comes as a number code of its own type.
        if (value.typeId() == QMetaType::UInt)
            throw SpreadsheetError("the formula in " + cell + " gives an error");
        return value;
    }

    std::unique_ptr<QAxObject> sheet_;
    Failures& failures_;
};

class ExcelApplication : public Spreadsheet {
public:
    ExcelApplication() : excel_(std::make_unique<QAxObject>()) {
        failures_.watch(excel_.get());
        if (!excel_->setControl(QStringLiteral("Excel.Application"))) {
            throw SpreadsheetError("the automation server Excel.Application could not be created");
        }
    }

    // A visible Excel stays with the operator; a hidden one is ended.
    ~ExcelApplication() override {
        if (ended_ || visible_) return;
        try {
            quit();
        } catch (...) {
        }
    }

    void setVisible(bool visible) override {
        visible_ = visible;
        excel_->setProperty("Visible", visible);
        failures_.check("showing Excel");
    }

    void setDisplayAlerts(bool displayAlerts) override {
        excel_->setProperty("DisplayAlerts", displayAlerts);
        failures_.check("setting the alerts of Excel");
    }

    void openWorkbook(const std::filesystem::path& path, OpenAs mode) override {
        sheet_.reset();
        auto books = child(*excel_, "Workbooks", failures_, "opening a workbook");
        // A template is opened read-only: the workbook is saved under another name.
        books->dynamicCall("Open(const QString&, const QVariant&, const QVariant&)", nativePath(path), 0,
                           mode == OpenAs::Template);
        failures_.check("opening a workbook");
    }

    void activateFirstSheet() override {
        sheet_.reset();
        auto book = child(*excel_, "ActiveWorkbook", failures_, "activating the first sheet");
        auto sheet = child(*book, "Worksheets(const QVariant&)", 1, failures_, "activating the first sheet");
        sheet->dynamicCall("Activate()");
        failures_.check("activating the first sheet");
    }

    Worksheet& activeSheet() override {
        if (!sheet_)
            sheet_ = std::make_unique<ExcelSheet>(
                child(*excel_, "ActiveSheet", failures_, "taking the active sheet"), failures_);
        return *sheet_;
    }

    PrintOutcome printAllSheets(const std::filesystem::path& pdfName) override {
        const QString printer = excel_->property("ActivePrinter").toString();
        failures_.check("printing");
        if (!printer.isEmpty()) {
            auto sheets = child(*excel_, "Worksheets", failures_, "printing");
            sheets->dynamicCall("PrintOut()");
            failures_.check("printing");
            return {};
        }
        // Without a printer: the workbook as a PDF beside its file.
        auto book = child(*excel_, "ActiveWorkbook", failures_, "printing");
        std::filesystem::path pdf = pdfName;
        if (pdf.empty()) {
            pdf = book->property("FullName").toString().toStdWString();
            failures_.check("printing");
            pdf.replace_extension(".pdf");
        }
        book->dynamicCall("ExportAsFixedFormat(const QVariant&, const QVariant&)", 0, nativePath(pdf));
        failures_.check("printing");
        return {false, pdf};
    }

    void quit() override {
        if (ended_) return;
        ended_ = true;
        sheet_.reset();
        excel_->dynamicCall("Quit()");
        failures_.check("quitting Excel");
    }

private:
    Failures failures_;
    std::unique_ptr<QAxObject> excel_;
    std::unique_ptr<ExcelSheet> sheet_;
    bool visible_ = false;
    bool ended_ = false;
};

} // namespace

std::unique_ptr<Spreadsheet> startExcel() {
    // The reports run on a thread of their own, which must join COM before it
    // talks to Excel; once per thread.
    thread_local const bool joined = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (!joined) throw SpreadsheetError("the reports thread could not use COM");
    return std::make_unique<ExcelApplication>();
}

} // namespace kuzelna
