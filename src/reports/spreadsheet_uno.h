#pragma once

// The spreadsheet application on Linux: a LibreOffice process of our own,
// driven through UNO over a private pipe. Each application gets its own
// profile folder and pipe name, so several may run at once (and in parallel
// tests); the process ends with this program.

#include "reports/spreadsheet.h"

#include <chrono>
#include <filesystem>
#include <memory>

namespace kuzelna {

struct LibreOfficeOptions {
    // No window at all: for machines without a display and for tests. Without
    // it, a visible application shows its document windows.
    bool headless = true;
    // How long the office may take to accept the connection.
    std::chrono::milliseconds startTimeout{60000};
    // The office program (the binary itself, so that it ends with us).
    std::filesystem::path program = "/usr/lib/libreoffice/program/soffice.bin";
};

std::unique_ptr<Spreadsheet> startLibreOffice(const LibreOfficeOptions& options = {});

} // namespace kuzelna
