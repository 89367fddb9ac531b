#include "core/match_state.h"
#include "scoring/game_kinds.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kuzelna;

// The kinds of game as the alley plays them: throws, lanes, where a player's
// segment on a lane ends, how long the displays hold a name, whether the lane
// counter uses its +100 lamp, and how many sets the lane PCs are sent.
TEST(GameKinds, TheTableOfKinds) {
    struct Case {
        int kind;
        const char* label;
        const char* startupLabel;
        int perLane, perHalf, lanes, perPlayer;
        std::vector<int> laneChanges;
        int longHoldAbove;
        bool hundreds;
        int datagramSets;
    };
    const Case cases[] = {
        {1, "200 Hs", "200 Hs", 50, 25, 4, 200, {50, 100, 150, 200}, 50, true, 4},
        {2, "120 Hs", "120 Hs", 30, 15, 4, 120, {30, 60, 90, 120}, 50, true, 4},
        {3, "100 Hs", "100 Hs", 50, 25, 2, 100, {0, 50}, 50, false, 4},
        {4, "60   Hs", "  60 Hs", 30, 15, 2, 60, {30, 60}, 50, true, 4},
        {5, "180 Hs", "180 Hs", 30, 15, 6, 180, {30, 60, 90, 120, 150, 180}, 50, true, 6},
        {6, "40   Hs", "", 20, 10, 2, 40, {20, 40}, 30, true, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gameKindLabel(c.kind), c.label) << c.kind;
        EXPECT_EQ(startupKindLabel(c.kind), c.startupLabel) << c.kind;
        EXPECT_EQ(throwsPerLane(c.kind), c.perLane) << c.kind;
        EXPECT_EQ(throwsPerHalf(c.kind), c.perHalf) << c.kind;
        EXPECT_EQ(lanesPerPlayerFor(c.kind), c.lanes) << c.kind;
        EXPECT_LE(lanesPerPlayerFor(c.kind), kMostLanesPerPlayer) << c.kind;
        EXPECT_EQ(throwsPerPlayerFor(c.kind), c.perPlayer) << c.kind;
        EXPECT_EQ(gameKindOfThrows(c.perPlayer), c.kind) << c.kind;
        EXPECT_EQ(laneChangeCounts(c.kind), c.laneChanges) << c.kind;
        EXPECT_EQ(longHoldAbove(c.kind), c.longHoldAbove) << c.kind;
        EXPECT_EQ(counterShowsHundreds(c.kind), c.hundreds) << c.kind;
        EXPECT_EQ(datagramSets(c.kind), c.datagramSets) << c.kind;
    }
    EXPECT_EQ(gameKindOfThrows(50), 0);
    EXPECT_EQ(throwsPerPlayerList(), "200, 120, 100, 60, 180 or 40");
}

// The match's own game follows its lanes per player (the configuration sets
// both together), and a slot holds at most 600 throws.
TEST(GameKinds, ThrowsPerPlayerOfTheConfiguredMatch) {
    MatchState state;
    state.gameKind = 2;
    state.lanesPerPlayer = 4;
    EXPECT_EQ(throwsPerPlayer(state), 120);
    state.gameKind = 5;
    state.lanesPerPlayer = 6;
    EXPECT_EQ(throwsPerPlayer(state), 180);
    state.gameKind = 1;
    state.lanesPerPlayer = 20;
    EXPECT_EQ(throwsPerPlayer(state), kMaxThrows);
}
