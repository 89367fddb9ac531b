#include "support/recording_spreadsheet.h"

#include <algorithm>
#include <charconv>
#include <fstream>

namespace kuzelna::testing {
namespace {

class RecordingSheet : public Worksheet {
public:
    RecordingSheet(SpreadsheetRecorder& recorder, Cells& cells) : recorder_(recorder), cells_(cells) {}

    void writeText(const std::string& cell, const std::string& text) override { write(cell, text); }
    void writeInteger(const std::string& cell, int value) override { write(cell, value); }
    void writeNumber(const std::string& cell, double value) override { write(cell, value); }

    std::string readText(const std::string& cell) override {
        recorder_.reads.push_back(cell);
        const auto found = cells_.find(cell);
        if (found == cells_.end()) return {};
        if (const int* number = std::get_if<int>(&found->second)) return std::to_string(*number);
        if (const double* number = std::get_if<double>(&found->second)) return std::to_string(*number);
        return std::get<std::string>(found->second);
    }

    int readInteger(const std::string& cell) override {
        recorder_.reads.push_back(cell);
        const auto found = cells_.find(cell);
        if (found == cells_.end()) return 0;
        if (const int* number = std::get_if<int>(&found->second)) return *number;
        if (const double* number = std::get_if<double>(&found->second)) return static_cast<int>(*number);
        const std::string& text = std::get<std::string>(found->second);
        if (text.empty()) return 0;
        int value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size()) {
            throw SpreadsheetError("not a number in " + cell);
        }
        return value;
    }

    void saveAs(const std::filesystem::path& path) override {
        recorder_.calls.push_back("SaveAs " + path.string());
        if (!std::filesystem::is_directory(path.parent_path())) {
            throw SpreadsheetError("no folder " + path.parent_path().string());
        }
        std::ofstream(path).put('\n');
        recorder_.workbooks[path.string()] = cells_;
    }

private:
    void write(const std::string& cell, CellValue value) {
        recorder_.writes.emplace_back(cell, value);
        cells_[cell] = std::move(value);
    }

    SpreadsheetRecorder& recorder_;
    Cells& cells_;
};

class RecordingApplication : public Spreadsheet {
public:
    explicit RecordingApplication(SpreadsheetRecorder& recorder) : recorder_(recorder) {
        recorder_.calls.push_back("start");
    }

    void setVisible(bool visible) override {
        recorder_.calls.push_back("Visible " + std::to_string(visible));
    }
    void setDisplayAlerts(bool alerts) override {
        recorder_.calls.push_back("DisplayAlerts " + std::to_string(alerts));
    }

    void openWorkbook(const std::filesystem::path& path, OpenAs mode) override {
        recorder_.calls.push_back("Open " + path.string() +
                                  (mode == OpenAs::Template ? " template" : " document"));
        if (!std::filesystem::exists(path)) throw SpreadsheetError("no workbook " + path.string());
        if (mode == OpenAs::Document && std::find(recorder_.heldElsewhere.begin(), recorder_.heldElsewhere.end(),
                                                  path.string()) != recorder_.heldElsewhere.end()) {
            throw WorkbookInUseError(path);
        }
        cells_ = recorder_.workbooks[path.string()];
        recorder_.activeCells = &cells_;
        sheet_ = std::make_unique<RecordingSheet>(recorder_, cells_);
    }

    void activateFirstSheet() override {
        recorder_.calls.push_back("Activate 1");
        if (!sheet_) throw SpreadsheetError("no active workbook");
    }

    Worksheet& activeSheet() override {
        recorder_.calls.push_back("ActiveSheet");
        if (!sheet_) throw SpreadsheetError("no active workbook");
        return *sheet_;
    }

    PrintOutcome printAllSheets(const std::filesystem::path& pdf) override {
        recorder_.calls.push_back("PrintOut");
        PrintOutcome outcome = recorder_.printOutcome;
        if (!outcome.onPrinter && !pdf.empty()) outcome.pdf = pdf;
        return outcome;
    }

    void quit() override {
        recorder_.calls.push_back("Quit");
        ended_ = true;
    }
    bool ended() const override { return ended_; }

    ~RecordingApplication() override {
        if (recorder_.activeCells == &cells_) recorder_.activeCells = nullptr;
    }

private:
    SpreadsheetRecorder& recorder_;
    Cells cells_;
    std::unique_ptr<RecordingSheet> sheet_;
    bool ended_ = false;
};

} // namespace

SpreadsheetFactory SpreadsheetRecorder::factory() {
    return [this] { return std::make_unique<RecordingApplication>(*this); };
}

Cells SpreadsheetRecorder::lastWrites() const {
    Cells cells;
    for (const auto& [cell, value] : writes)
        cells[cell] = value;
    return cells;
}

} // namespace kuzelna::testing
