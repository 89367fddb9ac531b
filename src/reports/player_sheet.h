#pragma once

// One player's game sheet: every throw of every lane with the lane numbers and
// the faults per half, printed from a hidden spreadsheet application.

#include "reports/report_paths.h"
#include "reports/spreadsheet.h"

#include <filesystem>

namespace kuzelna {

struct MatchState;

struct PlayerSheetFiles {
    std::filesystem::path workingCopy;
    std::filesystem::path templateFile;
};

// "zVypis2.xls"/"Vypis2.xls", "zVypis4.xls"/"Vypis4.xls", else the 6 variant.
PlayerSheetFiles playerSheetFiles(const MatchState& state, const ReportEnvironment& env);

// Vysledky_hraci: fills the sheet of slot `slot` (home or guest side), saves the
// working copy when it is new, prints all sheets and quits. Slots above 60 do
// nothing. Without a printer the sheets go to a PDF file beside the working
// copy: the status line then reads "Tisk do PDF: " and its name, and the
// operation raises NotPrintedError so that nobody reports it as printed.
void Vysledky_hraci(MatchState& state, const SpreadsheetFactory& startApplication, bool homeSide, int slot,
                    const ReportEnvironment& env);

} // namespace kuzelna
