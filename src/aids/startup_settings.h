#pragma once

// The start-up defaults of the console: tournament mode, matrix display, lane
// layout, kind of game and transliterated display names, kept in [Default] of
// zodided.ini. They act at the next start; only the transliteration acts at once.

#include "scoring/game_kinds.h"

#include <string>

namespace kuzelna {

struct MatchState;

struct StartupSettings {
    bool tournament = false;    // turnaj
    bool displayExtra = false;  // matdisp
    int laneLayout = 0;         // drah: list index, -1 = none chosen
    int gameKind = 0;           // druh: list index, -1 = none chosen
    bool transliterate = false; // d_vollmer
};

// Items of the window's two lists (Windows-1250 bytes).
constexpr int kStartupLaneItems = 3;                 // "4 ", "2", "6"
constexpr int kStartupKindItems = kStartupKindCount; // "200 Hs" .. "180 Hs"

// The controls as the stored fields set them; a value outside a list chooses no item.
StartupSettings startupSettingsFromState(const MatchState& state);

// Writes the five keys into the ini file at `iniPath`, keeping everything else
// in it, then copies the values into the state (an index of -1 is stored as
// 255) whether the write succeeded or not. Returns whether the file was written.
// A file that cannot be read whole raises IniReadError and is left alone rather
// than replaced by one holding only these keys.
bool saveStartupSettings(MatchState& state, const StartupSettings& settings, const std::string& iniPath);

} // namespace kuzelna
