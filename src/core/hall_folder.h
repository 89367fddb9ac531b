#pragma once

// The hall's folder: where the program keeps zodided.ini, Hraci.dtb, the
// template workbooks, the reports and the result files when it is started from
// the desktop (or with --home) instead of from a shell in a folder of its own.

#include <filesystem>
#include <string>
#include <vector>

namespace kuzelna {

constexpr const char* kHallFolderName = "Kuzelna";

// $KUZELNA_HOME when set, else the folder "Kuzelna" in the user's home folder.
// Either value may be null or empty; throws std::runtime_error when both are.
std::filesystem::path hallFolder(const char* kuzelnaHome, const char* userHome);

// Where the template workbooks to copy come from: the installed ones
// (../share/kuzelna/templates beside the program's folder), else those of the
// build tree (templates/ beside the program). Empty when there are none.
std::filesystem::path templateSource(const std::filesystem::path& programFolder);

// Creates `folder` when it is missing and copies into it every template of
// `templates` that it lacks. A file already there is the operator's and is never
// replaced, edited or not. Returns the names copied. `templates` may be empty.
// Throws std::filesystem::filesystem_error.
std::vector<std::string> prepareHallFolder(const std::filesystem::path& folder,
                                           const std::filesystem::path& templates);

} // namespace kuzelna
