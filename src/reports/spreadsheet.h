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

// One worksheet of the active workbook.
class Worksheet {
public:
    virtual ~Worksheet() = default;
    virtual void writeText(const std::string& cell, const std::string& text) = 0;
    virtual void writeInteger(const std::string& cell, int value) = 0;
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
    // The workbook becomes the active workbook. A missing file raises.
    virtual void openWorkbook(const std::filesystem::path& path, OpenAs mode) = 0;
    // Its first sheet becomes the active sheet.
    virtual void activateFirstSheet() = 0;
    // The active sheet; valid until the next workbook is opened.
    virtual Worksheet& activeSheet() = 0;
    // All sheets of the active workbook.
    virtual PrintOutcome printAllSheets() = 0;
    // Ends the application (one that shows prompts may ask the operator about
    // unsaved workbooks, and the operator may keep it); quitting one that has
    // already ended does nothing.
    virtual void quit() = 0;
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
    // "Zavři": quits the current application; nothing when there is none or it
    // was quit already (an earlier one is never made current again).
    void quitCurrent();
    Spreadsheet* current() const;

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
