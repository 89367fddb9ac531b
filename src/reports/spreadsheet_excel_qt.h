#pragma once

// The spreadsheet application on Windows: Excel through its automation server
// "Excel.Application" (late-bound COM calls through ActiveQt). Built only on
// Windows.

#include "reports/spreadsheet.h"

#include <memory>

namespace kuzelna {

std::unique_ptr<Spreadsheet> startExcel();

} // namespace kuzelna
