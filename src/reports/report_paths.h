#pragma once

// Where the workbooks live. The engine builds file names from Windows-1250
// texts (team titles, the tournament file name, folders from zodided.ini);
// these helpers turn them into file-system paths and back.

#include <filesystem>
#include <functional>
#include <string>

namespace kuzelna {

struct MatchState;

// What a report needs from the world around it.
struct ReportEnvironment {
    // The program's current directory: templates, the "turnaj" folder, defaults.
    std::filesystem::path currentDirectory;
    // Today's date as the cells show it, Windows-1250.
    std::function<std::string()> today;
    // Today's date in file names; empty: today() made fit for a file name.
    std::function<std::string()> todayForFileName = {};
};

std::filesystem::path pathFromText(const std::string& text);
std::string textFromPath(const std::filesystem::path& path);

// A date made fit for a file name: separators of folders become "-" (a short
// date format such as "3/12/25" would otherwise name folders that do not exist).
std::string dateForFileName(const std::string& date);

// The folder of the tournament workbook: "turnaj" below the current directory
// when it exists, else the current directory.
std::filesystem::path tournamentFolder(const ReportEnvironment& env);

// The folder of the player sheets: "c:\zodided" on Windows, elsewhere the
// configured folder, or the current directory when none is configured.
std::filesystem::path playerSheetsFolder(const MatchState& state, const ReportEnvironment& env);

} // namespace kuzelna
