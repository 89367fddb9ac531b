#pragma once

// A spreadsheet application for the unit tests of the workbook cell maps: it
// records every call and keeps the cells of each workbook in memory. Saving
// also creates the file (empty) so that the code under test finds it on disk,
// and opening a saved or seeded workbook gives back its cells.

#include "reports/spreadsheet.h"

#include <map>
#include <string>
#include <variant>
#include <vector>

namespace kuzelna::testing {

// A cell value: text or integer.
using CellValue = std::variant<std::string, int, double>;
using Cells = std::map<std::string, CellValue>;

class SpreadsheetRecorder {
public:
    // Starts a recorded application (the factory the code under test gets).
    SpreadsheetFactory factory();

    // Every call in order: "start", "Visible 1", "DisplayAlerts 0",
    // "Open <path> template|document", "Activate 1", "ActiveSheet",
    // "SaveAs <path>", "PrintOut", "Quit". Cell writes and reads are kept
    // apart in `writes` and `reads`.
    std::vector<std::string> calls;
    // Cell writes in order: cell and value.
    std::vector<std::pair<std::string, CellValue>> writes;
    std::vector<std::string> reads;

    // Workbooks by path (what was saved or seeded).
    std::map<std::string, Cells> workbooks;
    // What printing reports (without a printer: `pdf`, or the PDF asked for).
    PrintOutcome printOutcome;
    // Documents that another program holds: opening them raises WorkbookInUseError.
    std::vector<std::string> heldElsewhere;
    // The cells of the workbook most recently opened, as written so far.
    Cells* activeCells = nullptr;

    // The last value written into each cell.
    Cells lastWrites() const;
};

} // namespace kuzelna::testing
