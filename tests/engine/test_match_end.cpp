// The end of a block and of the match as the alley's displays see it: lanes that
// go blank right after their last throw, as the virtual alley's do, on every lane
// count, with and without line noise.

#include "core/match_events.h"
#include "core/match_state.h"
#include "lanes/lane_link.h"
#include "lanes/match_cycle.h"
#include "lanes/virtual_alley.h"
#include "scoring/game_kinds.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace kuzelna;

namespace {

struct Plan {
    int layout; // 1 = 4 lanes, 2 = 2 lanes, 3 = 6 lanes
    double noise;
    int throwMs; // 0: as fast as the polls allow; else a lane's mean time between throws
};

std::string describe(const ::testing::TestParamInfo<Plan>& info) {
    return "layout" + std::to_string(info.param.layout) + (info.param.noise > 0 ? "_noise" : "") +
           (info.param.throwMs > 0 ? "_realPace" : "");
}

class Events : public MatchEvents {
public:
    std::function<void()> onBlock;
    int ends = 0;
    std::map<int, std::string> mirror;
    void blockChanged() override {
        if (onBlock) onBlock();
    }
    void matchEnded() override { ++ends; }
    void scoreDigit(int x, const std::string& text) override { mirror[x] = text; }
};

class MatchEnd : public ::testing::TestWithParam<Plan> {};

} // namespace

TEST_P(MatchEnd, TheLastFramesShowTheFinalResult) {
    const Plan plan = GetParam();
    const int pairs = 6;
    AlleySetup setup;
    setup.gameKind = 4;
    setup.laneLayout = plan.layout;
    setup.duels = pairs;
    setup.seed = 7;
    setup.throwMs = plan.throwMs;
    setup.noise = plan.noise;
    VirtualAlley alley(setup);

    auto state = std::make_unique<MatchState>();
    MatchState& s = *state;
    ASSERT_EQ(applyConfiguration(s, {4, plan.layout, 1, pairs, 1}), "");
    s.controls.displayExtra = true;
    for (int slot = 1; slot <= 2 * pairs; ++slot)
        s.player[static_cast<std::size_t>(slot)].displayName = "Player " + std::to_string(slot);
    s.linkPaused = 0;
    Events events;
    LaneLink link(s, events);
    MatchCycle cycle(s, events);
    // The players' names are all different, so two lanes showing one name is a
    // wrong name on one of them.
    int blockEnds = 0;
    auto expectDistinctNames = [&](const std::string& when) {
        std::map<std::string, int> laneOf;
        for (int lane = 1; lane <= alley.laneCount(); ++lane) {
            const std::string& name = alley.displays().laneName[lane];
            if (name.empty()) continue;
            const auto [at, fresh] = laneOf.emplace(name, lane);
            EXPECT_TRUE(fresh) << when << ": lanes " << at->second << " and " << lane << " both show "
                               << name;
        }
    };
    events.onBlock = [&] { expectDistinctNames("end of block " + std::to_string(++blockEnds)); };

    std::int64_t now = 0;
    int ticks = 0;
    for (; ticks < 3'000'000 && !cycle.finished(); ++ticks) {
        now += 100;
        alley.setClock(now);
        const std::string sent = cycle.tick();
        if (!sent.empty()) link.onBytes(alley.receive(sent));
    }
    ASSERT_TRUE(cycle.finished()) << "after " << ticks << " ticks";
    EXPECT_TRUE(alley.finished());
    EXPECT_EQ(blockEnds, pairs / (alley.laneCount() / 2) - 1);
    EXPECT_EQ(events.ends, 1);
    expectDistinctNames("end of the match");

    // The final result worked out from the throws the alley played.
    int pins[2] = {0, 0}, points[2] = {0, 0};
    for (int duel = 1; duel <= pairs; ++duel) {
        int duelPins[2] = {0, 0};
        int sets[2] = {0, 0};
        const std::vector<int> home = alley.throwsOf(2 * duel - 1), guest = alley.throwsOf(2 * duel);
        for (int set = 0; set < 2; ++set) { // "60 Hs": two sets of 30 throws
            int setPins[2] = {0, 0};
            for (int t = 30 * set + 1; t <= 30 * set + 30; ++t) {
                setPins[0] += t < static_cast<int>(home.size()) ? home[static_cast<std::size_t>(t)] : 0;
                setPins[1] += t < static_cast<int>(guest.size()) ? guest[static_cast<std::size_t>(t)] : 0;
            }
            sets[0] += setPins[0] > setPins[1] ? 2 : setPins[0] == setPins[1] ? 1 : 0;
            sets[1] += setPins[1] > setPins[0] ? 2 : setPins[0] == setPins[1] ? 1 : 0;
            duelPins[0] += setPins[0];
            duelPins[1] += setPins[1];
        }
        const int a = sets[0] != sets[1] ? sets[0] : duelPins[0],
                  b = sets[0] != sets[1] ? sets[1] : duelPins[1];
        points[0] += a > b ? 2 : a == b ? 1 : 0;
        points[1] += b > a ? 2 : a == b ? 1 : 0;
        pins[0] += duelPins[0];
        pins[1] += duelPins[1];
    }
    points[0] += pins[0] > pins[1] ? 4 : pins[0] == pins[1] ? 2 : 0;
    points[1] += pins[1] > pins[0] ? 4 : pins[0] == pins[1] ? 2 : 0;

    auto fourDigits = [](int value) {
        char text[8];
        std::snprintf(text, sizeof text, "%04d", value);
        return std::string(text);
    };
    auto shown = [](int doubled) { return std::to_string(doubled / 2) + (doubled % 2 ? ".5" : ""); };
    const AlleyDisplays& d = alley.displays();
    EXPECT_EQ(d.scoreBoard.substr(0, 4), fourDigits(pins[0]));
    EXPECT_EQ(d.scoreBoard.substr(10, 4), fourDigits(pins[1]));
    EXPECT_EQ(d.homeMatchPoints, shown(points[0]));
    EXPECT_EQ(d.guestMatchPoints, shown(points[1]));
    // The console's mirror of the score frame: guest from x = 570, home from x = 370.
    std::string mirroredHome, mirroredGuest;
    for (int x = 370; x <= 400; x += 10)
        mirroredHome += events.mirror[x];
    for (int x = 570; x <= 600; x += 10)
        mirroredGuest += events.mirror[x];
    EXPECT_EQ(mirroredHome, fourDigits(pins[0]));
    EXPECT_EQ(mirroredGuest, fourDigits(pins[1]));
}

INSTANTIATE_TEST_SUITE_P(Lanes, MatchEnd,
                         ::testing::Values(Plan{2, 0.0, 0}, Plan{1, 0.0, 0}, Plan{3, 0.0, 0}, Plan{2, 0.3, 0},
                                           Plan{1, 0.3, 0}, Plan{3, 0.3, 0}, Plan{2, 0.0, 18000},
                                           Plan{1, 0.0, 18000}, Plan{3, 0.3, 18000}),
                         describe);
