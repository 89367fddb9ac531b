#include "reports/spreadsheet_uno.h"

#include "core/cp1250.h"
#include "reports/office_profiles.h"

#include <com/sun/star/awt/PrinterServer.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/task/InteractionHandler.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>
#include <rtl/bootstrap.hxx>

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
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
class OfficeProcess {
public:
    OfficeProcess(const std::filesystem::path& program, bool headless) {
        // Named after this process, so that a start after a crash can tell it is left over.
        std::string profilePattern = officeProfilePattern(std::filesystem::temp_directory_path());
        if (!mkdtemp(profilePattern.data())) throw SpreadsheetError("cannot create an office profile folder");
        profile_ = profilePattern;
        pipe_ = uniqueName();

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
        stop();
        std::error_code ignored;
        std::filesystem::remove_all(profile_, ignored);
    }

    const std::string& pipe() const { return pipe_; }
    int exitStatus() const { return lastStatus_; }

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

private:
    static constexpr int kRestartRequested = 81;

    void spawn() {
        std::vector<char*> argv;
        for (std::string& argument : arguments_)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        const pid_t parent = getpid();
        pid_ = fork();
        if (pid_ < 0) {
            pid_ = 0;
            throw SpreadsheetError("cannot start the office");
        }
        if (pid_ == 0) {
            // The office must not outlive the program that drives it.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) _exit(127);
            const int null = open("/dev/null", O_RDWR);
            if (null >= 0) {
                dup2(null, STDIN_FILENO);
                dup2(null, STDOUT_FILENO);
                dup2(null, STDERR_FILENO);
            }
            execv(argv[0], argv.data());
            _exit(127);
        }
    }

    std::filesystem::path profile_;
    std::string pipe_;
    std::vector<std::string> arguments_;
    pid_t pid_ = 0;
    int lastStatus_ = -1;
};

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
        const std::size_t first = text.find_first_not_of(' ');
        const std::size_t last = text.find_last_not_of(' ');
        if (first == std::string::npos) throw SpreadsheetError("the text in " + cell + " is no integer");
        const char* begin = text.data() + first;
        const char* end = text.data() + last + 1;
        if (*begin == '+') ++begin;
        int value = 0;
        const auto [stop, error] = std::from_chars(begin, end, value);
        if (error != std::errc() || stop != end)
            throw SpreadsheetError("the text in " + cell + " is no integer");
        return value;
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
        : headless_(options.headless), process_(options.program, options.headless) {
        const Reference<css::uno::XComponentContext> local = localContext();
        const Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(local);
        const OUString url =
            toOUString("uno:pipe,name=" + process_.pipe() + ";urp;StarOffice.ComponentContext");
        const auto deadline = std::chrono::steady_clock::now() + options.startTimeout;
        for (;;) {
            try {
                remote_.set(resolver->resolve(url), UNO_QUERY_THROW);
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
        desktop_ = guarded("starting the office", [&] { return css::frame::Desktop::create(remote_); });
    }

    ~LibreOfficeApplication() override {
        if (ended_) return;
        try {
            shutDown(false);
        } catch (...) {
        }
    }

    void setVisible(bool visible) override {
        visible_ = visible;
        showDocument();
    }

    void setDisplayAlerts(bool displayAlerts) override { displayAlerts_ = displayAlerts; }

    void openWorkbook(const std::filesystem::path& path, OpenAs mode) override {
        requireRunning();
        if (!std::filesystem::is_regular_file(path)) throw SpreadsheetError("no workbook " + path.string());
        Reference<css::lang::XComponent> component = load(path, mode);
        // A document locked by another office (a lock file left behind) opens
        // only for reading; that is all a workbook we do not save needs.
        if (!component.is() && mode == OpenAs::Document) component = load(path, mode, true);
        if (!component.is()) throw SpreadsheetError("the office could not open " + path.string());
        documents_.push_back(component);
        document_.set(component, UNO_QUERY_THROW);
        sheet_.reset();
        showDocument();
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

    PrintOutcome printAllSheets() override {
        return guarded("printing", [&]() -> PrintOutcome {
            const Reference<css::frame::XModel> document = activeDocument();
            if (hasPrinter()) {
                const Sequence<css::beans::PropertyValue> options = properties({property("Wait", Any(true))});
                Reference<css::view::XPrintable>(document, UNO_QUERY_THROW)->print(options);
                return {};
            }
            // Without a printer the office would silently print nothing.
            std::filesystem::path pdf = pathOfUrl(document->getURL());
            if (pdf.empty())
                throw SpreadsheetError("no printer, and the workbook has no file to put a PDF beside");
            pdf.replace_extension(".pdf");
            const Sequence<css::beans::PropertyValue> arguments = properties({
                property("FilterName", Any(OUString("calc_pdf_Export"))),
                property("Overwrite", Any(true)),
            });
            Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)->storeToURL(fileUrl(pdf), arguments);
            return {false, pdf};
        });
    }

    // A visible office that may show prompts asks the operator about unsaved
    // workbooks, like Excel does; if the operator keeps it, it stays running.
    void quit() override {
        if (ended_) return;
        shutDown(!headless_ && visible_ && displayAlerts_);
    }

private:
    // A template opens as a new, untitled workbook made from it (editable, and
    // never written back under the template's name); a document opens as itself.
    Reference<css::lang::XComponent> load(const std::filesystem::path& path, OpenAs mode,
                                          bool readOnly = false) {
        return guarded("opening a workbook", [&] {
            std::vector<css::beans::PropertyValue> arguments = {property("Hidden", Any(true))};
            if (mode == OpenAs::Template) arguments.push_back(property("AsTemplate", Any(true)));
            if (readOnly) arguments.push_back(property("ReadOnly", Any(true)));
            if (displayAlerts_ && !headless_) {
                arguments.push_back(property(
                    "InteractionHandler", Any(css::task::InteractionHandler::createWithParent(remote_, {}))));
            }
            return desktop_->loadComponentFromURL(fileUrl(path), OUString("_blank"), 0,
                                                  properties(arguments));
        });
    }

    // Ends the office: closes our workbooks first unless the operator is to be
    // asked about them, then terminates it. Returns false when the operator
    // kept it running.
    bool shutDown(bool askOperator) {
        sheet_.reset();
        bool terminated = true;
        try {
            if (!askOperator) {
                for (const auto& component : documents_) {
                    try {
                        Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
                        if (closeable.is()) closeable->close(true);
                    } catch (const css::uno::Exception&) {
                    }
                }
            }
            terminated = desktop_->terminate();
        } catch (const css::uno::Exception&) {
            // The connection goes down with the office: it has ended.
        }
        if (!terminated) return false;
        ended_ = true;
        document_.clear();
        documents_.clear();
        desktop_.clear();
        remote_.clear();
        process_.stop(kExitWait);
        return true;
    }

    void requireRunning() const {
        if (ended_) throw SpreadsheetError("the spreadsheet application has ended");
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
        const Sequence<OUString> names = css::awt::PrinterServer::create(remote_)->getPrinterNames();
        for (const OUString& name : names) {
            if (name != "Generic Printer") return true;
        }
        return false;
    }

    // A document is loaded hidden; on a display it is shown once the
    // application is visible.
    void showDocument() {
        if (headless_ || !visible_ || !document_.is()) return;
        guarded("showing the workbook", [&] {
            document_->getCurrentController()->getFrame()->getContainerWindow()->setVisible(true);
        });
    }

    bool headless_;
    bool visible_ = false;
    bool displayAlerts_ = false;
    bool ended_ = false;
    OfficeProcess process_;
    Reference<css::uno::XComponentContext> remote_;
    Reference<css::frame::XDesktop2> desktop_;
    std::vector<Reference<css::lang::XComponent>> documents_;
    Reference<css::frame::XModel> document_;
    std::unique_ptr<UnoWorksheet> sheet_;
};

} // namespace

std::unique_ptr<Spreadsheet> startLibreOffice(const LibreOfficeOptions& options) {
    return std::make_unique<LibreOfficeApplication>(options);
}

} // namespace kuzelna
