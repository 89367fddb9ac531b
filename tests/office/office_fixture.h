#pragma once

// What the tests against the real office share: a scratch folder holding
// copies of the built templates, and a headless LibreOffice of its own per
// application started.

#include "reports/report_paths.h"
#include "reports/spreadsheet.h"
#include "reports/spreadsheet_uno.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace kuzelna::testing {

inline SpreadsheetFactory headlessOffice() {
    return [] {
        LibreOfficeOptions options;
        options.headless = true;
        options.startTimeout = std::chrono::seconds(60);
        return startLibreOffice(options);
    };
}

inline void copyTemplate(const std::string& name, const std::filesystem::path& folder) {
    std::filesystem::copy_file(std::filesystem::path(KUZELNA_TEMPLATE_DIR) / name, folder / name);
}

// The standard output of a command (for pdftotext and pdfinfo).
inline std::string commandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe))
        output += buffer.data();
    pclose(pipe);
    return output;
}

inline std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

} // namespace kuzelna::testing
