#include "core/match_state.h"
#include "reports/player_sheet.h"
#include "reports/spreadsheet.h"
#include "support/recording_spreadsheet.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

const std::string kC = "\xE8"; // "č" in Windows-1250

struct PlayerSheetFixture : ::testing::Test {
    ScratchFolder folder{"sheet"};
    SpreadsheetRecorder recorder;
    std::unique_ptr<MatchState> state = std::make_unique<MatchState>();
    ReportEnvironment env{folder.path(), [] { return std::string("1.1.2025"); }};

    PlayerSheetFixture() {
        for (const char* name : {"Vypis2.xls", "Vypis4.xls", "Vypis6.xls"})
            folder.touch(name);
        for (int slot = 1; slot <= kMaxSlots; ++slot) {
            state->player[slot].firstName = "Jan";
            state->player[slot].surname = "Nov\xE1k";
            state->player[slot].regNumber = "12345";
            // Throw t felled t mod 10 pins: a zero at every tenth throw.
            for (int t = 1; t <= kMaxThrows; ++t)
                state->player[slot].throws[static_cast<std::size_t>(t)] = t % 10;
        }
    }

    void configure(int gameKind, int lanesPerPlayer, int laneLayout) {
        state->gameKind = static_cast<u8>(gameKind);
        state->lanesPerPlayer = static_cast<u8>(lanesPerPlayer);
        state->laneLayout = static_cast<u8>(laneLayout);
    }

    Cells exportSheet(bool home, int slot) {
        recorder.writes.clear();
        Vysledky_hraci(*state, recorder.factory(), home, slot, env);
        return recorder.lastWrites();
    }
};

CellValue text(const std::string& s) {
    return s;
}

} // namespace

TEST_F(PlayerSheetFixture, ThrowCellsWithTenFifteenAndTwentyFiveThrowsPerHalf) {
    struct Case {
        int gameKind, lanesPerPlayer;
        std::map<std::string, std::string> cells; // a hand-picked set of cells
    };
    const Case cases[] = {
        // 10 per half: throws 1..10 in row 4, every other cell of the half a space.
        {6,
         2,
         {{"C4", "1"},
          {"L4", "0"},
          {"C5", " "},
          {"L5", " "},
          {"C6", " "},
          {"G6", " "},
          {"P6", "1"},
          {"C9", "1"},
          {"L9", "0"},
          {"G11", " "},
          {"P11", "1"},
          {"C19", "1"},
          {"P21", "1"}}},
        // 15 per half: throws 11..15 in C5..G5.
        {2,
         4,
         {{"C5", "1"},
          {"G5", "5"},
          {"H5", " "},
          {"L5", " "},
          {"C6", " "},
          {"G6", " "},
          {"P6", "1"},
          {"C9", "6"},
          {"L9", "5"},
          {"P11", "2"},
          {"C39", "6"},
          {"P41", "2"}}},
        // 25 per half: throws 21..25 in C6..G6.
        {1,
         4,
         {{"C4", "1"},
          {"L5", "0"},
          {"C6", "1"},
          {"G6", "5"},
          {"P6", "2"},
          {"C9", "6"},
          {"G11", "0"},
          {"P11", "3"},
          {"C39", "6"},
          {"P41", "3"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gameKind);
        configure(c.gameKind, c.lanesPerPlayer, 1);
        const Cells cells = exportSheet(true, 1);
        for (const auto& [cell, value] : c.cells)
            EXPECT_EQ(cells.at(cell), text(value)) << cell;
        // Three heading cells, then per half the lane, 25 throw cells and the faults.
        EXPECT_EQ(recorder.writes.size(), 3u + 2u * c.lanesPerPlayer * 27u);
        EXPECT_FALSE(cells.count("H6"));
        std::filesystem::remove_all(folder.path() / "zVypis2.xls");
        std::filesystem::remove_all(folder.path() / "zVypis4.xls");
    }
}

TEST_F(PlayerSheetFixture, HeadingsAndLaneNumbersFollowThePlayersRotation) {
    struct Case {
        int laneLayout, lanesPerPlayer;
        bool home;
        int slot;
        std::vector<int> lanes; // per set
    };
    const Case cases[] = {
        {1, 4, false, 4, {4, 3, 1, 2}},      {1, 4, true, 5, {1, 2, 4, 3}},        {2, 2, false, 2, {2, 1}},
        {3, 6, true, 1, {1, 2, 4, 3, 5, 6}}, {3, 6, false, 6, {2, 1, 3, 4, 6, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.laneLayout) + " slot " + std::to_string(c.slot));
        configure(1, c.lanesPerPlayer, c.laneLayout);
        const Cells cells = exportSheet(c.home, c.slot);
        EXPECT_EQ(cells.at("C1"), text("Jan Nov\xE1k"));
        EXPECT_EQ(cells.at("K1"), text("r." + kC + ".: 12345"));
        EXPECT_EQ(cells.at("O1"), text(c.home ? "Dom\xE1\x63\xED" : "Host\xE9"));
        for (std::size_t set = 1; set <= c.lanes.size(); ++set) {
            const std::string lane = kC + ". " + std::to_string(c.lanes[set - 1]);
            EXPECT_EQ(cells.at("I" + std::to_string(10 * set - 7)), text(lane)) << set; // full half
            EXPECT_EQ(cells.at("I" + std::to_string(10 * set - 2)), text(lane)) << set; // clearing half
        }
    }
}

TEST_F(PlayerSheetFixture, FirstExportMakesTheWorkingCopyAndLaterOnesReuseIt) {
    configure(1, 4, 1);
    Vysledky_hraci(*state, recorder.factory(), true, 1, env);
    const auto copy = folder.path() / "zVypis4.xls";
    EXPECT_EQ(recorder.calls,
              (std::vector<std::string>{"start", "Visible 0", "DisplayAlerts 0",
                                        "Open " + (folder.path() / "Vypis4.xls").string() + " template",
                                        "ActiveSheet", "SaveAs " + copy.string(), "PrintOut", "Quit"}));
    recorder.calls.clear();
    Vysledky_hraci(*state, recorder.factory(), false, 2, env);
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"start", "Visible 0", "DisplayAlerts 0",
                                                        "Open " + copy.string() + " document", "ActiveSheet",
                                                        "PrintOut", "Quit"}));
}

TEST_F(PlayerSheetFixture, WorkbookFollowsTheSetsPerPlayerAndTheConfiguredFolder) {
    const std::pair<int, const char*> cases[] = {
        {2, "Vypis2.xls"}, {4, "Vypis4.xls"}, {6, "Vypis6.xls"}, {3, "Vypis6.xls"}};
    for (const auto& [sets, name] : cases) {
        state->lanesPerPlayer = static_cast<u8>(sets);
        EXPECT_EQ(playerSheetFiles(*state, env).templateFile, folder.path() / name);
    }
    state->playerSheetsPath = "vypisy";
    EXPECT_EQ(playerSheetFiles(*state, env).workingCopy, folder.path() / "vypisy" / "zVypis6.xls");
    EXPECT_THROW(Vysledky_hraci(*state, recorder.factory(), true, 1, env), SpreadsheetError);
}

TEST_F(PlayerSheetFixture, SlotsAbove60DoNothing) {
    Vysledky_hraci(*state, recorder.factory(), true, 61, env);
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(PlayerSheetFixture, WithoutAPrinterThePdfIsNamedInTheStatusLineAndNotReportedAsPrinted) {
    configure(1, 4, 1);
    recorder.printOutcome = {false, folder.path() / "zVypis4.pdf"};
    try {
        Vysledky_hraci(*state, recorder.factory(), true, 1, env);
        FAIL() << "a sheet that was not printed was reported as printed";
    } catch (const NotPrintedError& error) {
        EXPECT_EQ(error.pdf(), folder.path() / u8"Novák Jan 1.1.2025.pdf");
    }
    EXPECT_EQ(state->controls.statusLine, "Tisk do PDF: Nov\xE1k Jan 1.1.2025.pdf");
    EXPECT_EQ(recorder.calls.back(), "Quit");
}

// Each player gets a PDF of his own, named after him and the day (file-name
// form of the date when there is one); a name without a player falls back to
// the slot, and folder separators in a name cannot lead elsewhere.
TEST_F(PlayerSheetFixture, PdfNamesFollowThePlayerAndTheDay) {
    state->player[2].surname = "Dvo\xF8\xE1k";
    state->player[2].firstName = "Petr";
    state->player[3] = PlayerSlot{};
    state->player[4].surname = "A/B";
    state->player[4].firstName = "";
    const ReportEnvironment isoDates{folder.path(), [] { return std::string("10. 12. 2026"); },
                                     [] { return std::string("2026-12-10"); }};
    EXPECT_EQ(playerSheetPdf(*state, 1, isoDates), folder.path() / u8"Novák Jan 2026-12-10.pdf");
    EXPECT_EQ(playerSheetPdf(*state, 2, isoDates), folder.path() / u8"Dvořák Petr 2026-12-10.pdf");
    EXPECT_EQ(playerSheetPdf(*state, 3, isoDates), folder.path() / u8"Hráč 3 2026-12-10.pdf");
    EXPECT_EQ(playerSheetPdf(*state, 4, isoDates), folder.path() / "A-B 2026-12-10.pdf");
}
