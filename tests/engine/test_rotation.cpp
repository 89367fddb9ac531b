#include "core/match_state.h"
#include "scoring/game_kinds.h"
#include "scoring/rotation.h"

#include <gtest/gtest.h>

#include <set>

using namespace kuzelna;

// Every column of every rotation table is a permutation of the block positions,
// and the per-player lane sequence is its inverse.
TEST(Rotation, TablesArePermutationsAndLaneOfSetInvertsThem) {
    for (int layout : {1, 2, 3}) {
        const int lanes = laneCountFor(layout);
        for (int segment = 0; segment < rotationColumns(layout); ++segment) {
            std::set<int> positions;
            for (int lane = 1; lane <= lanes; ++lane) {
                const int position = rotationPosition(layout, lane, segment);
                positions.insert(position);
                EXPECT_EQ(laneOfSet(layout, position, segment + 1), lane);
            }
            EXPECT_EQ(static_cast<int>(positions.size()), lanes);
        }
    }
}

TEST(Rotation, LaneSequencesOfPlayers) {
    struct Case {
        int layout, position;
        std::vector<int> lanes;
    };
    const Case cases[] = {
        {1, 1, {1, 2, 4, 3}}, {1, 4, {4, 3, 1, 2}},       {2, 1, {1, 2, 1, 2}},
        {2, 2, {2, 1, 2, 1}}, {3, 3, {3, 4, 6, 5, 1, 2}}, {3, 6, {6, 5, 1, 2, 4, 3}},
    };
    for (const auto& c : cases) {
        for (std::size_t s = 0; s < c.lanes.size(); ++s) {
            EXPECT_EQ(laneOfSet(c.layout, c.position, static_cast<int>(s) + 1), c.lanes[s])
                << "layout " << c.layout << " position " << c.position << " set " << s + 1;
        }
    }
}

TEST(Rotation, SlotLookupFollowsTheBlockAndNeverLeavesTheTable) {
    MatchState state;
    state.gameKind = 2; // 30 throws per lane
    state.laneLayout = 1;
    state.firstPairOfBlock = 3; // slots 5..8
    EXPECT_EQ(Zjisti_cislo_hrace(state, 0, 1), 5);
    EXPECT_EQ(Zjisti_cislo_hrace(state, 30, 1), 6);  // segment 1: position 2
    EXPECT_EQ(Zjisti_cislo_hrace(state, 60, 1), 8);  // segment 2: position 4
    EXPECT_EQ(Zjisti_cislo_hrace(state, 179, 1), 7); // segment 5 clamps to the last column
    EXPECT_EQ(rotationPosition(1, 5, 0), 0);
}

TEST(GameKinds, RefusesCombinationsTheTablesCannotServe) {
    MatchState state;
    EXPECT_FALSE(applyConfiguration(state, {5, 1, 1, 6, 1}).empty());
    EXPECT_FALSE(applyConfiguration(state, {5, 2, 1, 6, 1}).empty());
    EXPECT_EQ(state.gameKind, 1); // unchanged
    EXPECT_TRUE(applyConfiguration(state, {5, 3, 1, 6, 1}).empty());
    EXPECT_EQ(state.lanesPerPlayer, 6);
    EXPECT_EQ(state.laneCount, 6);
    EXPECT_TRUE(applyConfiguration(state, {2, 2, 2, 4, 1}).empty());
    EXPECT_EQ(state.lanesPerPlayer, 4);
    EXPECT_EQ(state.laneCount, 2);
    EXPECT_EQ(state.lanePair, 2);

    // A current duel beyond the match would put its throws into slots of nobody.
    EXPECT_FALSE(applyConfiguration(state, {4, 1, 1, 6, 7}).empty());
    EXPECT_EQ(state.pairCount, 4); // unchanged
    EXPECT_TRUE(applyConfiguration(state, {4, 1, 1, 6, 6}).empty());
    EXPECT_EQ(state.firstPairOfBlock, 6);
}
