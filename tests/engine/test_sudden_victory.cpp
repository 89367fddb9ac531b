#include "core/match_state.h"
#include "reports/datagrams.h"
#include "scoring/throw_recording.h"
#include "suddenvictory/sudden_victory.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace kuzelna;

namespace {

using Throws = std::array<u8, 4>; // [1..3]

Throws firstSide(const MatchState& s, int pair) {
    return s.svState.svFirst[static_cast<std::size_t>(pair)];
}
Throws secondSide(const MatchState& s, int pair) {
    return s.svState.svSecond[static_cast<std::size_t>(pair)];
}

TEST(SuddenVictory, ThrowValueIsTheFirstCharacter) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"1", 1}, {"5", 5}, {"9", 9}, {"0", 0}, {"", 0}, {"x", 0}, {"10", 1}, {"7x", 7}, {" 5", 0}, {"-3", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(svThrowValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(SuddenVictory, StoringGivesThrowsAndSums) {
    MatchState s;
    const TieBreakSums sums = storeTieBreak(s, 2, {"7", "x", ""}, {"10", "0", "9"});
    EXPECT_EQ(firstSide(s, 2), (Throws{0, 7, 0, 0}));
    EXPECT_EQ(secondSide(s, 2), (Throws{0, 1, 0, 9}));
    EXPECT_EQ(sums.first, 7);
    EXPECT_EQ(sums.second, 10);
    EXPECT_EQ(tieBreakSums(s.svState, 2).first, 7);
    EXPECT_EQ(tieBreakSums(s.svState, 2).second, 10);
    EXPECT_EQ(firstSide(s, 1), Throws{});
    EXPECT_EQ(firstSide(s, 3), Throws{});

    // Storing again overwrites all three throws of each side.
    storeTieBreak(s, 2, {"", "", "3"}, {"", "", ""});
    EXPECT_EQ(firstSide(s, 2), (Throws{0, 0, 0, 3}));
    EXPECT_EQ(secondSide(s, 2), Throws{});
}

TEST(SuddenVictory, ClearingOnePairLeavesTheOthers) {
    MatchState s;
    for (int q = 1; q <= 3; ++q) {
        setTieBreakOn(s, q, true);
        storeTieBreak(s, q, {"1", "2", "3"}, {"4", "5", "6"});
    }
    clearTieBreak(s, 2);
    EXPECT_EQ(firstSide(s, 2), Throws{});
    EXPECT_EQ(secondSide(s, 2), Throws{});
    for (int q : {1, 3}) {
        EXPECT_EQ(firstSide(s, q), (Throws{0, 1, 2, 3}));
        EXPECT_EQ(secondSide(s, q), (Throws{0, 4, 5, 6}));
    }
    EXPECT_EQ(s.svState.svOn, (std::array<u8, 4>{0, 1, 1, 1}));
}

TEST(SuddenVictory, MarksWriteTheTieBreakOfSetsOneAndTwo) {
    MatchState s;
    markTieBreak(s, 5, 2, true);
    EXPECT_EQ(s.player[5].tieBreak[2], 1);
    EXPECT_EQ(s.player[5].tieBreak[1], 0);
    markTieBreak(s, 5, 2, false);
    EXPECT_EQ(s.player[5].tieBreak[2], 0);
    markTieBreak(s, 16, 1, true);
    EXPECT_EQ(s.player[16].tieBreak[1], 1);

    // Only rows 1..16 and sets 1 and 2 exist in the window.
    markTieBreak(s, 17, 1, true);
    markTieBreak(s, 0, 1, true);
    markTieBreak(s, 3, 3, true);
    EXPECT_EQ(s.player[17].tieBreak[1], 0);
    EXPECT_EQ(s.player[0].tieBreak[1], 0);
    EXPECT_EQ(s.player[3].tieBreak[3], 0);
}

// A tied set in whole-set scoring goes by the marks; other sets by their pins.
TEST(SuddenVictory, MarksDecideTiedSetsOfWholeSetScoring) {
    struct Case {
        const char* name;
        bool tandem;
        bool homeWon, guestWon;
        int homeSet1, guestSet1, homeTotal, guestTotal, homeDuel;
    };
    const Case cases[] = {
        {"guest won the tie-break", true, false, true, 0, 1, 1, 1, 2},
        {"both marked", true, true, true, 1, 1, 2, 1, 2},
        {"nobody marked", true, false, false, 0, 0, 1, 0, 2},
        {"marks unused without whole sets", false, false, true, 1, 1, 3, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MatchState s;
        s.gameKind = 4; // "60   Hs": two lanes of 2 x 15 throws
        s.lanesPerPlayer = 2;
        s.controls.tandem = c.tandem;
        // Set 1: 30 x 5 pins on both sides. Set 2: home 30 x 6, guest 30 x 4.
        for (int t = 1; t <= 30; ++t) {
            s.player[1].throws[static_cast<std::size_t>(t)] = 5;
            s.player[2].throws[static_cast<std::size_t>(t)] = 5;
            s.player[1].throws[static_cast<std::size_t>(30 + t)] = 6;
            s.player[2].throws[static_cast<std::size_t>(30 + t)] = 4;
        }
        markTieBreak(s, 1, 1, c.homeWon);
        markTieBreak(s, 2, 1, c.guestWon);
        prepocitej(s, 1);
        prepocitej(s, 2);
        EXPECT_EQ(s.player[1].laneTotal[1], 150);
        EXPECT_EQ(s.player[2].laneTotal[1], 150);
        EXPECT_EQ(s.player[1].setPoints[1], c.homeSet1);
        EXPECT_EQ(s.player[2].setPoints[1], c.guestSet1);
        EXPECT_EQ(s.player[1].setPointsTotal, c.homeTotal);
        EXPECT_EQ(s.player[2].setPointsTotal, c.guestTotal);
        EXPECT_EQ(s.player[1].duelPoints, c.homeDuel);
    }
}

// A mark given once the duel is over, and a switch of the scoring, count at
// once: no later throw of these players would recalculate them.
TEST(SuddenVictory, MarksAndTheScoringSwitchRecalculateFinishedDuels) {
    MatchState s;
    s.gameKind = 4; // "60   Hs": two lanes of 2 x 15 throws
    s.lanesPerPlayer = 2;
    s.pairCount = 2;
    // Duel 1: set 1 level at 150, set 2 home 180 to 120. Duel 2: home 5 pins more.
    for (int t = 1; t <= 30; ++t) {
        s.player[1].throws[static_cast<std::size_t>(t)] = 5;
        s.player[2].throws[static_cast<std::size_t>(t)] = 5;
        s.player[1].throws[static_cast<std::size_t>(30 + t)] = 6;
        s.player[2].throws[static_cast<std::size_t>(30 + t)] = 4;
    }
    s.player[3].throws[1] = 9;
    s.player[4].throws[1] = 4;
    for (int slot = 1; slot <= 4; ++slot)
        prepocitej(s, slot);
    EXPECT_EQ(s.player[1].setPointsTotal, 3); // half-points: 1 + 2
    EXPECT_EQ(s.player[2].setPointsTotal, 1);
    EXPECT_EQ(s.player[3].setPointsTotal, 2);

    setWholeSetScoring(s, true);
    EXPECT_TRUE(s.controls.tandem);
    EXPECT_EQ(s.player[1].setPointsTotal, 1); // the level set goes to nobody yet
    EXPECT_EQ(s.player[2].setPointsTotal, 0);
    EXPECT_EQ(s.player[3].setPointsTotal, 1);
    EXPECT_EQ(s.player[4].setPointsTotal, 0);

    markTieBreak(s, 2, 1, true); // the guest won the tie-break of set 1
    EXPECT_EQ(s.player[2].setPoints[1], 1);
    EXPECT_EQ(s.player[2].setPointsTotal, 1);
    EXPECT_EQ(s.player[1].setPointsTotal, 1);
    EXPECT_EQ(s.player[1].duelPoints, 2); // level sets, more pins
    markTieBreak(s, 1, 1, true);
    EXPECT_EQ(s.player[1].setPointsTotal, 2);
    EXPECT_EQ(s.player[2].setPointsTotal, 1);

    setWholeSetScoring(s, false);
    EXPECT_EQ(s.player[1].setPointsTotal, 3);
    EXPECT_EQ(s.player[2].setPointsTotal, 1);
    EXPECT_EQ(s.player[3].setPointsTotal, 2);
    EXPECT_EQ(s.player[4].setPointsTotal, 0);
}

// What the operator stores goes to the lane PC of the pair while its tie-break is on.
TEST(SuddenVictory, StoredThrowsReachTheLanePc) {
    MatchState s;
    s.player[1].surname = "Novak";
    s.player[1].firstName = "Jan";
    s.player[2].surname = "Kral";
    s.player[2].firstName = "Ota";
    s.lanePlayerOnDisplay[1] = 1;
    s.lanePlayerOnDisplay[2] = 2;
    setTieBreakOn(s, 1, true);
    storeTieBreak(s, 1, {"7", "x", ""}, {"3", "", "2"});

    MonitorRotation rotation;
    OutgoingDatagram d = rotation.next(s);
    ASSERT_EQ(d.kind, DatagramKind::SuddenVictory);
    ASSERT_EQ(d.bytes.size(), 134u);
    EXPECT_EQ(d.bytes.substr(31, 13), " 7 03 27 5 10");
    EXPECT_EQ(d.bytes.substr(74, 30), "Novak Jan" + std::string(21, ' '));
    EXPECT_EQ(d.bytes.substr(104, 30), "Kral Ota" + std::string(22, ' '));

    // Pair 2 is off: its lane PC gets the match.
    EXPECT_NE(rotation.next(s).kind, DatagramKind::SuddenVictory);

    s.controls.svSwapLanes[1] = true;
    clearTieBreak(s, 1);
    for (int i = 0; i < 3; ++i)
        d = rotation.next(s);
    ASSERT_EQ(d.laneCounter, 1);
    EXPECT_EQ(d.bytes.substr(31, 13), "0      0 0 00");
    EXPECT_EQ(d.bytes.substr(74, 30), "Kral Ota" + std::string(22, ' '));
    EXPECT_EQ(d.bytes.substr(104, 30), "Novak Jan" + std::string(21, ' '));
}

} // namespace
