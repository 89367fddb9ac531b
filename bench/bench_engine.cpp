// Engine cost per status frame from the lane line (receive loop, throw
// recording and recalculation), and a whole 6-lane "180 Hs" match of 12 players
// played through the byte interface against the simulated alley.

#include "core/match_events.h"
#include "core/match_state.h"
#include "lanes/lane_link.h"
#include "lanes/match_cycle.h"
#include "scoring/game_kinds.h"
#include "scoring/throw_recording.h"
#include "support/frames.h"
#include "support/simulated_alley.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace kuzelna;

namespace {

class Quiet : public MatchEvents {};

std::unique_ptr<MatchState> sixLanes180() {
    auto state = std::make_unique<MatchState>();
    applyConfiguration(*state, {5, 3, 1, 6, 1});
    state->linkPaused = 0;
    return state;
}

// Every frame changes a throw, so every frame is recorded and recalculated.
void changedThrowPerFrame(benchmark::State& bench) {
    auto state = sixLanes180();
    Quiet events;
    LaneLink link(*state, events);
    std::vector<std::string> frames;
    for (int n = 1; n <= 180; ++n) {
        for (int pins : {3, 8})
            frames.push_back(testing::statusFrame(n % 6 + 1, testing::laneStatus(n, pins)));
    }
    std::size_t next = 0;
    for (auto _ : bench) {
        link.onBytes(frames[next]);
        next = next + 1 == frames.size() ? 0 : next + 1;
    }
    benchmark::DoNotOptimize(state->player[1].total);
    bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(changedThrowPerFrame);

// A repeated report of the same throw: stored, nothing to recalculate.
void unchangedFrame(benchmark::State& bench) {
    auto state = sixLanes180();
    Quiet events;
    LaneLink link(*state, events);
    const std::string frame = testing::statusFrame(4, testing::laneStatus(77, 6));
    for (auto _ : bench)
        link.onBytes(frame);
    bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(unchangedFrame);

void recalculation(benchmark::State& bench) {
    auto state = sixLanes180();
    for (int t = 1; t <= 180; ++t)
        state->player[7].throws[static_cast<std::size_t>(t)] = static_cast<u8>(t % 10);
    for (auto _ : bench) {
        prepocitej(*state, 7);
        benchmark::DoNotOptimize(state->player[7].duelPoints);
    }
}
BENCHMARK(recalculation);

// One tick of the match cycle, display frames included.
void cycleTick(benchmark::State& bench) {
    auto state = sixLanes180();
    state->controls.displayExtra = true;
    state->controls.setPointDisplay = SetPointDisplay::Chars18;
    Quiet events;
    MatchCycle cycle(*state, events);
    for (auto _ : bench) {
        state->pollDelay = 0;
        benchmark::DoNotOptimize(cycle.tick());
    }
}
BENCHMARK(cycleTick);

void wholeMatch180(benchmark::State& bench) {
    std::int64_t frames = 0;
    for (auto _ : bench) {
        bench.PauseTiming();
        testing::SimulatedAlley alley({5, 3, 1, 6, 42});
        auto state = sixLanes180();
        state->controls.displayExtra = true;
        Quiet events;
        LaneLink link(*state, events);
        MatchCycle cycle(*state, events);
        bench.ResumeTiming();
        while (!state->matchOver) {
            for (const std::string& body : testing::sentBodies(cycle.tick())) {
                const std::string reply = alley.answer(body);
                if (!reply.empty()) {
                    link.onBytes(reply);
                    ++frames;
                }
            }
        }
        benchmark::DoNotOptimize(state->player[12].duelPoints);
    }
    bench.counters["frames"] =
        benchmark::Counter(static_cast<double>(frames) / static_cast<double>(bench.iterations()));
}
BENCHMARK(wholeMatch180)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
