// The journal's costs: one appended record including its fsync (p50, p99 and
// the worst of 2000, in a folder on the disk: the first argument, else a
// scratch folder beside the program), rebuilding a whole 6-lane "180 Hs"
// match of 12 players from its journal, and the check for changes that runs
// with every lane answer.

#include "core/journal_file.h"
#include "core/match_events.h"
#include "core/match_journal.h"
#include "core/match_state.h"
#include "lanes/lane_link.h"
#include "lanes/match_cycle.h"
#include "scoring/game_kinds.h"
#include "support/frames.h"
#include "support/simulated_alley.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace kuzelna;
using Clock = std::chrono::steady_clock;

namespace {

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

// A whole match played against the simulated alley, with its journal.
std::string wholeMatchJournal(std::unique_ptr<MatchState>& played) {
    played = std::make_unique<MatchState>();
    applyConfiguration(*played, {5, 3, 1, 6, 1});
    played->linkPaused = 0;
    MatchEvents quiet;
    LaneLink link(*played, quiet);
    MatchCycle cycle(*played, quiet);
    JournalRecorder recorder("2026-12-10 19:30:00");
    std::string journal = recorder.sync(*played);
    link.beforeRecording = [&](int lane, const LaneStatus& status) {
        journal += recorder.frame(*played, lane, status);
    };
    testing::SimulatedAlley alley({5, 3, 1, 6, 180});
    while (!played->matchOver) {
        for (const std::string& body : testing::sentBodies(cycle.tick())) {
            const std::string reply = alley.answer(body);
            if (!reply.empty()) link.onBytes(reply);
        }
    }
    return journal;
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::path(argv[0]).parent_path() / "bench_journal_scratch";
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / "utkani.jrn";
    std::filesystem::remove(path);

    {
        const std::string record =
            encodeJournalRecord({JournalKind::Frame, std::string(17, '\x05')}); // a status frame's record
        JournalFile file(path.string());
        std::vector<double> times;
        for (int i = 0; i < 2000; ++i) {
            const auto start = Clock::now();
            file.append(record);
            if (!file.commit()) {
                std::fprintf(stderr, "bench_journal: %s\n", file.lastError().c_str());
                return 1;
            }
            times.push_back(ms(Clock::now() - start));
        }
        std::printf("append + fsync of one %zu-byte record in %s (2000 records):\n", record.size(),
                    folder.string().c_str());
        std::printf("  p50 %.3f ms   p99 %.3f ms   worst %.3f ms   (goal: p99 <= 2 ms)\n",
                    percentile(times, 0.5), percentile(times, 0.99), percentile(times, 1.0));
    }
    std::filesystem::remove(path);

    std::unique_ptr<MatchState> played;
    const std::string journal = wholeMatchJournal(played);
    const JournalReading reading = readJournal(journal);
    std::vector<double> times;
    for (int i = 0; i < 20; ++i) {
        auto state = std::make_unique<MatchState>();
        const auto start = Clock::now();
        replayJournal(*state, readJournal(journal));
        times.push_back(ms(Clock::now() - start));
        if (state->player[12].total != played->player[12].total || !state->matchOver) {
            std::fprintf(stderr, "bench_journal: the rebuilt match differs\n");
            return 1;
        }
    }
    std::printf("rebuild of a whole 6-lane \"180 Hs\" match, 12 players (%zu records, %zu bytes):\n",
                reading.records.size(), journal.size());
    std::printf("  median %.2f ms   worst %.2f ms of 20   (goal: <= 50 ms)\n", percentile(times, 0.5),
                percentile(times, 1.0));

    // The check that runs with every lane answer: a match that has not changed
    // since the last record yields nothing.
    JournalRecorder recorder(*played, reading.records.size());
    constexpr int kChecks = 20000;
    std::size_t written = 0;
    const auto start = Clock::now();
    for (int i = 0; i < kChecks; ++i)
        written += recorder.sync(*played).size();
    const double each = ms(Clock::now() - start) * 1000.0 / kChecks;
    if (written != 0) {
        std::fprintf(stderr, "bench_journal: an unchanged match wrote %zu bytes\n", written);
        return 1;
    }
    std::printf("sync of an unchanged match (with every lane answer): %.2f us each\n", each);
    return 0;
}
