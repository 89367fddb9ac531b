#include "boards/results_board.h"
#include "console/simulation_lineup.h"
#include "core/cp1250.h"
#include "core/match_state.h"
#include "reports/match_report.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kuzelna;

// With the sample line-ups the boards and the report name the same teams as
// the console, not "Domácí" and "Hosté".
TEST(SimulationLineup, BoardsAndReportNameTheSampleTeams) {
    auto state = std::make_unique<MatchState>();
    state->pairCount = 2;
    fillSimulationLineups(*state);
    const ResultsBoardTexts board = resultsBoardTexts(*state, ",");
    EXPECT_EQ(cp1250::toUtf8(board.home.title), "Sokol Brno");
    EXPECT_EQ(cp1250::toUtf8(board.guest.title), "Slavoj Vyšehrad");
    const ReportEnvironment env{"/alley", [] { return std::string("10. 12. 2026"); },
                                [] { return std::string("2026-12-10"); }};
    EXPECT_EQ(matchReportPath(*state, "N ", "10. 12. 2026", env).filename(),
              std::filesystem::path(u8"N Sokol Brno - Slavoj Vyšehrad 2026-12-10.xls"));
}
