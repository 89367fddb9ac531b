#include "console/console_actions.h"
#include "core/match_state.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

using namespace kuzelna;

TEST(ConsoleActions, StartAlternatesTheLinkUntilTheMatchIsOver) {
    MatchState state;
    struct Step {
        const char* caption;
        int linkPaused, running;
    };
    const Step steps[] = {{"Pracuje", 0, 1}, {"Zastaveno", 1, 0}, {"Pracuje", 0, 1}};
    for (const Step& step : steps) {
        EXPECT_EQ(pressStart(state), step.caption);
        EXPECT_EQ(state.linkPaused, step.linkPaused);
        EXPECT_EQ(state.running, step.running);
    }
    state.matchOver = true;
    EXPECT_EQ(pressStart(state), "konec");
    EXPECT_EQ(state.running, 1);
    EXPECT_EQ(state.linkPaused, 0);
}

TEST(ConsoleActions, AdvertisingStartsAtTheFirstAdvertAndStops) {
    MatchState state;
    state.advertTicks = 7;
    EXPECT_EQ(toggleAdvertising(state), "Vypni reklamu");
    EXPECT_EQ(state.advertNumber, 1);
    EXPECT_EQ(state.advertTicks, 0);
    state.advertNumber = 14;
    EXPECT_EQ(toggleAdvertising(state), "Zobraz reklamu");
    EXPECT_EQ(state.advertNumber, 0);
}

TEST(ConsoleActions, LanePrintExportsTheLastPlayerOfTheLane) {
    MatchState state;
    std::vector<std::pair<int, bool>> exported;
    const PlayerExport record = [&exported](int slot, bool home) { exported.emplace_back(slot, home); };

    printLanePlayer(state, 3, record); // nobody seen on lane 3 yet
    EXPECT_TRUE(exported.empty());
    EXPECT_EQ(state.controls.statusLine, "-----------------------------");

    state.laneShownPlayer[2] = 5; // slot 4: guest
    state.laneShownPlayer[4] = 8; // slot 7: home
    printLanePlayer(state, 2, record);
    printLanePlayer(state, 4, record);
    EXPECT_EQ(exported, (std::vector<std::pair<int, bool>>{{4, false}, {7, true}}));
    EXPECT_EQ(state.controls.statusLine, "Tisk OK");

    const PlayerExport failing = [](int, bool) { throw std::runtime_error("no template"); };
    EXPECT_THROW(printLanePlayer(state, 2, failing), std::runtime_error);
    EXPECT_EQ(state.controls.statusLine, "Tisk 2 drahy");
}

// "Výsledky pro monitor" has a file of its own, so the saved official report
// is never reopened and rewritten by it; "Dorost" asks for the duels played.
TEST(ConsoleActions, MonitorAndYouthReportRequests) {
    MatchState state;
    state.pairCount = 2;
    const MatchReportRequest monitor = matchReportRequest(state, ReportButton::Monitor);
    EXPECT_EQ(monitor.form, 5);
    EXPECT_EQ(monitor.prefix, "Monitor ");
    EXPECT_NE(monitor.prefix, matchReportRequest(state, ReportButton::New).prefix);
    EXPECT_EQ(matchReportRequest(state, ReportButton::Youth).duels, 2);
    state.pairCount = 6;
    EXPECT_EQ(matchReportRequest(state, ReportButton::Youth).duels, 6);
}
