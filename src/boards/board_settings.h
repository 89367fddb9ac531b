#pragma once

// Where the boards go on the screens and how the results board scores: the
// [Vysledkova_tabule] settings.

#include <string>

namespace kuzelna {

struct MatchState;

struct BoardSettings {
    int left = 1024;
    int top = 0;
    bool autoPosition = false;
    bool score16 = false;
};

// Writes pozicex, pozicey, autopozice and body16 into the configuration file at
// `iniPath`, keeping everything else in it, then takes the values into the state.
// Throws when the file cannot be read whole (IniReadError) or written; the
// state and the file are then left as they were.
void saveBoardSettings(MatchState& state, const BoardSettings& settings, const std::string& iniPath);

} // namespace kuzelna
