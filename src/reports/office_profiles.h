#pragma once

// The private profiles of the office processes that reports start, folders
// "kuzelna-office-<pid>-XXXXXX" in the temporary folder. A program that was
// killed leaves its profile behind; the next start removes it.

#include <filesystem>
#include <string>
#include <vector>

namespace kuzelna {

// The name pattern of a new profile of this process, for mkdtemp.
std::string officeProfilePattern(const std::filesystem::path& temporaryFolder);

// Removes the profiles whose owner process has ended (and profiles of the
// older form without an owner that are over two days old). Returns what was removed.
std::vector<std::filesystem::path> reclaimOfficeProfiles(const std::filesystem::path& temporaryFolder);

} // namespace kuzelna
