#pragma once

// The spreadsheet application of this platform and the report environment of
// the running program (its current directory, today's date as the system
// writes it short).

#include "reports/report_paths.h"
#include "reports/spreadsheet.h"

#include <QDate>
#include <QString>

namespace kuzelna {

// LibreOffice on Linux (without a window when there is no display), Excel on Windows.
SpreadsheetFactory platformSpreadsheet();
// Breaks off a call of that application that hangs (empty where there is none).
std::function<void()> platformSpreadsheetInterrupt();

// Today's date as Czech writes it ("10. 12. 2026"), Windows-1250; file names
// take the ISO form ("2026-12-10").
std::string todayShortDate();
QString czechDate(const QDate& date);

ReportEnvironment currentReportEnvironment();

} // namespace kuzelna
