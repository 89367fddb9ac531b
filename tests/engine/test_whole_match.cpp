// Whole matches played through the byte interface: the match cycle's polls are
// answered by a simulated alley whose status frames go through the receive
// loop, for every kind of game on every lane layout its rotation can serve.
// Every expected figure is worked out here from the throws the alley drew.

#include "core/match_state.h"
#include "lanes/lane_link.h"
#include "lanes/match_cycle.h"
#include "scoring/game_kinds.h"
#include "support/frames.h"
#include "support/recording_events.h"
#include "support/simulated_alley.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

struct Plan {
    int kind, layout, pair;
    bool wholeSets = false;
};

std::string describe(const ::testing::TestParamInfo<Plan>& info) {
    const Plan& p = info.param;
    return "kind" + std::to_string(p.kind) + "_layout" + std::to_string(p.layout) + "_pair" +
           std::to_string(p.pair) + (p.wholeSets ? "_wholeSets" : "");
}

// What a player's throws come to, by set.
struct Expected {
    int full = 0, clearing = 0, faults = 0;
    int laneFull[7]{}, laneClearing[7]{}, laneFaults[7]{};
    int laneTotal(int k) const { return laneFull[k] + laneClearing[k]; }
    int setPoints[7]{};
    int setPointsTotal = 0, duelPoints = 0;
};

std::vector<Expected> expectedResults(const SimulatedAlley& alley, int kind, bool wholeSets) {
    const int perLane = simThrowsPerLane(kind), perHalf = perLane / 2, sets = simLanesPerPlayer(kind);
    std::vector<Expected> e(static_cast<std::size_t>(alley.slots() + 1));
    for (int slot = 1; slot <= alley.slots(); ++slot) {
        Expected& x = e[static_cast<std::size_t>(slot)];
        for (int t = 1; t <= alley.throwsPerPlayer(); ++t) {
            const int set = (t - 1) / perLane + 1;
            const bool fullRack = (t - 1) % perLane < perHalf;
            const int v = alley.pins(slot, t);
            (fullRack ? x.laneFull : x.laneClearing)[set] += v;
            (fullRack ? x.full : x.clearing) += v;
            if (v == 0) {
                ++x.faults;
                ++x.laneFaults[set];
            }
        }
    }
    for (int home = 1; home < alley.slots(); home += 2) {
        Expected& h = e[static_cast<std::size_t>(home)];
        Expected& g = e[static_cast<std::size_t>(home + 1)];
        for (int k = 1; k <= sets; ++k) {
            const int a = h.laneTotal(k), b = g.laneTotal(k);
            if (wholeSets) { // a tie gives each side its tie-break mark, none here
                h.setPoints[k] = a > b ? 1 : 0;
                g.setPoints[k] = b > a ? 1 : 0;
            } else {
                h.setPoints[k] = a > b ? 2 : a == b ? 1 : 0;
                g.setPoints[k] = 2 - h.setPoints[k];
            }
            h.setPointsTotal += h.setPoints[k];
            g.setPointsTotal += g.setPoints[k];
        }
        const int ht = h.full + h.clearing, gt = g.full + g.clearing;
        if (h.setPointsTotal != g.setPointsTotal) {
            h.duelPoints = h.setPointsTotal > g.setPointsTotal ? 2 : 0;
        } else {
            h.duelPoints = ht > gt ? 2 : ht == gt ? 1 : 0;
        }
        g.duelPoints = 2 - h.duelPoints;
    }
    return e;
}

class WholeMatch : public ::testing::TestWithParam<Plan> {};

} // namespace

TEST_P(WholeMatch, EveryThrowTotalAndPointComesOutRight) {
    const Plan plan = GetParam();
    const int lanes = simLaneCount(plan.layout);
    const int pairs = 6;
    SimulatedAlley alley(
        {plan.kind, plan.layout, plan.pair, pairs, 1000u * plan.kind + 10u * plan.layout + plan.pair});

    auto state = std::make_unique<MatchState>();
    MatchState& s = *state;
    ASSERT_EQ(applyConfiguration(s, {plan.kind, plan.layout, plan.pair, pairs, 1}), "");
    s.controls.displayExtra = true;
    s.controls.tandem = plan.wholeSets;
    s.controls.setPointDisplay = SetPointDisplay::Chars18;
    for (int slot = 1; slot <= 2 * pairs; ++slot)
        s.player[static_cast<std::size_t>(slot)].displayName = "Player " + std::to_string(slot);
    s.linkPaused = 0; // "Start"
    RecordingEvents events;
    LaneLink link(s, events);
    MatchCycle cycle(s, events);

    int ticks = 0;
    for (; !s.matchOver && ticks < 2'000'000; ++ticks) {
        for (const std::string& body : sentBodies(cycle.tick())) {
            const std::string reply = alley.answer(body);
            if (!reply.empty()) {
                for (const std::string& piece : alley.deliver(reply))
                    link.onBytes(piece);
            }
        }
    }
    ASSERT_TRUE(s.matchOver) << "after " << ticks << " ticks";
    EXPECT_TRUE(alley.allBlocksDone());
    const int blocks = pairs / (lanes / 2);
    EXPECT_EQ(alley.blocksStarted(), blocks);
    EXPECT_EQ(events.count("block"), blocks - 1);
    EXPECT_EQ(events.count("end"), 1);
    EXPECT_EQ(s.firstPairOfBlock, 1 + (blocks - 1) * lanes / 2);
    int finalFrames = 0;
    for (int i = 0; i < 30; ++i)
        finalFrames += static_cast<int>(sentBodies(cycle.tick()).size());
    EXPECT_EQ(finalFrames, 2); // the final score and match points, then nothing
    EXPECT_TRUE(cycle.finished());

    const std::vector<Expected> expected = expectedResults(alley, plan.kind, plan.wholeSets);
    const int sets = simLanesPerPlayer(plan.kind);
    for (int slot = 1; slot <= 2 * pairs; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        const PlayerSlot& p = s.player[static_cast<std::size_t>(slot)];
        const Expected& x = expected[static_cast<std::size_t>(slot)];
        int wrongThrows = 0;
        for (int t = 1; t <= alley.throwsPerPlayer(); ++t)
            wrongThrows += p.throws[static_cast<std::size_t>(t)] != alley.pins(slot, t);
        EXPECT_EQ(wrongThrows, 0);
        EXPECT_EQ(p.throwCount, alley.throwsPerPlayer());
        EXPECT_EQ(p.fullTotal, x.full);
        EXPECT_EQ(p.clearingTotal, x.clearing);
        EXPECT_EQ(p.total, x.full + x.clearing);
        EXPECT_EQ(p.faults, x.faults);
        for (int k = 1; k <= sets; ++k) {
            EXPECT_EQ(p.laneFull[static_cast<std::size_t>(k)], x.laneFull[k]) << "set " << k;
            EXPECT_EQ(p.laneClearing[static_cast<std::size_t>(k)], x.laneClearing[k]) << "set " << k;
            EXPECT_EQ(p.laneFaults[static_cast<std::size_t>(k)], x.laneFaults[k]) << "set " << k;
            EXPECT_EQ(p.laneTotal[static_cast<std::size_t>(k)], x.laneTotal(k)) << "set " << k;
            EXPECT_EQ(p.setPoints[static_cast<std::size_t>(k)], x.setPoints[k]) << "set " << k;
        }
        EXPECT_EQ(p.setPointsTotal, x.setPointsTotal);
        EXPECT_EQ(p.duelPoints, x.duelPoints);
    }
    for (int slot = 2 * pairs + 1; slot <= kMaxSlots; ++slot)
        EXPECT_EQ(s.player[static_cast<std::size_t>(slot)].total, 0) << "slot " << slot;

    // The displays' view of the final result: the match-points and score frames.
    int homePins = 0, guestPins = 0, homePoints = 0, guestPoints = 0;
    for (int slot = 1; slot <= 2 * pairs; ++slot) {
        const Expected& x = expected[static_cast<std::size_t>(slot)];
        (slot % 2 ? homePins : guestPins) += x.full + x.clearing;
        (slot % 2 ? homePoints : guestPoints) += x.duelPoints;
    }
    homePoints += homePins > guestPins ? 4 : homePins == guestPins ? 2 : 0;
    guestPoints += guestPins > homePins ? 4 : homePins == guestPins ? 2 : 0;
    s.matchOver = false;
    s.pollDelay = 0;
    s.pollsBeforeDisplay = 1;
    s.displayStep = static_cast<u8>(lanes + 2);
    s.displayToggle = 1;
    const std::string points = sentBodies(cycle.tick()).at(0);
    auto eightPoint = [](int v) { return bytes({v % 2 ? 0x85 : 0x80, 0x80 | v / 2}); };
    EXPECT_EQ(points, bytes({0x90, 0x95, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x8B, 0x8B}) +
                          eightPoint(guestPoints) + bytes({0x81}) + eightPoint(homePoints));

    s.pollDelay = 0;
    s.pollsBeforeDisplay = 1;
    s.displayStep = 1;
    events.digits.clear();
    const ServerFrame sent = sentFrames(cycle.tick()).at(0);
    const auto* score = std::get_if<ScoreFrame>(&sent);
    ASSERT_NE(score, nullptr);
    auto digitAt = [&](int i) { return static_cast<int>(score->digits[static_cast<std::size_t>(i)]); };
    EXPECT_EQ(digitAt(0) + 10 * digitAt(1) + 100 * digitAt(2) + 1000 * digitAt(3), guestPins);
    EXPECT_EQ(digitAt(8) + 10 * digitAt(9) + 100 * digitAt(10) + 1000 * digitAt(11), homePins);
}

INSTANTIATE_TEST_SUITE_P(AllServableGames, WholeMatch,
                         ::testing::Values(Plan{1, 1, 1}, Plan{1, 2, 1}, Plan{1, 3, 1}, Plan{1, 2, 2},
                                           Plan{2, 1, 1}, Plan{2, 2, 1}, Plan{2, 3, 1}, Plan{2, 2, 2},
                                           Plan{3, 1, 1}, Plan{3, 2, 1}, Plan{3, 3, 1}, Plan{3, 2, 2},
                                           Plan{4, 1, 1}, Plan{4, 2, 1}, Plan{4, 3, 1}, Plan{4, 2, 2},
                                           Plan{5, 3, 1}, Plan{6, 1, 1}, Plan{6, 2, 1}, Plan{6, 3, 1},
                                           Plan{6, 2, 2}, Plan{5, 3, 1, true}, Plan{2, 1, 1, true}),
                         describe);
