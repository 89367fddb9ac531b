#pragma once

// Start-up of the match state and the settings of zodided.ini.

#include <string>
#include <vector>

namespace kuzelna {

struct MatchState;
class IniFile;

constexpr const char* kIniFileName = "zodided.ini";

// Every start-up value of the match state (the steps of main window creation
// that touch the state), with the settings read from `ini` (defaults for
// missing keys). `currentDirectory` is where a missing reports folder falls back to.
void initialiseMatchState(MatchState& state, const IniFile& ini, const std::string& currentDirectory);

// Reads all settings of the state from the ini file (defaults for missing keys).
void readSettings(MatchState& state, const IniFile& ini);

// The values of zodided.ini that readSettings does not take as written (not a
// number, outside the range the program knows), one text each, saying what is
// taken instead. They are taken as always; these only name them.
std::vector<std::string> settingsProblems(const IniFile& ini);

// ini_dat: all 16 status bytes of lanes 1..8 to 0.
void ini_dat(MatchState& state);

// Conv: the display text of a lane display digit code.
std::string Conv(int digitCode);

} // namespace kuzelna
