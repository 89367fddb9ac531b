#include "reports/spreadsheet.h"

namespace kuzelna {

SpreadsheetSession::SpreadsheetSession(SpreadsheetFactory factory) : factory_(std::move(factory)) {}

SpreadsheetSession::~SpreadsheetSession() = default;

Spreadsheet& SpreadsheetSession::start() {
    std::unique_ptr<Spreadsheet> application = factory_();
    if (!application) throw SpreadsheetError("the spreadsheet application could not be started");
    if (current_) earlier_.push_back(std::move(current_));
    current_ = std::move(application);
    return *current_;
}

void SpreadsheetSession::quitCurrent() {
    if (!current_) return;
    // Kept until the program ends: an operator who declined to quit it keeps
    // working in it.
    earlier_.push_back(std::move(current_));
    earlier_.back()->quit();
}

Spreadsheet* SpreadsheetSession::current() const {
    return current_.get();
}

std::string columnName(int column) {
    std::string name;
    for (; column > 0; column = (column - 1) / 26) {
        name.insert(name.begin(), static_cast<char>('A' + (column - 1) % 26));
    }
    return name;
}

std::string cellName(int column, int row) {
    return cellName(columnName(column), row);
}

std::string cellName(const std::string& column, int row) {
    return column + std::to_string(row);
}

} // namespace kuzelna
