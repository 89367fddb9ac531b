#include "reports/spreadsheet_uno.h"

#include "core/child_process.h"
#include "core/cp1250.h"
#include "core/file_replace.h"
#include "core/typed_number.h"
#include "reports/office_profiles.h"
#include "reports/report_outcome.h"
#include "reports/report_paths.h"

#include <com/sun/star/awt/PrinterServer.hpp>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>
#include <rtl/bootstrap.hxx>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kuzelna {
namespace {

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OString;
using rtl::OUString;
using rtl::OUStringToOString;

// Where the office's own libraries find their configuration; without it the
// local component context cannot create the services we need.
constexpr const char* kFundamentals = "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc";
constexpr auto kConnectRetry = std::chrono::milliseconds(100);
constexpr auto kExitWait = std::chrono::seconds(10);

OUString toOUString(const std::string& utf8) {
    return OUString::fromUtf8(OString(utf8.data(), static_cast<sal_Int32>(utf8.size())));
}

std::string toUtf8(const OUString& text) {
    return OUStringToOString(text, RTL_TEXTENCODING_UTF8).getStr();
}

OUString fromText(const std::string& cp1250Text) {
    return toOUString(cp1250::toUtf8(cp1250Text));
}

std::string toText(const OUString& text) {
    return cp1250::fromUtf8(toUtf8(text));
}

OUString fileUrl(const std::filesystem::path& path) {
    const std::u8string native = std::filesystem::absolute(path).u8string();
    OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(toOUString(std::string(native.begin(), native.end())), url) !=
        osl::FileBase::E_None) {
        throw SpreadsheetError("not a usable file name: " + path.string());
    }
    return url;
}

std::filesystem::path pathOfUrl(const OUString& url) {
    OUString system;
    if (osl::FileBase::getSystemPathFromFileURL(url, system) != osl::FileBase::E_None) return {};
    const std::string utf8 = toUtf8(system);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

css::beans::PropertyValue property(const char* name, const Any& value) {
    css::beans::PropertyValue result;
    result.Name = OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

Sequence<css::beans::PropertyValue> properties(const std::vector<css::beans::PropertyValue>& values) {
    return Sequence<css::beans::PropertyValue>(values.data(), static_cast<sal_Int32>(values.size()));
}

// Runs one automation call; every failure of the office becomes a SpreadsheetError.
template <class Call> auto guarded(const char* what, Call call) -> decltype(call()) {
    try {
        return call();
    } catch (const css::uno::Exception& error) {
        throw SpreadsheetError(std::string(what) + ": " + toUtf8(error.Message));
    }
}

// The local side of UNO, set up once per process.
Reference<css::uno::XComponentContext> localContext() {
    static const Reference<css::uno::XComponentContext> context = [] {
        rtl::Bootstrap::set(OUString("URE_BOOTSTRAP"), OUString::createFromAscii(kFundamentals));
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    return context;
}

std::string uniqueName() {
    static std::atomic<int> counter{0};
    return "kuzelna_" + std::to_string(getpid()) + "_" + std::to_string(++counter) + "_" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000);
}

// The office process, started with a profile and a pipe of its own.
// The office's own Czech texts are installed: its windows and messages speak
// Czech like the rest of the program.
bool czechOfficeInstalled(const std::filesystem::path& program) {
    std::error_code ignored;
    return std::filesystem::is_directory(program.parent_path() / "resource" / "cs", ignored);
}

// A fresh profile that starts the office in Czech (the profile is created on
// the first start and keeps what is already in it).
void writeCzechProfile(const std::filesystem::path& profile) {
    const std::filesystem::path user = profile / "user";
    std::filesystem::create_directories(user);
    const std::string settings =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
        "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
        "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop oor:name=\"ooLocale\" oor:op=\"fuse\">"
        "<value>cs</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop oor:name=\"ooSetupSystemLocale\" "
        "oor:op=\"fuse\"><value>cs-CZ</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Office.Linguistic/General\"><prop oor:name=\"UILocale\" "
        "oor:op=\"fuse\"><value>cs</value></prop></item>\n"
        "</oor:items>\n";
    try {
        replaceFile((user / "registrymodifications.xcu").string(), settings);
    } catch (const std::runtime_error& error) {
        throw SpreadsheetError(std::string("cannot write the office profile: ") + error.what());
    }
}

// The office process, started with a profile and a pipe of its own. A headless
// office ends with this program; one with windows is a session of its own, so
// that a document the operator still has open outlives the program.
class OfficeProcess {
public:
    OfficeProcess(const std::filesystem::path& program, bool headless) : headless_(headless) {
        // Named after this process, so that a start after a crash can tell it is left over.
        std::string profilePattern = officeProfilePattern(std::filesystem::temp_directory_path());
        if (!mkdtemp(profilePattern.data())) throw SpreadsheetError("cannot create an office profile folder");
        profile_ = profilePattern;
        pipe_ = uniqueName();
        if (czechOfficeInstalled(program)) writeCzechProfile(profile_);

        arguments_ = {program.string(),
                      "--invisible",
                      "--norestore",
                      "--nologo",
                      "--nodefault",
                      "--nolockcheck",
                      "-env:UserInstallation=" + toUtf8(fileUrl(profile_)),
                      "--accept=pipe,name=" + pipe_ + ";urp;StarOffice.ComponentContext"};
        if (headless) arguments_.insert(arguments_.begin() + 1, "--headless");
        spawn();
    }

    // The office asks to be started again (exit code 81) after it has set up
    // a fresh profile; its launcher would do that, so we do it here.
    bool restartIfAsked() {
        if (pid_ != 0 || lastStatus_ != kRestartRequested) return false;
        lastStatus_ = -1;
        spawn();
        return true;
    }

    ~OfficeProcess() {
        if (detached_) return; // the operator's office keeps its profile
        stop();
        std::error_code ignored;
        std::filesystem::remove_all(profile_, ignored);
    }

    const std::string& pipe() const { return pipe_; }
    int exitStatus() const { return lastStatus_; }

    // Collects the process when it has ended (no zombie is left behind).
    bool exited() {
        if (pid_ <= 0) return true;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = 0;
            lastStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return true;
        }
        return false;
    }

    // Waits for the process to end on its own, then ends it.
    void stop(std::chrono::milliseconds grace = std::chrono::milliseconds(0)) {
        const auto deadline = std::chrono::steady_clock::now() + grace;
        while (!exited() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
    }

    // Leaves the process running on its own after this program ends.
    void detach() { detached_ = true; }

private:
    static constexpr int kRestartRequested = 81;

    void spawn() {
        pid_ = startChild(arguments_, headless_ ? ChildTie::DiesWithParent : ChildTie::OwnSession);
        if (pid_ < 0) {
            pid_ = 0;
            throw SpreadsheetError("cannot start the office");
        }
    }

    bool headless_;
    bool detached_ = false;
    std::filesystem::path profile_;
    std::string pipe_;
    std::vector<std::string> arguments_;
    pid_t pid_ = 0;
    int lastStatus_ = -1;
};

// One running office and the connection to it, shared by every application of
// this program that wants the same kind (headless or with windows): one office
// holds all workbooks, so a workbook open in it is found there instead of being
// loaded again ("Document in Use").
class OfficeConnection {
public:
    explicit OfficeConnection(const LibreOfficeOptions& options)
        : headless_(options.headless), process_(options.program, options.headless) {
        const Reference<css::uno::XComponentContext> local = localContext();
        const Reference<css::connection::XConnector> connector = css::connection::Connector::create(local);
        const auto deadline = std::chrono::steady_clock::now() + options.startTimeout;
        Reference<css::connection::XConnection> connection;
        for (;;) {
            try {
                connection = connector->connect(toOUString("pipe,name=" + process_.pipe()));
                break;
            } catch (const css::connection::NoConnectException&) {
            }
            if (process_.exited() && !process_.restartIfAsked()) {
                throw SpreadsheetError("the office ended before it accepted the connection (exit status " +
                                       std::to_string(process_.exitStatus()) + ")");
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                throw SpreadsheetError("the office did not start within the time allowed");
            }
            std::this_thread::sleep_for(kConnectRetry);
        }
        guarded("starting the office", [&] {
            const Reference<css::bridge::XBridgeFactory2> bridges = css::bridge::BridgeFactory::create(local);
            bridge_ = bridges->createBridge(OUString(), OUString("urp"), connection, nullptr);
            remote_.set(bridge_->getInstance(OUString("StarOffice.ComponentContext")), UNO_QUERY_THROW);
            desktop_ = css::frame::Desktop::create(remote_);
        });
    }

    // The last application of ours let go of the office: a headless one ends;
    // one with windows stays while the operator has a document in it.
    ~OfficeConnection() {
        try {
            if (alive() && !headless_ && showsDocuments()) {
                process_.detach();
                return;
            }
            if (alive()) desktop_->terminate();
        } catch (...) {
        }
        desktop_.clear();
        remote_.clear();
        process_.stop(kExitWait);
    }

    bool headless() const { return headless_; }
    const Reference<css::uno::XComponentContext>& remote() const { return remote_; }
    const Reference<css::frame::XDesktop2>& desktop() const { return desktop_; }

    // False once the office has ended: closed by the operator, or broken off.
    bool alive() {
        if (broken_) return false;
        if (process_.exited()) {
            broken_ = true;
            return false;
        }
        return true;
    }

    // Breaks off a call that waits for the office (any thread may call this):
    // the call then fails instead of waiting on.
    void interrupt() {
        broken_ = true;
        try {
            Reference<css::lang::XComponent> bridge(bridge_, UNO_QUERY);
            if (bridge.is()) bridge->dispose();
        } catch (...) {
        }
    }

    // The loaded document of that file, if the office has it open.
    Reference<css::frame::XModel> openDocument(const OUString& url) {
        for (const Reference<css::frame::XModel>& model : documents()) {
            if (model->getURL() == url) return model;
        }
        return {};
    }

    std::vector<Reference<css::frame::XModel>> documents() {
        std::vector<Reference<css::frame::XModel>> models;
        const Reference<css::container::XEnumeration> all = desktop_->getComponents()->createEnumeration();
        while (all->hasMoreElements()) {
            Reference<css::frame::XModel> model(all->nextElement(), UNO_QUERY);
            if (model.is()) models.push_back(model);
        }
        return models;
    }

    // Whether a document window of this office is on the screen.
    bool showsDocuments() {
        for (const Reference<css::frame::XModel>& model : documents()) {
            const Reference<css::frame::XController> controller = model->getCurrentController();
            if (!controller.is() || !controller->getFrame().is()) continue;
            const Reference<css::awt::XWindow2> window(controller->getFrame()->getContainerWindow(),
                                                       UNO_QUERY);
            if (window.is() && window->isVisible()) return true;
        }
        return false;
    }

private:
    bool headless_;
    std::atomic<bool> broken_{false};
    OfficeProcess process_;
    Reference<css::bridge::XBridge> bridge_;
    Reference<css::uno::XComponentContext> remote_;
    Reference<css::frame::XDesktop2> desktop_;
};

// The offices of this program, so that applications share them and a hanging
// call can be broken off from another thread.
struct Offices {
    std::mutex mutex;
    std::weak_ptr<OfficeConnection> headless;
    std::weak_ptr<OfficeConnection> windowed;
};

Offices& offices() {
    static Offices all;
    return all;
}

std::shared_ptr<OfficeConnection> sharedOffice(const LibreOfficeOptions& options) {
    Offices& all = offices();
    {
        std::lock_guard lock(all.mutex);
        std::shared_ptr<OfficeConnection> office = (options.headless ? all.headless : all.windowed).lock();
        if (office && office->alive()) return office;
    }
    auto office = std::make_shared<OfficeConnection>(options);
    std::lock_guard lock(all.mutex);
    (options.headless ? all.headless : all.windowed) = office;
    return office;
}

// LibreOffice keeps ".~lock.NAME#" beside a document it has open.
bool lockedByAnotherProgram(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::exists(path.parent_path() / (".~lock." + path.filename().string() + "#"),
                                   ignored);
}

class UnoWorksheet : public Worksheet {
public:
    UnoWorksheet(Reference<css::sheet::XSpreadsheet> sheet, Reference<css::frame::XStorable> document)
        : sheet_(std::move(sheet)), document_(std::move(document)) {}

    void writeText(const std::string& cell, const std::string& text) override {
        guarded("writing a cell",
                [&] { Reference<css::text::XText>(at(cell), UNO_QUERY_THROW)->setString(fromText(text)); });
    }

    void writeInteger(const std::string& cell, int value) override {
        guarded("writing a cell", [&] { at(cell)->setValue(value); });
    }

    void writeNumber(const std::string& cell, double value) override {
        guarded("writing a cell", [&] { at(cell)->setValue(value); });
    }

    std::string readText(const std::string& cell) override {
        return guarded("reading a cell", [&]() -> std::string {
            const Reference<css::table::XCell> target = at(cell);
            switch (contentOf(target, cell)) {
            case Content::Empty:
                return {};
            case Content::Number:
                return numberText(target->getValue());
            case Content::Text:
                return toText(Reference<css::text::XText>(target, UNO_QUERY_THROW)->getString());
            }
            return {};
        });
    }

    int readInteger(const std::string& cell) override {
        return guarded("reading a cell", [&]() -> int {
            const Reference<css::table::XCell> target = at(cell);
            switch (contentOf(target, cell)) {
            case Content::Empty:
                return 0;
            case Content::Number:
                return integerOf(target->getValue(), cell);
            case Content::Text:
                return integerOf(toUtf8(Reference<css::text::XText>(target, UNO_QUERY_THROW)->getString()),
                                 cell);
            }
            return 0;
        });
    }

    void saveAs(const std::filesystem::path& path) override {
        // The office would create a missing folder; a report must not land
        // somewhere the operator did not choose.
        const std::filesystem::path folder = std::filesystem::absolute(path).parent_path();
        if (!std::filesystem::is_directory(folder)) {
            throw SpreadsheetError("the folder " + folder.string() + " does not exist");
        }
        guarded("saving the workbook", [&] {
            const Sequence<css::beans::PropertyValue> arguments = properties({
                property("FilterName", Any(filterFor(path))),
                property("Overwrite", Any(true)),
            });
            document_->storeAsURL(fileUrl(path), arguments);
        });
    }

private:
    enum class Content { Empty, Number, Text };

    Reference<css::table::XCell> at(const std::string& cell) {
        const Reference<css::table::XCellRange> range =
            Reference<css::table::XCellRange>(sheet_, UNO_QUERY_THROW)->getCellRangeByName(toOUString(cell));
        return range->getCellByPosition(0, 0);
    }

    static Content contentOf(const Reference<css::table::XCell>& cell, const std::string& name) {
        switch (cell->getType()) {
        case css::table::CellContentType_EMPTY:
            return Content::Empty;
        case css::table::CellContentType_VALUE:
            return Content::Number;
        case css::table::CellContentType_TEXT:
            return Content::Text;
        default:
            break;
        }
        if (cell->getError() != 0) throw SpreadsheetError("the formula in " + name + " gives an error");
        sal_Int32 resultType = css::sheet::FormulaResult::VALUE;
        Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)
            ->getPropertyValue(OUString("FormulaResultType2")) >>= resultType;
        return resultType == css::sheet::FormulaResult::STRING ? Content::Text : Content::Number;
    }

    static std::string numberText(double value) {
        if (std::nearbyint(value) == value && std::fabs(value) < 1e15) {
            return std::to_string(static_cast<long long>(value));
        }
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.15g", value);
        return buffer;
    }

    static int integerOf(double value, const std::string& cell) {
        if (!std::isfinite(value) || std::fabs(value) > 2147483647.0) {
            throw SpreadsheetError("the value in " + cell + " is no integer");
        }
        return static_cast<int>(std::lround(value));
    }

    static int integerOf(const std::string& text, const std::string& cell) {
        const std::optional<int> value = parseInteger(text);
        if (!value) throw SpreadsheetError("the text in " + cell + " is no integer");
        return *value;
    }

    static OUString filterFor(const std::filesystem::path& path) {
        std::string extension = path.extension().string();
        for (char& c : extension)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension == ".xlsx") return OUString("Calc MS Excel 2007 XML");
        if (extension == ".ods") return OUString("calc8");
        return OUString("MS Excel 97");
    }

    Reference<css::sheet::XSpreadsheet> sheet_;
    Reference<css::frame::XStorable> document_;
};

class LibreOfficeApplication : public Spreadsheet {
public:
    explicit LibreOfficeApplication(const LibreOfficeOptions& options)
        : headless_(options.headless), office_(sharedOffice(options)) {}

    // A document the operator can see stays with the operator; the rest closes.
    ~LibreOfficeApplication() override {
        if (ended_) return;
        try {
            sheet_.reset();
            if (!office_->alive()) return;
            for (const auto& component : documents_) {
                if (!headless_ && isShown(component)) continue;
                close(component);
            }
        } catch (...) {
        }
    }

    void setVisible(bool visible) override {
        visible_ = visible;
        showDocument();
    }

    // The office never asks here: documents load without an interaction handler
    // and the program asks its own questions before it closes anything.
    void setDisplayAlerts(bool) override {}

    void openWorkbook(const std::filesystem::path& path, OpenAs mode) override {
        requireRunning();
        if (!std::filesystem::is_regular_file(path)) throw SpreadsheetError("no workbook " + path.string());
        wasOpen_ = false;
        Reference<css::frame::XModel> model;
        if (mode == OpenAs::Document) {
            model = guarded("opening a workbook", [&] { return office_->openDocument(fileUrl(path)); });
            wasOpen_ = model.is();
            if (!model.is() && lockedByAnotherProgram(path)) throw WorkbookInUseError(path);
        }
        if (!model.is()) {
            const Reference<css::lang::XComponent> component = load(path, mode);
            if (!component.is()) throw SpreadsheetError("the office could not open " + path.string());
            documents_.push_back(component);
            model.set(component, UNO_QUERY_THROW);
        }
        document_ = model;
        sheet_.reset();
        showDocument();
    }

    bool activeWorkbookWasOpen() const override { return wasOpen_; }

    std::string activeWorkbookTitle() const override {
        return guarded("reading the title", [&]() -> std::string {
            const Reference<css::frame::XTitle> title(activeDocument(), UNO_QUERY);
            return title.is() ? toText(title->getTitle()) : std::string();
        });
    }

    void activateFirstSheet() override {
        guarded("activating the first sheet", [&] {
            const Reference<css::container::XIndexAccess> sheets(
                Reference<css::sheet::XSpreadsheetDocument>(activeDocument(), UNO_QUERY_THROW)->getSheets(),
                UNO_QUERY_THROW);
            const Reference<css::sheet::XSpreadsheet> first(sheets->getByIndex(0), UNO_QUERY_THROW);
            view()->setActiveSheet(first);
            sheet_.reset();
        });
    }

    Worksheet& activeSheet() override {
        if (!sheet_) {
            sheet_ = guarded("taking the active sheet", [&] {
                const Reference<css::frame::XStorable> storable(activeDocument(), UNO_QUERY_THROW);
                return std::make_unique<UnoWorksheet>(view()->getActiveSheet(), storable);
            });
        }
        return *sheet_;
    }

    PrintOutcome printAllSheets(const std::filesystem::path& pdfName) override {
        return guarded("printing", [&]() -> PrintOutcome {
            const Reference<css::frame::XModel> document = activeDocument();
            if (hasPrinter()) {
                const Sequence<css::beans::PropertyValue> options = properties({property("Wait", Any(true))});
                Reference<css::view::XPrintable>(document, UNO_QUERY_THROW)->print(options);
                return {};
            }
            // Without a printer the office would silently print nothing.
            std::filesystem::path pdf = pdfName;
            if (pdf.empty()) {
                pdf = pathOfUrl(document->getURL());
                if (pdf.empty())
                    throw SpreadsheetError("no printer, and the workbook has no file to put a PDF beside");
                pdf.replace_extension(".pdf");
            }
            const Sequence<css::beans::PropertyValue> arguments = properties({
                property("FilterName", Any(OUString("calc_pdf_Export"))),
                property("Overwrite", Any(true)),
            });
            Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)->storeToURL(fileUrl(pdf), arguments);
            return {false, pdf};
        });
    }

    // The program has asked its own questions before: the workbooks this
    // application opened close as they are, and no office prompt can hold the
    // operation up.
    void quit() override {
        if (ended_) return;
        ended_ = true;
        sheet_.reset();
        document_.clear();
        if (office_->alive()) {
            for (const auto& component : documents_)
                close(component);
        }
        documents_.clear();
    }

    bool ended() const override { return ended_ || !office_->alive(); }

    std::vector<std::filesystem::path> unsavedWorkbooks() const override {
        std::vector<std::filesystem::path> unsaved;
        if (ended()) return unsaved;
        for (const Reference<css::frame::XStorable>& storable : unsavedDocuments())
            unsaved.push_back(pathOfUrl(storable->getLocation()));
        return unsaved;
    }

    void saveUnsavedWorkbooks() override {
        if (ended()) return;
        for (const Reference<css::frame::XStorable>& storable : unsavedDocuments())
            guarded("saving the workbook", [&] { storable->store(); });
    }

private:
    // A template opens as a new, untitled workbook made from it (editable, and
    // never written back under the template's name); a document opens as itself.
    // No interaction handler: nothing the office might ask can stop a report.
    Reference<css::lang::XComponent> load(const std::filesystem::path& path, OpenAs mode) {
        return guarded("opening a workbook", [&] {
            std::vector<css::beans::PropertyValue> arguments = {property("Hidden", Any(true))};
            if (mode == OpenAs::Template) arguments.push_back(property("AsTemplate", Any(true)));
            return office_->desktop()->loadComponentFromURL(fileUrl(path), OUString("_blank"), 0,
                                                            properties(arguments));
        });
    }

    // Workbooks of ours that have a file and changes not saved in it.
    std::vector<Reference<css::frame::XStorable>> unsavedDocuments() const {
        std::vector<Reference<css::frame::XStorable>> unsaved;
        for (const auto& component : documents_) {
            try {
                const Reference<css::util::XModifiable> modifiable(component, UNO_QUERY);
                const Reference<css::frame::XStorable> storable(component, UNO_QUERY);
                if (modifiable.is() && storable.is() && modifiable->isModified() && storable->hasLocation())
                    unsaved.push_back(storable);
            } catch (const css::uno::Exception&) {
                // A workbook the operator closed meanwhile.
            }
        }
        return unsaved;
    }

    static void close(const Reference<css::lang::XComponent>& component) {
        try {
            Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
            if (closeable.is()) closeable->close(true);
        } catch (const css::uno::Exception&) {
        }
    }

    static bool isShown(const Reference<css::lang::XComponent>& component) {
        try {
            const Reference<css::frame::XModel> model(component, UNO_QUERY);
            if (!model.is() || !model->getCurrentController().is()) return false;
            const Reference<css::awt::XWindow2> window(
                model->getCurrentController()->getFrame()->getContainerWindow(), UNO_QUERY);
            return window.is() && window->isVisible();
        } catch (const css::uno::Exception&) {
            return false;
        }
    }

    void requireRunning() const {
        if (ended()) throw SpreadsheetError("the spreadsheet application has ended");
    }

    Reference<css::frame::XModel> activeDocument() const {
        requireRunning();
        if (!document_.is()) throw SpreadsheetError("no workbook is open");
        return document_;
    }

    Reference<css::sheet::XSpreadsheetView> view() const {
        return Reference<css::sheet::XSpreadsheetView>(activeDocument()->getCurrentController(),
                                                       UNO_QUERY_THROW);
    }

    // The office lists a "Generic Printer" of its own when the system has no
    // printer queue; printing to it goes nowhere.
    bool hasPrinter() const {
        const Sequence<OUString> names =
            css::awt::PrinterServer::create(office_->remote())->getPrinterNames();
        for (const OUString& name : names) {
            if (name != "Generic Printer") return true;
        }
        return false;
    }

    // A document is loaded hidden; on a display it is shown, in front, once the
    // application is visible.
    void showDocument() {
        if (headless_ || !visible_ || !document_.is()) return;
        guarded("showing the workbook", [&] {
            const Reference<css::awt::XWindow> window =
                document_->getCurrentController()->getFrame()->getContainerWindow();
            window->setVisible(true);
            const Reference<css::awt::XTopWindow> top(window, UNO_QUERY);
            if (top.is()) top->toFront();
        });
    }

    bool headless_;
    bool visible_ = false;
    bool ended_ = false;
    bool wasOpen_ = false;
    std::shared_ptr<OfficeConnection> office_;
    std::vector<Reference<css::lang::XComponent>> documents_;
    Reference<css::frame::XModel> document_;
    std::unique_ptr<UnoWorksheet> sheet_;
};

} // namespace

std::unique_ptr<Spreadsheet> startLibreOffice(const LibreOfficeOptions& options) {
    if (!std::filesystem::exists(options.program)) {
        throw ReportFailure(operatorText("Tabulkový procesor LibreOffice není nainstalován (chybí ") +
                            textFromPath(options.program) + ")");
    }
    return std::make_unique<LibreOfficeApplication>(options);
}

void interruptLibreOffice() {
    Offices& all = offices();
    std::lock_guard lock(all.mutex);
    for (auto* office : {&all.headless, &all.windowed}) {
        if (std::shared_ptr<OfficeConnection> running = office->lock()) running->interrupt();
    }
}

} // namespace kuzelna
