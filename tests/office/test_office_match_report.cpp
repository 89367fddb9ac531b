#include "core/match_state.h"
#include "office_fixture.h"
#include "reports/match_report.h"

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

constexpr int kPerHalf = 15; // "120 Hs"

// Pins of throw t of a slot in this simulated match.
int pinsOf(int slot, int t) {
    return (slot * 7 + t * 3) % 10;
}

struct SetSums {
    int full = 0, clearing = 0, faults = 0;
};

SetSums expectedSet(int slot, int set) {
    SetSums sums;
    for (int t = (2 * set - 2) * kPerHalf + 1; t <= (2 * set - 1) * kPerHalf; ++t) {
        sums.full += pinsOf(slot, t);
        sums.faults += pinsOf(slot, t) == 0;
    }
    for (int t = (2 * set - 1) * kPerHalf + 1; t <= 2 * set * kPerHalf; ++t) {
        sums.clearing += pinsOf(slot, t);
        sums.faults += pinsOf(slot, t) == 0;
    }
    return sums;
}

} // namespace

// A report written from a played match is saved into the reports folder, reads
// back cell for cell (with the form's own sums) and prints on one page.
TEST(OfficeMatchReport, WrittenSavedReopenedAndReadBack) {
    ScratchFolder folder("office-report");
    copyTemplate("zapis.xls", folder.path());
    std::filesystem::create_directory(folder.path() / "zapisy");

    auto state = std::make_unique<MatchState>();
    state->gameKind = 2;
    state->lanesPerPlayer = 4;
    state->pairCount = 6;
    state->formsPath = (folder.path() / "zapisy").string();
    state->homeTeamTitle = "TJ Slavoj \xC8\x65sk\xFD Krumlov"; // "TJ Slavoj Český Krumlov"
    state->guestTeamTitle = "KK Zl\xEDn B";                    // "KK Zlín B"
    for (int slot = 1; slot <= 12; ++slot) {
        state->player[slot].surname = "Dvo\xF8\xE1k" + std::to_string(slot); // "Dvořák"
        state->player[slot].firstName = "Ji\xF8\xED";                        // "Jiří"
        state->player[slot].regNumber = std::to_string(10000 + slot);
        for (int t = 1; t <= 8 * kPerHalf; ++t)
            state->player[slot].throws[t] = static_cast<u8>(pinsOf(slot, t));
    }
    ReportEnvironment env{folder.path(), [] { return std::string("14.03.2025"); }};
    SpreadsheetSession session(headlessOffice());

    vysledky(*state, session, 0, state->pairCount, "N ", env);

    const auto report = folder.path() / "zapisy" / u8"N TJ Slavoj Český Krumlov - KK Zlín B 14.03.2025.xls";
    ASSERT_TRUE(std::filesystem::exists(report));

    Spreadsheet& office = *session.current();
    office.openWorkbook(report, OpenAs::Document);
    office.activateFirstSheet();
    Worksheet& sheet = office.activeSheet();
    EXPECT_EQ(sheet.readText("Q1"), "14.03.2025");
    EXPECT_EQ(sheet.readText("B3"), state->homeTeamTitle);
    EXPECT_EQ(sheet.readText("L3"), "KK Zl\xEDn B");
    EXPECT_EQ(sheet.readText("A8"), "Dvo\xF8\xE1k1");
    EXPECT_EQ(sheet.readText("A10"), "Ji\xF8\xED");
    EXPECT_EQ(sheet.readText("K37"), "10012");
    int homeTotal = 0;
    for (int slot = 1; slot <= 12; ++slot) {
        const int duel = (slot + 1) / 2;
        const bool home = slot % 2 == 1;
        int total = 0;
        for (int set = 1; set <= 4; ++set) {
            const SetSums sums = expectedSet(slot, set);
            const int row = 2 + 5 * duel + set;
            EXPECT_EQ(sheet.readInteger((home ? "D" : "N") + std::to_string(row)), sums.full)
                << slot << "/" << set;
            EXPECT_EQ(sheet.readInteger((home ? "E" : "O") + std::to_string(row)), sums.clearing);
            EXPECT_EQ(sheet.readInteger((home ? "F" : "P") + std::to_string(row)), sums.faults);
            total += sums.full + sums.clearing;
        }
        // The form adds up each player and the team by itself.
        EXPECT_EQ(sheet.readInteger((home ? "G" : "Q") + std::to_string(7 + 5 * duel)), total) << slot;
        if (home) homeTotal += total;
    }
    EXPECT_EQ(sheet.readInteger("G49"), homeTotal);

    // No printer here: the report goes to a PDF beside it, on one page.
    const PrintOutcome printed = office.printAllSheets();
    if (printed.onPrinter) GTEST_SKIP() << "a printer is installed";
    EXPECT_EQ(printed.pdf, std::filesystem::path(report).replace_extension(".pdf"));
    ASSERT_TRUE(std::filesystem::exists(printed.pdf));
    EXPECT_NE(commandOutput("pdfinfo " + quoted(printed.pdf)).find("Pages:           1\n"),
              std::string::npos);
    const std::string text = commandOutput("pdftotext -layout " + quoted(printed.pdf) + " -");
    EXPECT_NE(text.find("Dvořák1"), std::string::npos);
    EXPECT_NE(text.find("Zápis o utkání"), std::string::npos);

    // A report folder that does not exist is an error, not a new folder.
    EXPECT_THROW(sheet.saveAs(folder.path() / "chybi" / "x.xls"), SpreadsheetError);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "chybi"));

    // A second report of the day, while the first office still has the file
    // open, reopens the saved report and rewrites it without saving.
    const auto saved = std::filesystem::last_write_time(report);
    state->player[1].surname = "Nov\xE1k";
    vysledky(*state, session, 0, state->pairCount, "N ", env);
    EXPECT_EQ(session.current()->activeSheet().readText("A8"), "Nov\xE1k");
    EXPECT_EQ(session.current()->activeSheet().readInteger("G49"), homeTotal);
    EXPECT_EQ(std::filesystem::last_write_time(report), saved);

    session.quitCurrent();
}
