#include "core/cp1250.h"
#include "core/match_state.h"
#include "reports/match_report.h"
#include "reports/spreadsheet.h"
#include "scoring/throw_recording.h"
#include "support/recording_spreadsheet.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

constexpr const char* kDate = "14.03.2025";

struct ReportFixture : ::testing::Test {
    ScratchFolder folder{"report"};
    SpreadsheetRecorder recorder;
    SpreadsheetSession session{recorder.factory()};
    std::unique_ptr<MatchState> state = std::make_unique<MatchState>();
    ReportEnvironment env{folder.path(), [] { return std::string(kDate); }};

    ReportFixture() {
        for (const char* name :
             {"zapis.xls", "zapis2.xls", "zapis_dorost.xls", "zapis_special.xls", "zapis_zlin.xls"}) {
            folder.touch(name);
        }
        std::filesystem::create_directory(folder.path() / "zapisy");
        state->formsPath = (folder.path() / "zapisy").string();
        state->homeTeamTitle = "Slavia A";
        state->guestTeamTitle = "Zbrojovka B";
        for (int slot = 1; slot <= kMaxSlots; ++slot) {
            state->player[slot].surname = "Sur" + std::to_string(slot);
            state->player[slot].firstName = "First" + std::to_string(slot);
            state->player[slot].regNumber = "R" + std::to_string(slot);
        }
    }

    void configure(int gameKind, int lanesPerPlayer, int pairCount) {
        state->gameKind = static_cast<u8>(gameKind);
        state->lanesPerPlayer = static_cast<u8>(lanesPerPlayer);
        state->pairCount = static_cast<u8>(pairCount);
    }

    // Throws `first`, `first`+1, ... of a slot get the given pins.
    void setThrows(int slot, int first, std::initializer_list<int> pins) {
        for (int p : pins)
            state->player[slot].throws[static_cast<std::size_t>(first++)] = static_cast<u8>(p);
    }
    void setHalf(int slot, int firstThrow, int count, int pins) {
        for (int t = firstThrow; t < firstThrow + count; ++t) {
            state->player[slot].throws[static_cast<std::size_t>(t)] = static_cast<u8>(pins);
        }
    }
};

CellValue text(const std::string& s) {
    return s;
}
CellValue number(int n) {
    return n;
}
CellValue points(double n) {
    return n;
}

} // namespace

TEST_F(ReportFixture, NewRulesReportFillsEveryCellOfTheForm) {
    configure(2, 4, 2);                // "120 Hs": 15 throws per half, 4 sets, 2 duels
    setHalf(1, 1, 15, 9);              // set 1 full: 135
    setThrows(1, 16, {4, 4, 4, 4, 4}); // set 1 clearing: 20, ten zeros
    setHalf(1, 61, 15, 7);             // set 3 full: 105
    setHalf(1, 76, 15, 1);             // set 3 clearing: 15
    setThrows(4, 91, {8});             // set 4 of the guest of duel 2: 8 pins, 14 + 15 zeros
    setThrows(2, 31, {0, 9, 0, 9});    // set 2 of the guest of duel 1: 18 pins
    setThrows(2, 46, {3});
    for (int slot = 1; slot <= 4; ++slot)
        prepocitej(*state, slot);
    state->alleyName = "Kuzelna Slavia";
    state->alleyApproval = "31. 12. 2027";
    state->refereeName = "Petr Sudi";
    state->refereeNumber = "R-123";

    vysledky(*state, session, 0, state->pairCount, "N ", env);

    Cells expected = {
        {"Q1", text(kDate)},   {"B3", text("Slavia A")}, {"L3", text("Zbrojovka B")},
        {"A8", text("Sur1")},  {"A10", text("First1")},  {"A12", text("R1")},
        {"K8", text("Sur2")},  {"K10", text("First2")},  {"K12", text("R2")},
        {"A13", text("Sur3")}, {"A15", text("First3")},  {"A17", text("R3")},
        {"K13", text("Sur4")}, {"K15", text("First4")},  {"K17", text("R4")},
    };
    // Untouched sets: no pins, every throw of both halves a zero.
    for (int row : {8, 9, 10, 11, 13, 14, 15, 16}) {
        for (const char* column : {"D", "N"})
            expected[column + std::to_string(row)] = number(0);
        for (const char* column : {"E", "O"})
            expected[column + std::to_string(row)] = number(0);
        for (const char* column : {"F", "P"})
            expected[column + std::to_string(row)] = number(30);
    }
    expected["D8"] = number(135), expected["E8"] = number(20), expected["F8"] = number(10);
    expected["D10"] = number(105), expected["E10"] = number(15), expected["F10"] = number(0);
    expected["N9"] = number(18), expected["O9"] = number(3), expected["P9"] = number(27);
    expected["N16"] = number(8), expected["O16"] = number(0), expected["P16"] = number(29);
    // The referee's part. Lanes of the four sets on four lanes: position 1 of
    // the block plays 1, 2, 4, 3; position 2 2, 1, 3, 4; 3: 3, 4, 2, 1; 4: 4, 3, 1, 2.
    const int lanes[4][4] = {{1, 2, 4, 3}, {2, 1, 3, 4}, {3, 4, 2, 1}, {4, 3, 1, 2}};
    for (int slot = 1; slot <= 4; ++slot) {
        for (int set = 1; set <= 4; ++set) {
            const int row = 2 + 5 * ((slot + 1) / 2) + set;
            expected[(slot % 2 ? "C" : "M") + std::to_string(row)] = number(lanes[slot - 1][set - 1]);
        }
    }
    // Duel 1: home 155 : 0, 0 : 21, 120 : 0, set 4 not played; duel 2 only
    // set 4 played, 0 : 8. Set points a set, duel points a duel.
    const std::pair<const char*, CellValue> referee[] = {
        {"H8", points(1)},  {"H9", points(0)},  {"H10", points(1)}, {"H11", text("")},  {"I8", points(1)},
        {"R8", points(0)},  {"R9", points(1)},  {"R10", points(0)}, {"R11", text("")},  {"S8", points(0)},
        {"H13", text("")},  {"H14", text("")},  {"H15", text("")},  {"H16", points(0)}, {"I13", points(0)},
        {"R13", text("")},  {"R14", text("")},  {"R15", text("")},  {"R16", points(1)}, {"S13", points(1)},
        // 275 : 29 pins; match points 1 + 0 + 2 for the pins : 0 + 1.
        {"C51", number(275)}, {"F51", number(29)}, {"L51", points(3)}, {"P51", points(1)},
        {"B53", text("Petr Sudi")}, {"I53", text("R-123")}, {"L4", text("Kuzelna Slavia")},
        {"Q2", text("31. 12. 2027")},
    };
    for (const auto& [cell, value] : referee)
        expected[cell] = value;

    EXPECT_EQ(recorder.lastWrites(), expected);
    EXPECT_EQ(recorder.writes.size(), expected.size()) << "a cell was written twice";
}

TEST_F(ReportFixture, WritesDateThenFirstNamesSurnamesRegistrationNumbersAndTitles) {
    configure(1, 4, 2);
    vysledky(*state, session, 0, 2, "N ", env);
    std::vector<std::string> order;
    for (std::size_t i = 0; i < 15; ++i)
        order.push_back(recorder.writes[i].first);
    const std::vector<std::string> expected = {"Q1",  "A10", "K10", "A15", "K15", "A8", "K8", "A13",
                                               "K13", "A12", "K12", "A17", "K17", "B3", "L3"};
    EXPECT_EQ(order, expected);
    const std::vector<std::string> calls(recorder.calls.begin(), recorder.calls.begin() + 3);
    EXPECT_EQ(calls, (std::vector<std::string>{"start", "Visible 1", "DisplayAlerts 1"}));
}

TEST_F(ReportFixture, EachButtonUsesItsTemplatePrefixAndDuels) {
    struct Case {
        int form, duels;
        std::string prefix, templateName;
    };
    const Case cases[] = {
        {0, 6, "N ", "zapis.xls"},          {1, 6, "S ", "zapis2.xls"},      {2, 3, "D ", "zapis_dorost.xls"},
        {3, 6, "Sp ", "zapis_special.xls"}, {4, 6, "ND ", "zapis_zlin.xls"}, {5, 6, "N ", "zapis.xls"},
        {5, 6, "Z ", "zapis.xls"},
    };
    configure(1, 4, 6);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix + c.templateName);
        recorder.calls.clear();
        recorder.writes.clear();
        vysledky(*state, session, c.form, c.duels, c.prefix, env);
        const auto report =
            folder.path() / "zapisy" / (c.prefix + "Slavia A - Zbrojovka B " + kDate + ".xls");
        EXPECT_EQ(recorder.calls.at(3), "Open " + (folder.path() / c.templateName).string() + " template");
        EXPECT_EQ(recorder.calls.back(), "SaveAs " + report.string());
        const Cells cells = recorder.lastWrites();
        const std::string lastSurname = "A" + std::to_string(3 + 5 * c.duels);
        const std::string beyond = "A" + std::to_string(3 + 5 * (c.duels + 1));
        EXPECT_TRUE(cells.count(lastSurname));
        EXPECT_FALSE(cells.count(beyond));
        std::filesystem::remove(report);
    }
}

TEST_F(ReportFixture, ZlinFormWithTwoSetsUsesTwoRowsPerSet) {
    configure(3, 2, 1);    // "100 Hs": 25 throws per half, 2 sets
    setHalf(1, 1, 20, 5);  // set 1 full: 100, 5 zeros
    setHalf(1, 26, 25, 2); // set 1 clearing: 50, no zero
    setHalf(1, 51, 25, 6); // set 2 full: 150
    setHalf(2, 76, 10, 3); // guest set 2 clearing: 30, 15 zeros

    vysledky(*state, session, 4, 1, "ND ", env);
    const Cells cells = recorder.lastWrites();
    const std::map<std::string, int> expected = {
        {"D8", 100}, {"E9", 50}, {"F8", 5},  {"F9", 0},  {"D10", 150}, {"E11", 0},  {"F10", 0},  {"F11", 25},
        {"N8", 0},   {"O9", 0},  {"P8", 25}, {"P9", 25}, {"N10", 0},   {"O11", 30}, {"P10", 25}, {"P11", 15},
    };
    for (const auto& [cell, value] : expected)
        EXPECT_EQ(cells.at(cell), number(value)) << cell;
    for (const char* cell : {"E8", "D9", "E10", "D11", "O8", "N9"})
        EXPECT_FALSE(cells.count(cell)) << cell;
}

TEST_F(ReportFixture, ZlinFormWithFourSetsUsesOneRowPerSet) {
    configure(1, 4, 1);
    setHalf(1, 151, 25, 4); // set 4 full: 100
    vysledky(*state, session, 4, 1, "ND ", env);
    const Cells cells = recorder.lastWrites();
    EXPECT_EQ(cells.at("D11"), number(100));
    EXPECT_EQ(cells.at("E11"), number(0));
    EXPECT_EQ(cells.at("F11"), number(25));
    EXPECT_EQ(cells.at("E8"), number(0));
}

TEST_F(ReportFixture, SixSetsWriteOnlyTheFourSetsOfTheForm) {
    configure(5, 6, 1);     // "180 Hs"
    setHalf(1, 121, 15, 9); // set 5
    vysledky(*state, session, 0, 1, "N ", env);
    const Cells cells = recorder.lastWrites();
    EXPECT_TRUE(cells.count("D11"));
    EXPECT_FALSE(cells.count("D12"));
    EXPECT_FALSE(cells.count("D13"));
}

TEST_F(ReportFixture, SecondReportOfTheDayReopensTheSavedOneAndDoesNotSaveAgain) {
    configure(1, 4, 1);
    state->homeTeamTitle = " Dom\xE1\x63\xED ";
    state->guestTeamTitle = " Host\xE9 ";
    vysledky(*state, session, 0, 1, "N ", env);
    const auto report = folder.path() / "zapisy" / u8"N  Domácí  -  Hosté  14.03.2025.xls";
    ASSERT_TRUE(std::filesystem::exists(report));
    EXPECT_EQ(recorder.calls.back(), "SaveAs " + report.string());

    recorder.calls.clear();
    state->player[1].surname = "Changed";
    vysledky(*state, session, 0, 1, "N ", env);
    EXPECT_EQ(recorder.calls.at(3), "Open " + report.string() + " document");
    for (const std::string& call : recorder.calls)
        EXPECT_NE(call.rfind("SaveAs", 0), 0u) << call;
    EXPECT_EQ(recorder.activeCells->at("A8"), text("Changed"));
}

TEST_F(ReportFixture, MissingTemplateRaisesAndTheApplicationStaysOpen) {
    std::filesystem::remove(folder.path() / "zapis2.xls");
    configure(1, 4, 1);
    EXPECT_THROW(vysledky(*state, session, 1, 1, "S ", env), SpreadsheetError);
    EXPECT_NE(session.current(), nullptr);
    session.quitCurrent();
    EXPECT_EQ(recorder.calls.back(), "Quit");
}

TEST_F(ReportFixture, DateSeparatorsOfFolderNamesBecomeDashesInTheFileName) {
    configure(1, 4, 1);
    env.today = [] { return std::string("3/14/25"); };
    vysledky(*state, session, 0, 1, "N ", env);
    EXPECT_EQ(recorder.lastWrites().at("Q1"), text("3/14/25"));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "zapisy" / "N Slavia A - Zbrojovka B 3-14-25.xls"));
}

TEST(SpreadsheetSession, ZavriQuitsTheCurrentApplicationOnlyOnce) {
    SpreadsheetRecorder recorder;
    SpreadsheetSession session(recorder.factory());
    session.quitCurrent();
    EXPECT_TRUE(recorder.calls.empty());
    session.start();
    session.start();
    session.quitCurrent();
    session.quitCurrent();
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"start", "start", "Quit"}));
}

TEST(CellNames, ColumnLetters) {
    const std::pair<int, const char*> cases[] = {{1, "A"},   {26, "Z"},  {27, "AA"}, {28, "AB"},
                                                 {41, "AO"}, {52, "AZ"}, {53, "BA"}};
    for (const auto& [column, name] : cases)
        EXPECT_EQ(columnName(column), name);
    EXPECT_EQ(cellName(32, 1), "AF1");
}

// "Dorost" writes the duels played, never an empty one, and at most the three
// its form has rows for, saying which are left out.
TEST_F(ReportFixture, YouthFormWritesTheDuelsPlayedUpToItsThree) {
    struct Case {
        int duels;
        int written;
        bool saysLeftOut;
    };
    for (const Case c : {Case{2, 2, false}, Case{6, 3, true}}) {
        SCOPED_TRACE(c.duels);
        std::filesystem::remove_all(folder.path() / "zapisy");
        std::filesystem::create_directory(folder.path() / "zapisy");
        recorder.writes.clear();
        configure(2, 2, c.duels);
        const ReportOutcome outcome = vysledky(*state, session, 2, c.duels, "D ", env);
        const Cells cells = recorder.lastWrites();
        for (int duel = 1; duel <= 4; ++duel) {
            const std::string top = std::to_string(3 + 5 * duel);
            EXPECT_EQ(cells.count("A" + top) == 1, duel <= c.written) << duel;
            EXPECT_EQ(cells.count("D" + std::to_string(3 + 5 * duel)) == 1, duel <= c.written) << duel;
        }
        // The totals of the youth form lie below its three duels.
        EXPECT_EQ(cells.count("C26"), 1u);
        const bool leftOut = outcome.status.find("dvojice 4\x96" "6 nezaps\xE1ny") != std::string::npos;
        EXPECT_EQ(leftOut, c.saysLeftOut) << cp1250::toUtf8(outcome.status);
    }
}

// What stops a report before anything is shown, and a report that another
// program holds, which is filled as a copy instead of raising its question.
TEST_F(ReportFixture, FailuresStopBeforeTheOfficeShowsAnythingAndAHeldReportIsCopied) {
    configure(1, 4, 1);
    std::filesystem::remove(folder.path() / "zapis.xls");
    try {
        vysledky(*state, session, 0, 1, "N ", env);
        FAIL() << "no template, no failure";
    } catch (const ReportFailure& failure) {
        EXPECT_EQ(std::string(failure.what()).rfind("Chyb\xED \x9A\x61\x62lona zapis.xls", 0), 0u) << failure.what();
    }
    folder.touch("zapis.xls");

    state->formsPath = (folder.path() / "chybi").string();
    recorder.calls.clear();
    EXPECT_THROW(vysledky(*state, session, 0, 1, "N ", env), ReportFailure);
    for (const std::string& call : recorder.calls)
        EXPECT_NE(call.rfind("Open", 0), 0u) << "a workbook was opened: " << call;

    state->formsPath = (folder.path() / "zapisy").string();
    vysledky(*state, session, 0, 1, "N ", env);
    const auto report = matchReportPath(*state, "N ", kDate, env);
    recorder.heldElsewhere = {report.string()};
    recorder.calls.clear();
    const ReportOutcome copied = vysledky(*state, session, 0, 1, "N ", env);
    EXPECT_EQ(recorder.calls.at(4), "Open " + report.string() + " template");
    EXPECT_NE(copied.status.find("kopie"), std::string::npos) << copied.status;
    for (const std::string& call : recorder.calls)
        EXPECT_NE(call.rfind("SaveAs", 0), 0u) << call;
}
