#pragma once

// The spreadsheet application as the reports drive it: start it, show or hide
// it, open a workbook, write and read cells of its first sheet, save, print and
// quit. Behind it: LibreOffice through UNO on Linux, "Excel.Application" through
// COM on Windows, and a recording fake in the unit tests.
//
// Cells are named in A1 notation. Texts are Windows-1250 bytes, like every text
// of the engine; the backends convert. Every failing call raises.

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kuzelna {

class SpreadsheetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The sheets went to a PDF file instead of a printer (no printer is installed).
// Raised so that no caller reports the print as done.
class NotPrintedError : public SpreadsheetError {
public:
    explicit NotPrintedError(std::filesystem::path pdf)
        : SpreadsheetError("no printer, written to " + pdf.string()), pdf_(std::move(pdf)) {}
    const std::filesystem::path& pdf() const { return pdf_; }

private:
    std::filesystem::path pdf_;
};

// The workbook is held by another program (its lock file is there and this
// application does not have it open). Opening it would only raise the office's
// "Document in Use" question, so the caller decides: a copy, or a message.
class WorkbookInUseError : public SpreadsheetError {
public:
    explicit WorkbookInUseError(std::filesystem::path workbook)
        : SpreadsheetError("the workbook " + workbook.string() + " is open in another program"),
          workbook_(std::move(workbook)) {}
    const std::filesystem::path& workbook() const { return workbook_; }

private:
    std::filesystem::path workbook_;
};

// One worksheet of the active workbook.
class Worksheet {
public:
    virtual ~Worksheet() = default;
    virtual void writeText(const std::string& cell, const std::string& text) = 0;
    virtual void writeInteger(const std::string& cell, int value) = 0;
    // A number that may have a fraction (half a point).
    virtual void writeNumber(const std::string& cell, double value) = 0;
    // The cell's value as text (a number reads as its digits).
    virtual std::string readText(const std::string& cell) = 0;
    // The cell's value as an integer: an empty cell reads as 0, a number is
    // rounded, a text must hold an integer; anything else raises.
    virtual int readInteger(const std::string& cell) = 0;
    // Writes the workbook of this sheet to `path` (the format by its extension).
    // A missing folder raises; the file itself is created or replaced.
    virtual void saveAs(const std::filesystem::path& path) = 0;
};

// How a workbook is opened: a document as itself; a template as a new workbook
// made from it, which is never written back under the template's name.
enum class OpenAs { Document, Template };

// What printing did. Without a printer the sheets are written as a PDF file
// beside the workbook, `pdf` names it, and `onPrinter` is false.
struct PrintOutcome {
    bool onPrinter = true;
    std::filesystem::path pdf;
};

class Spreadsheet {
public:
    // Destroying an application that was not quit ends it, unless the operator
    // can see it and the platform lets it outlive this program.
    virtual ~Spreadsheet() = default;
    virtual void setVisible(bool visible) = 0;
    virtual void setDisplayAlerts(bool displayAlerts) = 0;
    // The workbook becomes the active workbook. A missing file raises; a
    // document that another program holds raises WorkbookInUseError. A document
    // that this program already has open is taken as it is (with whatever was
    // written into it), never loaded a second time.
    virtual void openWorkbook(const std::filesystem::path& path, OpenAs mode) = 0;
    // Whether the active workbook was already open before the last openWorkbook.
    virtual bool activeWorkbookWasOpen() const { return false; }
    // The title the operator sees on the active workbook's window (an untitled
    // copy has one of the office's own, in the office's language).
    virtual std::string activeWorkbookTitle() const { return {}; }
    // Its first sheet becomes the active sheet.
    virtual void activateFirstSheet() = 0;
    // The active sheet; valid until the next workbook is opened.
    virtual Worksheet& activeSheet() = 0;
    // All sheets of the active workbook. Without a printer the PDF is `pdf`
    // when given, else the workbook's file name with ".pdf".
    virtual PrintOutcome printAllSheets(const std::filesystem::path& pdf = {}) = 0;
    // Ends the application: closes the workbooks it opened without a question
    // (the program asks its own questions first); quitting one that has already
    // ended does nothing.
    virtual void quit() = 0;
    // Whether the application is gone: quit, or closed by the operator.
    virtual bool ended() const { return false; }
    // The files of workbooks this application opened that hold changes not yet
    // saved, and saving them in place (each in its own format, without a prompt).
    virtual std::vector<std::filesystem::path> unsavedWorkbooks() const { return {}; }
    virtual void saveUnsavedWorkbooks() {}
};

// Starts a new application ("create the server object").
using SpreadsheetFactory = std::function<std::unique_ptr<Spreadsheet>()>;

// The one program-wide application variable of the match report and the
// ranking. Each start creates a new application and makes it the current one;
// an earlier one stays open with what the operator was shown, as it does when
// the variable is simply reassigned.
class SpreadsheetSession {
public:
    explicit SpreadsheetSession(SpreadsheetFactory factory);
    ~SpreadsheetSession();
    SpreadsheetSession(const SpreadsheetSession&) = delete;
    SpreadsheetSession& operator=(const SpreadsheetSession&) = delete;

    Spreadsheet& start();
    // Quits the current application; nothing when there is none or it was quit
    // already (an earlier one is never made current again).
    void quitCurrent();
    // "Zavři": quits every application of the session, the earlier ones too.
    void quitAll();
    Spreadsheet* current() const;

    // Forgets applications that have ended (an office the operator closed), so
    // that their processes are collected at once.
    void reap();
    // Unsaved workbooks of every application of the session, and saving them.
    std::vector<std::filesystem::path> unsavedWorkbooks() const;
    void saveUnsavedWorkbooks();

private:
    SpreadsheetFactory factory_;
    std::unique_ptr<Spreadsheet> current_;
    std::vector<std::unique_ptr<Spreadsheet>> earlier_; // left open for the operator
};

// Column letters of a 1-based column number: 1 "A", 26 "Z", 27 "AA".
std::string columnName(int column);
// A cell name from a column and a row: cellName(3, 12) == "C12".
std::string cellName(int column, int row);
std::string cellName(const std::string& column, int row);

} // namespace kuzelna
