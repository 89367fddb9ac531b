#pragma once

// What a report operation tells the operator: a line for the status field, and
// for a failure the reason, in Czech (Windows-1250, like every engine text).

#include "reports/spreadsheet.h"

#include <exception>
#include <string>
#include <string_view>

namespace kuzelna {

// An operator text written in this source (UTF-8) as Windows-1250 bytes.
std::string operatorText(std::string_view utf8);

struct ReportOutcome {
    std::string status;
};

// A failure whose reason the operator can act on (a missing template or
// folder, no office installed, a workbook held by another program).
class ReportFailure : public SpreadsheetError {
public:
    using SpreadsheetError::SpreadsheetError;
};

// The operator cancelled the operation at one of its questions.
class ReportCancelled : public SpreadsheetError {
public:
    ReportCancelled();
};

// The reason of a failed report operation as the operator reads it.
std::string failureText(std::exception_ptr error);

// Checks that a report can start: its template (or workbook) is there and the
// folder it is saved into exists. Raises ReportFailure.
void requireTemplate(const std::filesystem::path& file);
void requireFolder(const std::filesystem::path& folder);

} // namespace kuzelna
