#include "core/match_state.h"
#include "scoring/throw_recording.h"
#include "support/frames.h"
#include "support/recording_events.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kuzelna;
using kuzelna::testing::laneStatus;
using kuzelna::testing::RecordingEvents;

namespace {

struct Fixture {
    Fixture(int kind, int layout, int lanes, int lanesPerPlayer, int pairs = 6) {
        s->gameKind = static_cast<u8>(kind);
        s->laneLayout = static_cast<u8>(layout);
        s->laneCount = lanes;
        s->lanesPerPlayer = static_cast<u8>(lanesPerPlayer);
        s->pairCount = static_cast<u8>(pairs);
    }
    void frame(int lane, int counter, int pins, bool settled = true) {
        s->laneStatus[static_cast<std::size_t>(lane)] = laneStatus(counter, pins, settled);
        recordLane(*s, lane, events);
    }
    std::unique_ptr<MatchState> s = std::make_unique<MatchState>();
    RecordingEvents events;
};

} // namespace

TEST(ThrowRecording, ThrowGoesToTheSlotTheRotationPutsOnTheLane) {
    struct Case {
        int kind, layout, lanes, lanesPerPlayer, block, lane, counter, slot;
    };
    // Slots worked out by hand from the lane rotation tables.
    const Case cases[] = {
        {2, 1, 4, 4, 1, 1, 1, 1},   {2, 1, 4, 4, 1, 1, 31, 2},  {2, 1, 4, 4, 1, 1, 61, 4},
        {2, 1, 4, 4, 1, 1, 120, 3}, {2, 1, 4, 4, 3, 3, 45, 8},  {1, 1, 4, 4, 1, 4, 101, 1},
        {1, 1, 4, 4, 1, 2, 199, 4}, {2, 2, 2, 4, 1, 1, 90, 1},  {2, 2, 2, 4, 2, 2, 61, 4},
        {5, 3, 6, 6, 1, 5, 121, 1}, {5, 3, 6, 6, 1, 6, 180, 1}, {5, 3, 6, 6, 4, 3, 70, 8},
        {6, 3, 6, 2, 1, 2, 21, 1},  {3, 3, 6, 2, 1, 4, 50, 4},  {3, 3, 6, 2, 1, 4, 51, 3},
    };
    for (const Case& c : cases) {
        Fixture f(c.kind, c.layout, c.lanes, c.lanesPerPlayer);
        f.s->firstPairOfBlock = static_cast<u8>(c.block);
        f.frame(c.lane, c.counter, 7);
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " lane " + std::to_string(c.lane) + " counter " +
                     std::to_string(c.counter));
        EXPECT_EQ(f.s->player[static_cast<std::size_t>(c.slot)].throws[static_cast<std::size_t>(c.counter)],
                  7);
        EXPECT_EQ(f.s->player[static_cast<std::size_t>(c.slot)].throwCount, c.counter);
        EXPECT_EQ(f.s->laneActive[static_cast<std::size_t>(c.lane)], 1);
        if (c.lane <= 4) {
            EXPECT_EQ(f.s->laneShownPlayer[static_cast<std::size_t>(c.lane)], c.slot + 1);
        }
        EXPECT_EQ(f.events.log, (std::vector<std::string>{"lane " + std::to_string(c.lane),
                                                          "throw " + std::to_string(c.slot)}));
    }
}

TEST(ThrowRecording, UnsettledBlankOrUnchangedFramesRecordNothing) {
    Fixture f(2, 1, 4, 4);
    f.frame(1, 5, 7, /*settled=*/false);
    EXPECT_EQ(f.s->player[1].throws[5], 0);
    EXPECT_EQ(f.s->player[1].throwCount, 0);
    EXPECT_EQ(f.s->laneActive[1], 0);

    LaneStatus notADigit = laneStatus(5, 7);
    notADigit[6] = 10; // "P" in the tens digit: no counter
    f.s->laneStatus[1] = notADigit;
    recordLane(*f.s, 1, f.events);
    EXPECT_EQ(f.s->player[1].throws[5], 0);
    EXPECT_EQ(f.events.log, (std::vector<std::string>{"lane 1", "lane 1"}));

    f.frame(1, 5, 7);
    EXPECT_EQ(f.s->player[1].fullTotal, 7);
    f.s->player[1].fullTotal = 999; // a recalculation would put it back
    f.events.log.clear();
    f.frame(1, 5, 7);
    EXPECT_EQ(f.s->player[1].fullTotal, 999);
    EXPECT_EQ(f.events.log, std::vector<std::string>{"lane 1"});
    f.frame(1, 5, 3); // the lane reports a different count for the same throw
    EXPECT_EQ(f.s->player[1].throws[5], 3);
    EXPECT_EQ(f.s->player[1].fullTotal, 3);
}

TEST(ThrowRecording, BlockMovesOnlyWhenTheLastActiveLaneGoesBlank) {
    struct Step {
        int lane, counter; // counter -1 = blank
        bool settled = true;
    };
    struct Case {
        const char* name;
        int firstPair;
        std::vector<Step> steps;
        int block;
        int blockEvents, endEvents;
    };
    // 4 lanes, 6 duels: blocks start at duels 1, 3 and 5.
    const Case cases[] = {
        {"counters at 0 before the first throw", 1, {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {1, 0}}, 1, 0, 0},
        {"blank lanes that never played", 1, {{1, -1}, {2, -1}, {3, -1}, {4, -1}, {1, -1}}, 1, 0, 0},
        {"one lane still playing", 1, {{1, 3}, {2, 4}, {1, -1}, {3, -1}}, 1, 0, 0},
        {"every active lane blank", 1, {{1, 3}, {2, 4}, {1, -1}, {3, -1}, {2, -1}}, 3, 1, 0},
        {"blank frames after the change", 1, {{1, 3}, {1, -1}, {1, -1}, {2, -1}, {3, 0}}, 3, 1, 0},
        {"unsettled blank frame still counts", 1, {{4, 60}, {4, -1, false}}, 3, 1, 0},
        {"two blocks", 1, {{1, 120}, {1, -1}, {3, 1}, {3, -1}}, 5, 2, 0},
        {"last block ends the match", 5, {{2, 120}, {3, 119}, {2, -1}, {3, -1}, {3, -1}}, 5, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f(2, 1, 4, 4);
        f.s->firstPairOfBlock = static_cast<u8>(c.firstPair);
        for (const Step& step : c.steps)
            f.frame(step.lane, step.counter, 5, step.settled);
        EXPECT_EQ(f.s->firstPairOfBlock, c.block);
        EXPECT_EQ(f.events.count("block"), c.blockEvents);
        EXPECT_EQ(f.events.count("end"), c.endEvents);
        EXPECT_EQ(f.s->matchOver, c.endEvents == 1);
    }
}

TEST(ThrowRecording, CounterWrapRecordsTheLastThrowOfTheGame) {
    // "100 Hs" on 4 lanes: lane 1 has slot 1 for throws 1..50 and slot 2 for 51..100.
    Fixture f(3, 1, 4, 2);
    for (int n = 1; n <= 99; ++n)
        f.frame(1, n, 9);
    EXPECT_EQ(f.s->player[1].throwCount, 50);
    EXPECT_EQ(f.s->player[2].throwCount, 99);
    f.frame(1, 0, 4); // the counter wraps for throw 100
    EXPECT_EQ(f.s->player[2].throws[100], 4);
    EXPECT_EQ(f.s->player[2].throwCount, 100);
    EXPECT_EQ(f.s->player[1].throwCount, 50);
    EXPECT_EQ(f.s->player[2].clearingTotal, 9 * 24 + 4);
    EXPECT_EQ(laneThrowNumber(*f.s, 1), 100);
    f.frame(1, 0, 6); // corrected by the lane while still at 0
    EXPECT_EQ(f.s->player[2].throws[100], 6);
    EXPECT_EQ(f.s->player[2].total, 9 * 49 + 6); // throws 51..100 were on this lane

    // A miss on throw 100 is a throw too.
    Fixture miss(3, 1, 4, 2);
    for (int n = 90; n <= 99; ++n)
        miss.frame(3, n, 2);
    miss.frame(3, 0, 0);
    // lane 3: slot 4 plays its second segment there
    EXPECT_EQ(miss.s->player[4].throwCount, 100);
    EXPECT_EQ(miss.s->player[3].throwCount, 0);
    EXPECT_EQ(miss.s->player[4].faults, 89 + 1); // throws 1..89 unplayed, and throw 100

    // "200 Hs": the counter ends at 199, so throw 200 comes as 0 as well.
    Fixture twoHundred(1, 1, 4, 4);
    twoHundred.frame(2, 199, 3);
    twoHundred.frame(2, 0, 8);
    // lane 2, last segment: position 4
    EXPECT_EQ(twoHundred.s->player[4].throws[200], 8);
    EXPECT_EQ(twoHundred.s->player[4].throwCount, 200);
    EXPECT_EQ(twoHundred.s->player[4].laneClearing[4], 3 + 8);

    // A fresh lane at 0 has not wrapped; nor has a lane after it went blank.
    Fixture fresh(3, 1, 4, 2);
    fresh.s->player[1].throwCount = 7;
    fresh.frame(1, 0, 5);
    EXPECT_EQ(fresh.s->player[1].throwCount, 0);
    EXPECT_EQ(fresh.s->player[2].throws[100], 0);
    fresh.frame(1, 99, 5);
    fresh.frame(1, -1, 0);
    fresh.frame(1, 0, 5);
    EXPECT_EQ(fresh.s->player[4].throws[100], 0); // the next block's lane 1 starts at 0
    EXPECT_EQ(laneThrowNumber(*fresh.s, 1), 0);
}

TEST(ThrowRecording, SlotsBeyondTheLastAreNeverWritten) {
    Fixture f(5, 3, 6, 6, 30);
    f.s->firstPairOfBlock = 30; // slots 59..64 by the table; only 59 and 60 exist
    f.frame(1, 1, 8);
    f.frame(6, 1, 8);
    EXPECT_EQ(f.s->player[59].throws[1], 8);
    EXPECT_EQ(f.events.log, (std::vector<std::string>{"lane 1", "throw 59", "lane 6"}));
    EXPECT_EQ(f.s->player[0].throws[1], 0);
}

namespace {

// Spreads `pins` over the throws of one half, nine at a time.
void fillHalf(PlayerSlot& p, int firstThrow, int perHalf, int pins) {
    for (int j = 0; j < perHalf; ++j) {
        const int v = std::min(pins, 9);
        p.throws[static_cast<std::size_t>(firstThrow + j)] = static_cast<u8>(v);
        pins -= v;
    }
}

} // namespace

TEST(Recalculation, SetAndDuelPoints) {
    struct Case {
        const char* name;
        bool wholeSets;
        std::vector<std::pair<int, int>> home, guest; // full and clearing pins of sets 1..4
        std::vector<int> homeTies, guestTies;         // tie-break marks of sets 1..4
        std::vector<int> homeSets, guestSets;         // expected set points
        int homeTotal, guestTotal;                    // expected set point totals
        int homeDuel, guestDuel;
    };
    const std::vector<int> none{0, 0, 0, 0};
    // clang-format off
    const Case cases[] = {
        {"home wins every set", false,
         {{50, 40}, {60, 30}, {40, 40}, {50, 20}}, {{40, 40}, {30, 30}, {40, 39}, {40, 20}}, none, none,
         {2, 2, 2, 2}, {0, 0, 0, 0}, 8, 0, 2, 0},
        {"sets share, more pins win", false,
         {{90, 0}, {10, 0}, {0, 0}, {0, 0}}, {{50, 0}, {20, 0}, {0, 0}, {0, 0}}, none, none,
         {2, 0, 1, 1}, {0, 2, 1, 1}, 2, 2, 2, 0},
        {"equal sets and pins", false,
         {{50, 0}, {20, 0}, {0, 0}, {0, 0}}, {{20, 0}, {50, 0}, {0, 0}, {0, 0}}, none, none,
         {2, 0, 1, 1}, {0, 2, 1, 1}, 2, 2, 1, 1},
        {"tied set is half a point", false,
         {{50, 0}, {30, 0}, {0, 0}, {0, 0}}, {{40, 10}, {20, 0}, {0, 0}, {0, 0}}, none, none,
         {1, 2, 1, 1}, {1, 0, 1, 1}, 3, 1, 2, 0},
        {"set points beat pins", false,
         {{100, 50}, {40, 20}, {40, 20}, {40, 20}}, {{50, 20}, {45, 20}, {45, 20}, {45, 20}}, none, none,
         {2, 0, 0, 0}, {0, 2, 2, 2}, 2, 6, 0, 2},
        {"one side has not thrown", false,
         {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, {{12, 0}, {0, 0}, {0, 0}, {0, 0}}, none, none,
         {0, 1, 1, 1}, {2, 1, 1, 1}, 0, 2, 0, 2},
        {"whole sets", true,
         {{60, 30}, {50, 0}, {0, 0}, {0, 0}}, {{40, 30}, {20, 30}, {0, 0}, {0, 0}}, {0, 1, 1, 0}, {0, 0, 1, 1},
         {1, 1, 1, 0}, {0, 0, 1, 1}, 2, 0, 2, 0},
        {"whole sets, both tie-breaks won", true,
         {{60, 30}, {0, 0}, {0, 0}, {0, 0}}, {{80, 10}, {0, 0}, {0, 0}, {0, 0}}, {1, 0, 0, 0}, {1, 0, 0, 0},
         {1, 0, 0, 0}, {1, 0, 0, 0}, 1, 1, 1, 1},
        {"whole sets, both tie-breaks lost", true,
         {{60, 30}, {9, 0}, {0, 0}, {0, 0}}, {{80, 10}, {0, 0}, {0, 0}, {0, 0}}, none, none,
         {0, 1, 0, 0}, {0, 0, 0, 0}, 1, 0, 2, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        for (bool homeFirst : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (homeFirst ? ", home recalculated last" : ", guest last"));
            Fixture f(2, 1, 4, 4); // 15 throws per half, 4 sets
            f.s->controls.tandem = c.wholeSets;
            // Duel 3: home slot 5, guest slot 6.
            PlayerSlot& home = f.s->player[5];
            PlayerSlot& guest = f.s->player[6];
            for (int k = 0; k < 4; ++k) {
                fillHalf(home, 30 * k + 1, 15, c.home[static_cast<std::size_t>(k)].first);
                fillHalf(home, 30 * k + 16, 15, c.home[static_cast<std::size_t>(k)].second);
                fillHalf(guest, 30 * k + 1, 15, c.guest[static_cast<std::size_t>(k)].first);
                fillHalf(guest, 30 * k + 16, 15, c.guest[static_cast<std::size_t>(k)].second);
                home.tieBreak[static_cast<std::size_t>(k + 1)] =
                    static_cast<u8>(c.homeTies[static_cast<std::size_t>(k)]);
                guest.tieBreak[static_cast<std::size_t>(k + 1)] =
                    static_cast<u8>(c.guestTies[static_cast<std::size_t>(k)]);
            }
            home.throws[121] = guest.throws[121] = 9; // beyond the game: counts nowhere
            prepocitej(*f.s, homeFirst ? 6 : 5);
            prepocitej(*f.s, homeFirst ? 5 : 6);
            for (int k = 1; k <= 4; ++k) {
                EXPECT_EQ(home.setPoints[static_cast<std::size_t>(k)],
                          c.homeSets[static_cast<std::size_t>(k - 1)])
                    << "set " << k;
                EXPECT_EQ(guest.setPoints[static_cast<std::size_t>(k)],
                          c.guestSets[static_cast<std::size_t>(k - 1)])
                    << "set " << k;
            }
            EXPECT_EQ(home.setPointsTotal, c.homeTotal);
            EXPECT_EQ(guest.setPointsTotal, c.guestTotal);
            EXPECT_EQ(home.duelPoints, c.homeDuel);
            EXPECT_EQ(guest.duelPoints, c.guestDuel);
            for (const auto& [slot, sets] : {std::pair{&home, &c.home}, std::pair{&guest, &c.guest}}) {
                int full = 0, clearing = 0, zeros = 0;
                for (int k = 0; k < 4; ++k) {
                    full += (*sets)[static_cast<std::size_t>(k)].first;
                    clearing += (*sets)[static_cast<std::size_t>(k)].second;
                    EXPECT_EQ(slot->laneTotal[static_cast<std::size_t>(k + 1)],
                              (*sets)[static_cast<std::size_t>(k)].first +
                                  (*sets)[static_cast<std::size_t>(k)].second);
                    EXPECT_EQ(slot->laneFull[static_cast<std::size_t>(k + 1)],
                              (*sets)[static_cast<std::size_t>(k)].first);
                }
                for (int t = 1; t <= 120; ++t)
                    zeros += slot->throws[static_cast<std::size_t>(t)] == 0;
                EXPECT_EQ(slot->fullTotal, full);
                EXPECT_EQ(slot->clearingTotal, clearing);
                EXPECT_EQ(slot->total, full + clearing);
                EXPECT_EQ(slot->faults, zeros);
            }
            EXPECT_EQ(f.s->player[4].duelPoints, 0); // other duels untouched
            EXPECT_EQ(f.s->player[7].setPointsTotal, 0);
        }
    }
}

TEST(Recalculation, LaneResultsOfEachSet) {
    Fixture f(6, 3, 6, 2); // "40 Hs": 10 throws per half, 2 sets
    PlayerSlot& p = f.s->player[60];
    const int throws[] = {9, 0, 8, 7, 6, 5, 4, 3, 2, 1, /**/ 0, 0, 9, 1, 0, 0, 0, 0, 0, 5,
                          7, 7, 7, 7, 7, 7, 7, 7, 7, 7, /**/ 9, 0, 0, 0, 0, 0, 0, 0, 0, 9};
    for (int t = 1; t <= 40; ++t)
        p.throws[static_cast<std::size_t>(t)] = static_cast<u8>(throws[t - 1]);
    prepocitej(*f.s, 60);
    EXPECT_EQ(p.laneFull[1], 45);
    EXPECT_EQ(p.laneClearing[1], 15);
    EXPECT_EQ(p.laneFaults[1], 8);
    EXPECT_EQ(p.laneTotal[1], 60);
    EXPECT_EQ(p.laneFull[2], 70);
    EXPECT_EQ(p.laneClearing[2], 18);
    EXPECT_EQ(p.laneFaults[2], 8);
    EXPECT_EQ(p.laneTotal[2], 88);
    EXPECT_EQ(p.fullTotal, 115);
    EXPECT_EQ(p.clearingTotal, 33);
    EXPECT_EQ(p.faults, 16);
    EXPECT_EQ(p.laneTotal[3], 0);
    EXPECT_EQ(f.s->player[59].setPoints[1], 0); // the opponent, slot 59, lost both sets
    EXPECT_EQ(f.s->player[59].duelPoints, 0);
    EXPECT_EQ(p.duelPoints, 2);

    prepocitej(*f.s, 0); // no such slot: nothing happens
    prepocitej(*f.s, 61);
    EXPECT_EQ(f.s->player[0].total, 0);
}

TEST(MatchPoints, DuelPointsPlusThePinBonus) {
    struct Case {
        std::vector<std::pair<int, int>> pinsAndDuel; // slots 1..n: pins, duel points
        int homeMatch, guestMatch;
    };
    const Case cases[] = {
        {{{500, 2}, {480, 0}, {400, 1}, {410, 1}}, 3 + 4, 1},
        {{{500, 0}, {400, 2}, {300, 0}, {500, 2}}, 0, 4 + 4},
        {{{450, 1}, {450, 1}, {300, 2}, {300, 0}}, 3 + 2, 1 + 2},
        {{}, 2, 2},
    };
    for (const Case& c : cases) {
        MatchState s;
        int slot = 1;
        for (const auto& [pins, duel] : c.pinsAndDuel) {
            s.player[static_cast<std::size_t>(slot)].fullTotal = static_cast<u16>(pins - 100);
            s.player[static_cast<std::size_t>(slot)].clearingTotal = 100;
            s.player[static_cast<std::size_t>(slot)].duelPoints = static_cast<u16>(duel);
            ++slot;
        }
        s.player[13].fullTotal = 900; // beyond slot 12: not counted
        const TeamResult r = teamResult(s, 12);
        EXPECT_EQ(r.homeMatchPoints, c.homeMatch);
        EXPECT_EQ(r.guestMatchPoints, c.guestMatch);
    }
}

// Lanes of the last block beyond the last duel (3 duels on 4 lanes) have no
// player: what is thrown there is not taken and does not hold up the end.
TEST(ThrowRecording, LanesBeyondTheLastDuelTakeNothing) {
    Fixture f(4, 1, 4, 2, 3);
    f.s->firstPairOfBlock = 3; // the last block: duel 3 on lanes 1-2, nobody on lanes 3-4
    f.frame(3, 1, 7);
    f.frame(4, 1, 5);
    f.frame(1, 1, 9);
    f.frame(2, 1, 8);
    EXPECT_EQ(f.s->laneActive[3], 0);
    EXPECT_EQ(f.s->laneActive[4], 0);
    for (int slot = 7; slot <= 8; ++slot) {
        EXPECT_EQ(f.s->player[static_cast<std::size_t>(slot)].throwCount, 0) << "slot " << slot;
        EXPECT_EQ(f.s->player[static_cast<std::size_t>(slot)].throws[1], 0) << "slot " << slot;
    }
    EXPECT_EQ(f.s->player[5].throws[1], 9);
    EXPECT_EQ(f.s->player[6].throws[1], 8);
    f.frame(1, -1, 0);
    f.frame(2, -1, 0);
    EXPECT_TRUE(f.s->matchOver);
}
