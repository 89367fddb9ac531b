#pragma once

// The spreadsheet application on Linux: a LibreOffice process of our own,
// driven through UNO over a private pipe, with a profile folder and pipe name
// of its own, so that several programs may run at once (and parallel tests).
// The applications of one program share one office (one headless, one with
// windows), so a workbook already open is found instead of loaded twice. A
// headless office ends with the program; one that shows the operator a
// document outlives it.

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

// Breaks off every office call that is waiting (from any thread): it then
// fails. For a program that ends while an office call hangs.
void interruptLibreOffice();

} // namespace kuzelna
