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

// The PDF of a player's sheet when there is no printer: the player's name and
// today's date in the player sheets folder, so that one never replaces another.
std::filesystem::path playerSheetPdf(const MatchState& state, int slot, const ReportEnvironment& env);

// "zVypis2.xls"/"Vypis2.xls", "zVypis4.xls"/"Vypis4.xls", else the 6 variant.
PlayerSheetFiles playerSheetFiles(const MatchState& state, const ReportEnvironment& env);

// Vysledky_hraci: fills the sheet of slot `slot` (home or guest side), saves the
// working copy when it is new, prints all sheets and quits. Slots above 60 do
// nothing. Printed, the status line names the player. Without a printer the
// sheets go to the player's PDF (playerSheetPdf): the status line then reads
// "Tisk do PDF: " and its name, and the operation raises NotPrintedError so
// that nobody reports it as printed.
void Vysledky_hraci(MatchState& state, const SpreadsheetFactory& startApplication, bool homeSide, int slot,
                    const ReportEnvironment& env);

} // namespace kuzelna
