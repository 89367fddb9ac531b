#pragma once

// The kinds of game and the lane layouts: the one place where throws per half,
// lanes per player, lane counts and lane-change counts are defined.

#include <string>
#include <vector>

namespace kuzelna {

struct MatchState;

// Throws in one half (full rack or clearing) of a set: 25, 15 or 10.
int throwsPerHalf(int gameKind);
// Throws on one lane segment (a set): two halves.
inline int throwsPerLane(int gameKind) { return 2 * throwsPerHalf(gameKind); }
// Lanes (= sets) each player plays.
int lanesPerPlayerFor(int gameKind);
// Lanes in play for a lane layout (1 = 4 lanes, 2 = 2 lanes, any other = 6).
int laneCountFor(int laneLayout);
// Columns of the lane rotation table of a layout (segments it can serve).
int rotationColumns(int laneLayout);
// Lane-change counts of the lane displays (the counter values at which a player's
// segment on a lane ends); includes 0 for "100 Hs".
const std::vector<int>& laneChangeCounts(int gameKind);
// Caption of a kind in the kind-of-game dialog ("200 Hs" ... "40   Hs").
std::string gameKindLabel(int gameKind);

// Why a configuration cannot be played with the rotation tables, or "" when it can.
std::string configurationProblem(int gameKind, int laneLayout);

struct GameConfiguration {
    int gameKind = 1;
    int laneLayout = 1;
    int lanePair = 1;
    int pairCount = 6;
    int firstPairOfBlock = 1;
};

// Applies a configuration to the match state (derived lanes per player and lane
// count included). Refuses, with the reason, a combination the rotation tables
// cannot serve, leaving the state unchanged.
std::string applyConfiguration(MatchState& state, const GameConfiguration& config);

} // namespace kuzelna
