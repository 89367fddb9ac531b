#pragma once

// The spreadsheet application of this platform and the report environment of
// the running program (its current directory, today's date as the system
// writes it short).

#include "reports/report_paths.h"
#include "reports/spreadsheet.h"

namespace kuzelna {

// LibreOffice on Linux (without a window when there is no display), Excel on Windows.
SpreadsheetFactory platformSpreadsheet();

// Today's date in the system's short date format, Windows-1250.
std::string todayShortDate();

ReportEnvironment currentReportEnvironment();

} // namespace kuzelna
