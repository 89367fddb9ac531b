#include "scoring/game_kinds.h"

#include "core/cp1250.h"

#include "core/match_state.h"

#include <algorithm>

namespace kuzelna {

static_assert(kMostLanesPerPlayer <= kMaxSets, "a slot keeps the totals of every set a kind has");

namespace {

struct KindRow {
    const char* label;
    const char* startupLabel; // nullptr: not offered by the start-up settings
    int throwsPerHalf;
    int lanesPerPlayer;
    std::vector<int> laneChangeCounts;
    int longHoldAbove;
    bool counterShowsHundreds;
    int datagramSets;
};

// One row per kind, in the order of gameKind.
const KindRow kKinds[kGameKindCount] = {
    {"200 Hs", "200 Hs", 25, 4, {50, 100, 150, 200}, 50, true, 4},
    {"120 Hs", "120 Hs", 15, 4, {30, 60, 90, 120}, 50, true, 4},
    {"100 Hs", "100 Hs", 25, 2, {0, 50}, 50, false, 4},
    {"60   Hs", "  60 Hs", 15, 2, {30, 60}, 50, true, 4},
    {"180 Hs", "180 Hs", 15, 6, {30, 60, 90, 120, 150, 180}, 50, true, 6},
    {"40   Hs", nullptr, 10, 2, {20, 40}, 30, true, 4},
};

// What a kind number outside the table is taken for.
const KindRow kUnknownKind = {"", nullptr, 25, 2, {}, 50, true, 4};

const KindRow& kindRow(int gameKind) {
    return gameKind >= 1 && gameKind <= kGameKindCount ? kKinds[gameKind - 1] : kUnknownKind;
}

} // namespace

int throwsPerHalf(int gameKind) {
    return kindRow(gameKind).throwsPerHalf;
}

int lanesPerPlayerFor(int gameKind) {
    return kindRow(gameKind).lanesPerPlayer;
}

int throwsPerPlayerFor(int gameKind) {
    return throwsPerLane(gameKind) * lanesPerPlayerFor(gameKind);
}

int throwsPerPlayer(const MatchState& state) {
    return std::min(throwsPerLane(state.gameKind) * state.lanesPerPlayer, kMaxThrows);
}

int gameKindOfThrows(int throws) {
    for (int kind = 1; kind <= kGameKindCount; ++kind) {
        if (throws == throwsPerPlayerFor(kind)) return kind;
    }
    return 0;
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
    return kindRow(gameKind).laneChangeCounts;
}

int longHoldAbove(int gameKind) {
    return kindRow(gameKind).longHoldAbove;
}

bool counterShowsHundreds(int gameKind) {
    return kindRow(gameKind).counterShowsHundreds;
}

int datagramSets(int gameKind) {
    return kindRow(gameKind).datagramSets;
}

std::string gameKindLabel(int gameKind) {
    return kindRow(gameKind).label;
}

std::string startupKindLabel(int gameKind) {
    const char* label = kindRow(gameKind).startupLabel;
    return label ? label : "";
}

std::string throwsPerPlayerList() {
    std::string list;
    for (int kind = 1; kind <= kGameKindCount; ++kind) {
        if (kind > 1) list += kind == kGameKindCount ? " or " : ", ";
        list += std::to_string(throwsPerPlayerFor(kind));
    }
    return list;
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
    const int kind = std::clamp(config.gameKind, 1, kGameKindCount);
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
