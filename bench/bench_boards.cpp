// One repaint of each board: the texts recomputed from a full match state and
// set on the labels (what the paint request and the board timer do), and the
// whole window drawn into an image (texts, background picture and labels).
// Runs on the offscreen platform unless another one is chosen.

#include "boards/results_board.h"
#include "boards/results_board_window.h"
#include "boards/tournament_board.h"
#include "boards/tournament_board_window.h"
#include "core/match_state.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace kuzelna;

namespace {

MatchState fullMatch(bool tournament) {
    MatchState state;
    state.homeTeamTitle = "TJ Sokol Prerov A";
    state.guestTeamTitle = "KK Slavoj Trebova B";
    state.pairCount = 6;
    state.laneCount = 6;
    state.controls.tournament = tournament;
    state.controls.entrantNumberText = "25";
    for (int s = 1; s <= 16; ++s) {
        PlayerSlot& p = state.player[static_cast<std::size_t>(s)];
        p.surname = "Prijmeni" + std::to_string(s);
        p.firstName = "Jmeno";
        p.fullTotal = static_cast<u16>(340 + 7 * s % 50);
        p.clearingTotal = static_cast<u16>(140 + 13 * s % 60);
        p.total = static_cast<u16>(p.fullTotal + p.clearingTotal);
        p.setPointsTotal = static_cast<u16>(s % 7);
        p.duelPoints = static_cast<u16>(s % 3);
    }
    for (int k = 1; k <= 53; ++k) {
        StandingsEntry& e = state.standings[static_cast<std::size_t>(k)];
        e.name = "Ucastnik turnaje " + std::to_string(k);
        e.full = static_cast<u16>(350 + 11 * k % 70);
        e.clearing = static_cast<u16>(150 + 17 * k % 60);
        e.total = static_cast<u16>(e.full + e.clearing);
        e.faults = static_cast<u16>(k % 6);
    }
    return state;
}

// Every iteration a throw lands: the texts differ from the previous repaint.
void nextThrow(MatchState& state, benchmark::State& run) {
    PlayerSlot& p = state.player[1];
    p.fullTotal = static_cast<u16>(300 + run.iterations() % 200);
    p.total = static_cast<u16>(p.fullTotal + p.clearingTotal);
}

void ResultsBoardModel(benchmark::State& run) {
    MatchState state = fullMatch(false);
    for (auto _ : run) {
        nextThrow(state, run);
        benchmark::DoNotOptimize(resultsBoardTexts(state, ","));
    }
}

void ResultsBoardRepaint(benchmark::State& run) {
    MatchState state = fullMatch(false);
    ResultsBoardWindow board(state);
    for (auto _ : run) {
        nextThrow(state, run);
        board.refresh();
    }
}

void ResultsBoardDrawn(benchmark::State& run) {
    MatchState state = fullMatch(false);
    ResultsBoardWindow board(state);
    board.toggleFromButton();
    QImage image(board.size(), QImage::Format_RGB32);
    for (auto _ : run) {
        nextThrow(state, run);
        board.render(&image);
    }
}

void TournamentBoardModel(benchmark::State& run) {
    MatchState state = fullMatch(true);
    for (auto _ : run) {
        nextThrow(state, run);
        benchmark::DoNotOptimize(tournamentBoardTexts(state));
    }
}

void TournamentBoardRepaint(benchmark::State& run) {
    MatchState state = fullMatch(true);
    TournamentBoardWindow board(state);
    for (auto _ : run) {
        nextThrow(state, run);
        board.refresh();
    }
}

void TournamentBoardDrawn(benchmark::State& run) {
    MatchState state = fullMatch(true);
    TournamentBoardWindow board(state);
    board.toggleFromButton();
    QImage image(board.size(), QImage::Format_RGB32);
    for (auto _ : run) {
        nextThrow(state, run);
        board.render(&image);
    }
}

} // namespace

BENCHMARK(ResultsBoardModel)->Unit(benchmark::kMicrosecond);
BENCHMARK(ResultsBoardRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(ResultsBoardDrawn)->Unit(benchmark::kMicrosecond);
BENCHMARK(TournamentBoardModel)->Unit(benchmark::kMicrosecond);
BENCHMARK(TournamentBoardRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(TournamentBoardDrawn)->Unit(benchmark::kMicrosecond);

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
