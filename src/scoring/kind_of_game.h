#pragma once

// The choices of the kind-of-game dialog and how they become a game
// configuration. Item indexes are 0-based; -1 means no item is chosen.

#include "scoring/game_kinds.h"

#include <string>
#include <vector>

namespace kuzelna {

struct MatchState;

// Items of the dialog's lists, Windows-1250 bytes.
std::vector<std::string> gameKindItems();     // "Druh hry:"
std::vector<std::string> laneLayoutItems();   // "Počet drah:"
std::vector<std::string> lanePairItems();     // "Volba drah:"
std::vector<std::string> leaguePlayerItems(); // "Počet hráčů:"
std::vector<std::string> tournamentItems();   // "Turnaj- Hráčů": "2" .. "60"
std::vector<std::string> currentDuelItems();  // "Řízení hry - aktualní hráč": "1" .. "30"

struct KindOfGameChoice {
    int gameKind = 0;
    int laneLayout = 0;
    int lanePair = 0;
    int leaguePlayers = 0;
    int tournamentPlayers = 0;
    int currentDuel = 0;
};

// The configuration the chosen items stand for; `tournament` is the state of
// the main window's "Turnaj".
GameConfiguration configurationFromChoice(const KindOfGameChoice& choice, bool tournament);

// "Hra" presets the kind, lane and current-duel lists from the state; the
// other lists keep what they had.
KindOfGameChoice presetChoice(const MatchState& state, KindOfGameChoice current);

} // namespace kuzelna
