#include "core/match_state.h"
#include "scoring/slots.h"

#include <gtest/gtest.h>

using namespace kuzelna;

// Slots 1..60 hold players; a match of n duels uses 1..2n; duel d is the home
// slot 2d-1 against the guest slot 2d.
TEST(Slots, SlotsOfTheMatchAndTheirDuels) {
    struct Case {
        int slot;
        bool valid;
        bool inSixDuels;
        int partner;
    };
    const Case cases[] = {
        {-1, false, false, 0}, {0, false, false, 0},  {1, true, true, 2},    {2, true, true, 1},
        {11, true, true, 12},  {12, true, true, 11},  {13, true, false, 14}, {59, true, false, 60},
        {60, true, false, 59}, {61, false, false, 0},
    };
    MatchState state;
    state.pairCount = 6;
    for (const Case& c : cases) {
        EXPECT_EQ(validSlot(c.slot), c.valid) << c.slot;
        EXPECT_EQ(slotInMatch(state, c.slot), c.inSixDuels) << c.slot;
        if (c.valid) {
            EXPECT_EQ(duelPartner(c.slot), c.partner) << c.slot;
        }
    }
    EXPECT_EQ(slotsInMatch(state), 12);
    state.pairCount = 30;
    EXPECT_EQ(slotsInMatch(state), 60);
    EXPECT_TRUE(slotInMatch(state, 60));

    // What is no slot reads as the empty slot 0, never as a neighbour.
    state.player[60].surname = "Last";
    EXPECT_EQ(&slotOrEmpty(state, 60), &state.player[60]);
    EXPECT_EQ(&slotOrEmpty(state, 61), &state.player[0]);
    EXPECT_EQ(&slotOrEmpty(state, -3), &state.player[0]);
}

// The lane PCs pair lanes 1-2, 3-4 and 5-6.
TEST(Slots, PartnerLanes) {
    const std::pair<int, int> cases[] = {{1, 2}, {2, 1}, {3, 4}, {4, 3}, {5, 6}, {6, 5}};
    for (const auto& [lane, partner] : cases)
        EXPECT_EQ(partnerLane(lane), partner) << lane;
}

// A block is laneCount/2 duels starting at firstPairOfBlock, its players on
// lanes 1..laneCount in slot order; position p of the block is slot
// 2·firstPairOfBlock - 2 + p.
TEST(Slots, BlockPositionsAndTheSlotOfABlankLane) {
    struct Case {
        int firstPair, laneCount, position, slot;
    };
    const Case cases[] = {
        {1, 4, 1, 1},  {1, 4, 4, 4}, {3, 4, 1, 5}, {3, 4, 4, 8},   {4, 6, 1, 7},
        {4, 6, 6, 12}, {2, 2, 1, 3}, {2, 2, 2, 4}, {30, 2, 2, 60},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(slotAtBlockPosition(c.firstPair, c.position), c.slot) << c.firstPair << "/" << c.position;
        EXPECT_EQ(blockPosition(c.slot, c.laneCount), c.position) << c.slot << " on " << c.laneCount;
        MatchState state;
        state.laneCount = c.laneCount;
        state.firstPairOfBlock = static_cast<u8>(c.firstPair);
        EXPECT_EQ(blankLaneSlot(state, c.position), c.slot) << c.firstPair << " lane " << c.position;
    }
}

// "3-4" matters with 2 lanes only: logical lanes 1 and 2 are the alley's 3 and 4.
TEST(Slots, TwoLanesPlayedOnLanesThreeAndFour) {
    struct Case {
        int laneCount, lanePair;
        bool onThreeFour;
        int physicalOfOne, physicalOfTwo;
    };
    const Case cases[] = {
        {2, 2, true, 3, 4},  {2, 1, false, 1, 2}, {4, 2, false, 1, 2},
        {6, 2, false, 1, 2}, {4, 1, false, 1, 2},
    };
    for (const Case& c : cases) {
        MatchState state;
        state.laneCount = c.laneCount;
        state.lanePair = static_cast<u8>(c.lanePair);
        EXPECT_EQ(onLanesThreeFour(state), c.onThreeFour) << c.laneCount << "/" << c.lanePair;
        EXPECT_EQ(physicalLane(state, 1), c.physicalOfOne) << c.laneCount << "/" << c.lanePair;
        EXPECT_EQ(physicalLane(state, 2), c.physicalOfTwo) << c.laneCount << "/" << c.lanePair;
        EXPECT_EQ(physicalLane(c.laneCount, c.lanePair, 2), c.physicalOfTwo);
        EXPECT_EQ(logicalLane(state, c.physicalOfOne), 1);
        EXPECT_EQ(logicalLane(state, c.physicalOfTwo), 2);
    }
    MatchState threeFour;
    threeFour.laneCount = 2;
    threeFour.lanePair = 2;
    // A frame of lane 1 or 2, should one arrive, stays lane 1 or 2; others stay too.
    EXPECT_EQ(logicalLane(threeFour, 1), 1);
    EXPECT_EQ(logicalLane(threeFour, 2), 2);
    EXPECT_EQ(logicalLane(threeFour, 5), 5);
}

TEST(Slots, NamesAsTheyAreShown) {
    PlayerSlot player;
    player.surname = "Nov\xE1k";
    player.firstName = "Jan";
    EXPECT_EQ(playerName(player), "Nov\xE1k Jan");
    EXPECT_EQ(playerName("Nov\xE1k", ""), "Nov\xE1k ");
    EXPECT_EQ(playerName(PlayerSlot{}), " ");
    EXPECT_EQ(compactPlayerName(player), "Nov\xE1k Jan");
    PlayerSlot onlySurname;
    onlySurname.surname = "Nov\xE1k";
    EXPECT_EQ(compactPlayerName(onlySurname), "Nov\xE1k");
    PlayerSlot onlyFirstName;
    onlyFirstName.firstName = "Jan";
    EXPECT_EQ(compactPlayerName(onlyFirstName), "Jan");
    EXPECT_EQ(compactPlayerName(PlayerSlot{}), "");

    MatchState state;
    state.homeTeamName = "Sokol";
    state.guestTeamName = "Slavia";
    state.manualHomeName = "Typed home";
    state.manualGuestName = "Typed guest";
    EXPECT_EQ(shownHomeName(state), "Sokol");
    EXPECT_EQ(shownGuestName(state), "Slavia");
    state.manualTeamNames = 1;
    EXPECT_EQ(shownHomeName(state), "Typed home");
    EXPECT_EQ(shownGuestName(state), "Typed guest");
}
