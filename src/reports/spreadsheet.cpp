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

void SpreadsheetSession::quitAll() {
    quitCurrent();
    for (const auto& application : earlier_)
        application->quit();
    reap();
}

void SpreadsheetSession::reap() {
    std::erase_if(earlier_, [](const std::unique_ptr<Spreadsheet>& application) { return application->ended(); });
    if (current_ && current_->ended()) current_.reset();
}

std::vector<std::filesystem::path> SpreadsheetSession::unsavedWorkbooks() const {
    std::vector<std::filesystem::path> unsaved;
    auto add = [&](const Spreadsheet& application) {
        for (const auto& path : application.unsavedWorkbooks())
            unsaved.push_back(path);
    };
    for (const auto& application : earlier_)
        add(*application);
    if (current_) add(*current_);
    return unsaved;
}

void SpreadsheetSession::saveUnsavedWorkbooks() {
    for (const auto& application : earlier_)
        application->saveUnsavedWorkbooks();
    if (current_) current_->saveUnsavedWorkbooks();
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
