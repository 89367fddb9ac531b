#pragma once

// The archive of finished matches: a folder ([Archiv] Slozka of zodided.ini,
// by default "archiv" beside it) holding each match's journal and its export
// under a name that carries the date, the time and both team names.

#include <string>

namespace kuzelna {

struct MatchState;
class IniFile;

constexpr const char* kDefaultArchiveFolder = "archiv";

// [Archiv] Slozka, or "archiv" when it is missing or empty.
std::string archiveFolderSetting(const IniFile& ini);

// "2026-12-10_1930_Sokol_Slavia" from the journal's set-up time
// ("2026-12-10 19:30:00") and the team names the displays show; letters
// without diacritics, anything but letters, digits and '-' becomes '_'.
std::string archiveBaseName(const MatchState& state, const std::string& created);

} // namespace kuzelna
