#include "scoring/game_kinds.h"

#include "core/cp1250.h"

#include "core/match_state.h"

#include <algorithm>

namespace kuzelna {

int throwsPerHalf(int gameKind) {
    switch (gameKind) {
    case 2:
    case 4:
    case 5:
        return 15;
    case 6:
        return 10;
    default:
        return 25;
    }
}

int lanesPerPlayerFor(int gameKind) {
    switch (gameKind) {
    case 1:
    case 2:
        return 4;
    case 5:
        return 6;
    default:
        return 2;
    }
}

int laneCountFor(int laneLayout) {
    switch (laneLayout) {
    case 1:
        return 4;
    case 2:
        return 2;
    default:
        return 6;
    }
}

int rotationColumns(int laneLayout) {
    return laneLayout == 1 || laneLayout == 2 ? 4 : 6;
}

const std::vector<int>& laneChangeCounts(int gameKind) {
    static const std::vector<int> kind1{50, 100, 150, 200};
    static const std::vector<int> kind2{30, 60, 90, 120};
    static const std::vector<int> kind3{0, 50};
    static const std::vector<int> kind4{30, 60};
    static const std::vector<int> kind5{30, 60, 90, 120, 150, 180};
    static const std::vector<int> kind6{20, 40};
    static const std::vector<int> none{};
    switch (gameKind) {
    case 1:
        return kind1;
    case 2:
        return kind2;
    case 3:
        return kind3;
    case 4:
        return kind4;
    case 5:
        return kind5;
    case 6:
        return kind6;
    default:
        return none;
    }
}

std::string gameKindLabel(int gameKind) {
    static const char* labels[] = {"200 Hs", "120 Hs", "100 Hs", "60   Hs", "180 Hs", "40   Hs"};
    if (gameKind < 1 || gameKind > 6) return {};
    return labels[gameKind - 1];
}

std::string configurationProblem(int gameKind, int laneLayout) {
    const int lanes = lanesPerPlayerFor(gameKind);
    const int columns = rotationColumns(laneLayout);
    if (lanes > columns) {
        // Shown in the kind-of-game dialog: Windows-1250, like every text of the console.
        return gameKindLabel(gameKind) +
               " vy\x9E"
               "aduje " +
               std::to_string(lanes) +
               " drah na hr\xE1\xE8"
               "e, " +
               "rozpis pro " + std::to_string(laneCountFor(laneLayout)) + " dr\xE1hy jich m\xE1 jen " +
               std::to_string(columns) + ". Zvolte 6 drah.";
    }
    return {};
}

std::string applyConfiguration(MatchState& state, const GameConfiguration& config) {
    const int kind = std::clamp(config.gameKind, 1, 6);
    const int layout = std::clamp(config.laneLayout, 1, 3);
    if (std::string problem = configurationProblem(kind, layout); !problem.empty()) return problem;
    const int pairs = std::clamp(config.pairCount, 1, kMaxSlots / 2);
    if (config.firstPairOfBlock > pairs) {
        // Its lanes would record throws into slots no player of the match has.
        return cp1250::fromUtf8("Aktuální hráč " + std::to_string(config.firstPairOfBlock) +
                                " je za posledním z " + std::to_string(pairs) + ".");
    }
    state.gameKind = static_cast<u8>(kind);
    state.lanesPerPlayer = static_cast<u8>(lanesPerPlayerFor(kind));
    state.laneLayout = static_cast<u8>(layout);
    state.laneCount = laneCountFor(layout);
    state.lanePair = static_cast<u8>(std::clamp(config.lanePair, 1, 2));
    state.pairCount = static_cast<u8>(std::clamp(config.pairCount, 1, kMaxSlots / 2));
    state.firstPairOfBlock = static_cast<u8>(std::clamp(config.firstPairOfBlock, 1, kMaxSlots / 2));
    state.laneFinished.fill(0); // a new block on the lanes
    return {};
}

} // namespace kuzelna
