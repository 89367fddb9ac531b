#include "core/errors.h"
#include "core/match_state.h"
#include "reports/match_report.h"
#include "reports/spreadsheet.h"
#include "reports/tournament_workbook.h"
#include "support/recording_spreadsheet.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

struct TournamentFixture : ::testing::Test {
    ScratchFolder folder{"tournament"};
    SpreadsheetRecorder recorder;
    SpreadsheetSession session{recorder.factory()};
    std::unique_ptr<MatchState> state = std::make_unique<MatchState>();
    ReportEnvironment env{folder.path(), [] { return std::string("1.6.2025"); }};

    TournamentFixture() {
        folder.touch("turnaj_form_180HS.xls");
        folder.touch("turnaj_form_180HS_monitor.xls");
        state->controls.tournament = true;
        state->formsPath = folder.path().string();
    }

    std::string templatePath() const { return (folder.path() / "turnaj_form_180HS.xls").string(); }

    // One entrant row of the workbook the ranking reads.
    struct Row {
        int entrant;
        std::string surname, firstName;
        int total, clearing, faults, full;
    };
    void seed(const std::filesystem::path& workbook, const std::vector<Row>& rows) {
        Cells& cells = recorder.workbooks[workbook.string()];
        for (const Row& r : rows) {
            const std::string n = std::to_string(r.entrant + 3);
            cells["B" + n] = r.surname;
            cells["C" + n] = r.firstName;
            cells["AD" + n] = r.total;
            cells["AN" + n] = r.clearing;
            cells["AE" + n] = r.faults;
            cells["AO" + n] = r.full;
        }
    }

    std::vector<std::string> names(int from, int to) const {
        std::vector<std::string> result;
        for (int k = from; k <= to; ++k)
            result.push_back(state->standings[k].name.str());
        return result;
    }
};

CellValue number(int n) {
    return n;
}
CellValue text(const std::string& s) {
    return s;
}

} // namespace

TEST_F(TournamentFixture, WritesTheRunningGameFromTheEntrantNumberOn) {
    state->gameKind = 5; // "180 Hs": 15 throws per half, 6 sets
    state->lanesPerPlayer = 6;
    state->pairCount = 1;
    state->controls.entrantNumberText = "3";
    for (int slot : {1, 2}) {
        state->player[slot].surname = "Sur" + std::to_string(slot);
        state->player[slot].firstName = "First" + std::to_string(slot);
        state->player[slot].regNumber = "R" + std::to_string(slot);
        state->player[slot].birthDate = "B" + std::to_string(slot);
    }
    auto& one = state->player[1].throws;
    for (int t = 1; t <= 10; ++t)
        one[static_cast<std::size_t>(t)] = 5; // set 1 full: 50, 5 zeros
    for (int t = 16; t <= 30; ++t)
        one[static_cast<std::size_t>(t)] = 2; // set 1 clearing: 30
    one[46] = 4;                              // set 2: clearing pins only, not written
    one[121] = 9;                             // set 5 full: 9, 14 + 15 zeros
    auto& two = state->player[2].throws;
    two[151] = 7; // set 6 full
    two[166] = 1; // set 6 clearing

    vysledky(*state, session, 0, state->pairCount, "N ", env);

    const Cells expected = {
        {"AF1", text("1.6.2025")}, {"B6", text("Sur1")}, {"C6", text("First1")}, {"D6", text("R1")},
        {"E6", text("B1")},        {"B7", text("Sur2")}, {"C7", text("First2")}, {"D7", text("R2")},
        {"E7", text("B2")},        {"F6", number(50)},   {"G6", number(30)},     {"H6", number(5)},
        {"V6", number(9)},         {"W6", number(0)},    {"X6", number(29)},     {"Z7", number(7)},
        {"AA7", number(1)},        {"AB7", number(28)},
    };
    EXPECT_EQ(recorder.lastWrites(), expected);
    std::vector<std::string> order;
    for (std::size_t i = 0; i < 9; ++i)
        order.push_back(recorder.writes[i].first);
    EXPECT_EQ(order, (std::vector<std::string>{"AF1", "C6", "C7", "B6", "B7", "D6", "D7", "E6", "E7"}));
    EXPECT_EQ(recorder.calls.at(3), "Open " + templatePath() + " template");
    EXPECT_EQ(recorder.calls.back(), "SaveAs " + (folder.path() / "turnaj.xls").string());
}

TEST_F(TournamentFixture, OpensAndSavesTheTournamentFileByWhereItExists) {
    struct Case {
        bool turnajFolder, fileInTurnaj, fileHere;
        std::string opened; // relative to the current directory, "" = the template
        std::string saved;  // "" = not saved
    };
    const Case cases[] = {
        {false, false, false, "", "liga.xls"},       {false, false, true, "liga.xls", ""},
        {true, false, false, "", "turnaj/liga.xls"}, {true, false, true, "", "turnaj/liga.xls"},
        {true, true, true, "turnaj/liga.xls", ""},
    };
    state->controls.tournamentFile = "liga.xls";
    state->pairCount = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.turnajFolder) + std::to_string(c.fileInTurnaj) +
                     std::to_string(c.fileHere));
        std::filesystem::remove_all(folder.path() / "turnaj");
        std::filesystem::remove(folder.path() / "liga.xls");
        if (c.turnajFolder) std::filesystem::create_directory(folder.path() / "turnaj");
        if (c.fileInTurnaj) folder.touch("turnaj/liga.xls");
        if (c.fileHere) folder.touch("liga.xls");
        recorder.calls.clear();

        vysledky(*state, session, 1, 1, "S ", env);

        const std::string opened = c.opened.empty() ? templatePath() + " template"
                                                    : (folder.path() / c.opened).string() + " document";
        EXPECT_EQ(recorder.calls.at(3), "Open " + opened);
        const std::string last = recorder.calls.back();
        if (c.saved.empty()) {
            EXPECT_EQ(last.rfind("SaveAs", 0), std::string::npos) << last;
        } else {
            EXPECT_EQ(last, "SaveAs " + (folder.path() / c.saved).string());
        }
    }
}

TEST_F(TournamentFixture, MonitorFormOnlyOpensTheMonitorWorkbook) {
    vysledky(*state, session, 5, 6, "Z ", env);
    EXPECT_EQ(recorder.calls.back(),
              "Open " + (folder.path() / "turnaj_form_180HS_monitor.xls").string() + " template");
    folder.touch("turnaj_monitor.xls");
    vysledky(*state, session, 5, 6, "N ", env);
    EXPECT_EQ(recorder.calls.back(), "Open " + (folder.path() / "turnaj_monitor.xls").string() + " document");
    EXPECT_TRUE(recorder.writes.empty());
}

TEST_F(TournamentFixture, EntrantNumberIsAtLeastOneAndMustBeANumber) {
    state->pairCount = 1;
    state->controls.entrantNumberText = "0";
    vysledky(*state, session, 0, 1, "N ", env);
    EXPECT_TRUE(recorder.lastWrites().count("B4"));
    state->controls.entrantNumberText = "x1";
    EXPECT_THROW(vysledky(*state, session, 0, 1, "N ", env), SpreadsheetError);
}

// "2147483647" made the rows overflow and wrote cells such as C-2147483646.
TEST_F(TournamentFixture, AnEntrantNumberOutsideTheFieldsRangeWritesNothing) {
    state->pairCount = 6;
    for (const char* text : {"2147483647", "402", "65537", "-1", "--0", "+-0"}) {
        recorder.writes.clear();
        state->controls.entrantNumberText = text;
        EXPECT_THROW(vysledky(*state, session, 0, 6, "N ", env), SpreadsheetError) << text;
        EXPECT_TRUE(recorder.writes.empty()) << text;
    }
    // The first number after a full workbook is still one.
    state->controls.entrantNumberText = "401";
    vysledky(*state, session, 0, 6, "N ", env);
    EXPECT_TRUE(recorder.lastWrites().count("B404"));
    EXPECT_TRUE(recorder.lastWrites().count("B415"));
}

TEST_F(TournamentFixture, RanksSinglesByTotalThenClearingThenFewerFaultsKeepingRowOrder) {
    state->standings[7].name = "kept";
    seed(templatePath(), {
                             {1, "A", "a", 300, 100, 5, 200},
                             {2, "B", "b", 320, 90, 9, 230},
                             {4, "C", "c", 300, 110, 9, 190}, // entrant 3 is an empty row
                             {5, "D", "d", 300, 100, 4, 200},
                             {6, "E", "e", 300, 100, 5, 200},
                             {9, "", "only first name", 10, 0, 0, 10},
                         });
    rankTournament(*state, session, env);

    EXPECT_EQ(names(1, 7),
              (std::vector<std::string>{"B b", "C c", "D d", "A a", "E e", " only first name", "kept"}));
    EXPECT_EQ(state->standings[1].full, 230);
    EXPECT_EQ(state->standings[1].clearing, 90);
    EXPECT_EQ(state->standings[1].faults, 9);
    EXPECT_EQ(state->standings[1].total, 320);
    EXPECT_EQ(state->controls.entrantNumberText, "10");
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"start", "Visible 1", "DisplayAlerts 0",
                                                        "Open " + templatePath() + " template", "Activate 1",
                                                        "ActiveSheet", "Quit"}));
    EXPECT_EQ(recorder.reads.size(), 400u * 2 + 6 * 4);
}

TEST_F(TournamentFixture, RankingReadsTheTournamentFileWhenItExists) {
    std::filesystem::create_directory(folder.path() / "turnaj");
    const auto file = folder.touch("turnaj/turnaj.xls");
    seed(file, {{2, "X", "x", 1, 1, 1, 0}});
    rankTournament(*state, session, env);
    EXPECT_EQ(state->standings[1].name.str(), "X x");
    EXPECT_EQ(state->controls.entrantNumberText, "3");
}

TEST_F(TournamentFixture, FromThe53rdRowOnlyHigherEntrantsGetInAndPushTheLastDown) {
    std::vector<Row> rows;
    for (int i = 1; i <= 52; ++i)
        rows.push_back({i, "P" + std::to_string(i), "x", 700 - i, 0, 0, 0});
    rows.push_back({53, "low", "x", 1, 0, 0, 0});
    rows.push_back({54, "top", "x", 1000, 0, 0, 0});
    state->standings[53].name = "old 53";
    seed(templatePath(), rows);

    rankTournament(*state, session, env);

    EXPECT_EQ(state->standings[1].name.str(), "top x");
    EXPECT_EQ(state->standings[2].name.str(), "P1 x");
    EXPECT_EQ(state->standings[52].name.str(), "P51 x");
    EXPECT_EQ(state->standings[53].name.str(), "P52 x");
    EXPECT_EQ(state->controls.entrantNumberText, "55");
}

TEST_F(TournamentFixture, The53rdEntrantRankingLastIsDropped) {
    std::vector<Row> rows;
    for (int i = 1; i <= 53; ++i)
        rows.push_back({i, "P" + std::to_string(i), "x", 700 - i, 0, 0, 0});
    state->standings[53].name = "old 53";
    seed(templatePath(), rows);
    rankTournament(*state, session, env);
    EXPECT_EQ(state->standings[52].name.str(), "P52 x");
    EXPECT_EQ(state->standings[53].name.str(), "old 53");
}

TEST_F(TournamentFixture, PairsAreFormedAtEvenEntrantsAndRankedBySums) {
    state->controls.pairs = true;
    seed(templatePath(), {
                             {1, "A1", "", 100, 10, 1, 90},
                             {2, "A2", "", 100, 10, 1, 90}, // 200, 20, 2
                             {3, "B1", "", 150, 5, 0, 145},
                             {4, "B2", "", 60, 20, 0, 40}, // 210
                             {5, "C1", "", 100, 15, 0, 85},
                             {6, "C2", "", 100, 5, 3, 95},  // 200, 20, 3
                             {7, "D1", "", 300, 0, 0, 300}, // no partner row yet
                         });
    rankTournament(*state, session, env);
    EXPECT_EQ(names(1, 6), (std::vector<std::string>{"B1 ", "B2 ", "A1 ", "A2 ", "C1 ", "C2 "}));
    EXPECT_EQ(state->standings[7].name.str(), "");
    EXPECT_EQ(state->controls.entrantNumberText, "8");
}

// Entrant 1 blank and entrant 2 filled made the ranking write standings[-1]
// and free a wild pointer; blank rows also paired filled ones across a gap.
TEST_F(TournamentFixture, PairsGoByEntrantNumberAndNeedBothMembersNamed) {
    state->controls.pairs = true;
    state->standings[5].name = "kept";
    seed(templatePath(), {
                             {2, "A2", "", 500, 0, 0, 500}, // entrant 1 blank: no pair
                             {3, "B1", "", 100, 0, 0, 100},
                             {4, "B2", "", 100, 0, 0, 100}, // 200
                             {6, "C2", "", 400, 0, 0, 400}, // entrant 5 blank: no pair
                             {7, "D1", "", 150, 0, 0, 150},
                             {8, "D2", "", 150, 0, 0, 150}, // 300
                             {9, "E1", "", 900, 0, 0, 900}, // no partner row yet
                         });
    rankTournament(*state, session, env);
    EXPECT_EQ(names(1, 5), (std::vector<std::string>{"D1 ", "D2 ", "B1 ", "B2 ", "kept"}));
    EXPECT_EQ(state->controls.entrantNumberText, "10");
}

TEST_F(TournamentFixture, RankingStopsOnASumThatIsNoNumber) {
    seed(templatePath(), {{1, "A", "a", 1, 0, 0, 1}});
    recorder.workbooks[templatePath()]["AD4"] = std::string("#VALUE!");
    EXPECT_THROW(rankTournament(*state, session, env), SpreadsheetError);
    EXPECT_NE(recorder.calls.back(), "Quit");
    EXPECT_EQ(state->controls.entrantNumberText, "1");
}

TEST(TournamentInsertion, EqualPairsKeepTheirOrderAndTheCapDropsTheRest) {
    auto state = std::make_unique<MatchState>();
    auto entry = [](const char* name, int total) {
        StandingsEntry e;
        e.name = name;
        e.total = static_cast<u16>(total);
        return e;
    };
    insertRankedPair(*state, 2, entry("a", 10), entry("b", 10));
    insertRankedPair(*state, 4, entry("c", 5), entry("d", 15));
    insertRankedPair(*state, 6, entry("e", 30), entry("f", 0));
    EXPECT_EQ(state->standings[1].name.str(), "e");
    EXPECT_EQ(state->standings[3].name.str(), "a");
    EXPECT_EQ(state->standings[5].name.str(), "c");
    state->standings[53].name = "untouched";
    insertRankedPair(*state, 53, entry("g", 0), entry("h", 0));
    EXPECT_EQ(state->standings[51].name.str(), "");
    EXPECT_EQ(state->standings[53].name.str(), "untouched");
}

// Rows of the running game that hold other entrants: the operator is asked,
// with the first free row proposed; the same entrants again are no overwrite.
TEST_F(TournamentFixture, WritingOverOtherEntrantsAsksAndProposesTheFirstFreeRow) {
    const auto file = folder.path() / "turnaj.xls";
    std::filesystem::copy_file(folder.path() / "turnaj_form_180HS.xls", file);
    seed(file, {{1, "A", "X", 0, 0, 0, 0}, {2, "B", "X", 0, 0, 0, 0}, {4, "D", "X", 0, 0, 0, 0}});
    state->pairCount = 1;
    state->player[1].surname = "E";
    state->player[1].firstName = "Y";
    state->player[2].surname = "F";
    state->player[2].firstName = "Y";

    struct Case {
        OverwriteAnswer answer;
        const char* rowOfE; // where entrant E lands
    };
    for (const Case c : {Case{OverwriteAnswer::Cancel, nullptr}, Case{OverwriteAnswer::Overwrite, "B4"},
                         Case{OverwriteAnswer::StartAtFirstFree, "B8"}}) {
        recorder.writes.clear();
        state->controls.entrantNumberText = "1";
        std::vector<EntrantOverwrite> asked;
        const OverwriteQuestion ask = [&](const EntrantOverwrite& overwrite) {
            asked.push_back(overwrite);
            return c.answer;
        };
        if (!c.rowOfE) {
            EXPECT_THROW(vysledky(*state, session, 0, 1, "N ", env, ask), ReportCancelled);
            EXPECT_TRUE(recorder.writes.empty());
        } else {
            vysledky(*state, session, 0, 1, "N ", env, ask);
            EXPECT_EQ(recorder.lastWrites().at(c.rowOfE), text("E"));
            EXPECT_EQ(state->controls.entrantNumberText, c.answer == OverwriteAnswer::Overwrite ? "1" : "5");
        }
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].first, 1);
        EXPECT_EQ(asked[0].last, 2);
        EXPECT_EQ(asked[0].holders, (std::vector<std::string>{"A X", "B X"}));
        EXPECT_EQ(asked[0].firstFree, 5);
        recorder.workbooks[file.string()]["B4"] = std::string("A"); // as seeded, for the next case
        recorder.workbooks[file.string()]["C4"] = std::string("X");
    }

    // The game's own entrants written once more: no question.
    state->controls.entrantNumberText = "5";
    bool askedAgain = false;
    vysledky(*state, session, 0, 1, "N ", env, [&](const EntrantOverwrite&) {
        askedAgain = true;
        return OverwriteAnswer::Cancel;
    });
    EXPECT_FALSE(askedAgain);
}

// A tournament file name from a journal or the console's edit that is a path:
// the report is refused before it opens or saves anything.
TEST_F(TournamentFixture, ATournamentFileThatIsAPathWritesNothing) {
    state->pairCount = 1;
    std::filesystem::create_directory(folder.path() / "turnaj");
    const std::string outside = (folder.path().parent_path() / "venku.xls").string();
    for (const std::string& name : {std::string("../venku.xls"), std::string("../../venku.xls"), outside,
                                    std::string("C:venku.xls"), std::string("")}) {
        SCOPED_TRACE(name);
        state->controls.tournamentFile = name;
        recorder.calls.clear();
        recorder.writes.clear();
        EXPECT_THROW(vysledky(*state, session, 1, 1, "S ", env), OperatorError);
        EXPECT_TRUE(recorder.writes.empty());
        for (const std::string& call : recorder.calls) {
            EXPECT_EQ(call.rfind("SaveAs", 0), std::string::npos) << call;
            EXPECT_EQ(call.find("venku"), std::string::npos) << call;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(outside));
}

// Team titles come from the registry and the journal: one that is a path does
// not carry the match report out of the reports folder.
TEST_F(TournamentFixture, AMatchReportNamedByAPathIsRefused) {
    state->homeTeamTitle = "../../venku";
    EXPECT_THROW(matchReportPath(*state, "N ", "1.6.2025", env), OperatorError);
    state->homeTeamTitle = "Sokol A";
    EXPECT_EQ(matchReportPath(*state, "N ", "1.6.2025", env).parent_path(), folder.path());
}
