#include "scoring/kind_of_game.h"

#include "core/match_state.h"

#include <algorithm>

namespace kuzelna {

std::vector<std::string> gameKindItems() {
    std::vector<std::string> items;
    for (int kind = 1; kind <= kGameKindCount; ++kind)
        items.push_back(gameKindLabel(kind));
    return items;
}

std::vector<std::string> laneLayoutItems() {
    return {"4 Dr\xE1hy", "2 Dr\xE1hy", "6 Drah"};
}

std::vector<std::string> lanePairItems() {
    return {"1-2", "3-4"};
}

std::vector<std::string> leaguePlayerItems() {
    return {"6 Hr\xE1\xE8\xF9", "4 Hr\xE1\xE8i", "8 Hr\xE1\xE8\xF9"};
}

std::vector<std::string> tournamentItems() {
    std::vector<std::string> items;
    for (int entrants = 2; entrants <= kMaxSlots; entrants += 2)
        items.push_back(std::to_string(entrants));
    return items;
}

std::vector<std::string> currentDuelItems() {
    std::vector<std::string> items;
    for (int duel = 1; duel <= kMaxSlots / 2; ++duel)
        items.push_back(std::to_string(duel));
    return items;
}

namespace {
// A list with no chosen item counts as its first item.
int chosenNumber(int index) {
    return index < 0 ? 1 : index + 1;
}
} // namespace

GameConfiguration configurationFromChoice(const KindOfGameChoice& choice, bool tournament) {
    GameConfiguration config;
    if (tournament) {
        const int i = choice.tournamentPlayers;
        config.pairCount = i < 0 || i >= kMaxSlots / 2 ? 6 : i + 1;
    } else {
        config.pairCount = choice.leaguePlayers == 1 ? 4 : choice.leaguePlayers == 2 ? 8 : 6;
    }
    config.gameKind = chosenNumber(choice.gameKind);
    config.laneLayout = chosenNumber(choice.laneLayout);
    config.lanePair = std::min(chosenNumber(choice.lanePair), 2);
    config.firstPairOfBlock = chosenNumber(choice.currentDuel);
    return config;
}

KindOfGameChoice presetChoice(const MatchState& state, KindOfGameChoice current) {
    current.gameKind = state.gameKind - 1;
    current.laneLayout = state.laneLayout - 1;
    current.currentDuel = state.firstPairOfBlock - 1;
    return current;
}

} // namespace kuzelna
