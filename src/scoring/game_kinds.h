#pragma once

// The kinds of game and the lane layouts: the one place where everything that
// depends on a kind of game is written down (throws per half, lanes per player,
// lane-change counts, the labels, what the lane displays and the lane PCs make
// of it), and where the lane counts of the layouts are.

#include <string>
#include <vector>

namespace kuzelna {

struct MatchState;

// Kinds are numbered 1..kGameKindCount, as the match state's gameKind.
constexpr int kGameKindCount = 6;
// The most lanes (= sets) any kind gives a player.
constexpr int kMostLanesPerPlayer = 6;

// Throws in one half (full rack or clearing) of a set: 25, 15 or 10.
int throwsPerHalf(int gameKind);
// Throws on one lane segment (a set): two halves.
inline int throwsPerLane(int gameKind) { return 2 * throwsPerHalf(gameKind); }
// Lanes (= sets) each player plays.
int lanesPerPlayerFor(int gameKind);
// Throws of a player's whole game in the kind itself ("60   Hs": 60).
int throwsPerPlayerFor(int gameKind);
// Throws of a player's whole game as the match is configured: the lanes per
// player of the state, never more than a slot holds.
int throwsPerPlayer(const MatchState& state);
// The kind whose game has `throws` throws per player, or 0 when none has.
int gameKindOfThrows(int throws);
// Lanes in play for a lane layout (1 = 4 lanes, 2 = 2 lanes, any other = 6).
int laneCountFor(int laneLayout);
// Columns of the lane rotation table of a layout (segments it can serve).
int rotationColumns(int laneLayout);
// Lane-change counts of the lane displays (the counter values at which a player's
// segment on a lane ends); includes 0 for "100 Hs".
const std::vector<int>& laneChangeCounts(int gameKind);
// A lane counter above this keeps the lane displays on their player for the
// long hold; at or below it, for the short one.
int longHoldAbove(int gameKind);
// The lane counter shows the game's hundredth throw with the +100 lamp; a kind
// without it ("100 Hs") counts it as 0.
bool counterShowsHundreds(int gameKind);
// Sets a normal datagram to the lane PCs carries: 4, or 6 in the longer layout.
int datagramSets(int gameKind);
// Caption of a kind in the kind-of-game dialog ("200 Hs" ... "40   Hs").
std::string gameKindLabel(int gameKind);
// Kinds offered by the start-up settings' list, and their captions there
// ("200 Hs" ... "180 Hs"; "40   Hs" is not offered).
constexpr int kStartupKindCount = 5;
std::string startupKindLabel(int gameKind);
// "200, 120, 100, 60, 180 or 40": the throws per player of every kind, in kind order.
std::string throwsPerPlayerList();

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
