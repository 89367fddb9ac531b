#include "core/cp1250.h"
#include "core/match_state.h"
#include "office_fixture.h"
#include "reports/match_report.h"
#include "reports/overview.h"
#include "scoring/throw_recording.h"

#include <fstream>

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

// The referee's figures of a played 6-duel match, read back from the saved
// file in a fresh office: every set point, duel point, the team sums the form
// makes of them, the result and the match points are the engine's.
TEST(OfficeMatchReport, RefereeFiguresReadBackAreTheEngines) {
    ScratchFolder folder("office-referee");
    copyTemplate("zapis.xls", folder.path());
    auto state = std::make_unique<MatchState>();
    state->gameKind = 2;
    state->lanesPerPlayer = 4;
    state->pairCount = 6;
    state->formsPath = folder.path().string();
    state->alleyName = "Kuzelna Vltava";
    state->alleyApproval = "31. 12. 2027";
    state->refereeName = "Petr Sud\xED";
    state->refereeNumber = "R-4711";
    for (int slot = 1; slot <= 12; ++slot) {
        state->player[slot].surname = "Hr\xE1\xE8" + std::to_string(slot);
        for (int t = 1; t <= 8 * kPerHalf; ++t)
            state->player[slot].throws[t] = static_cast<u8>((slot * 5 + t * 7 + t / 9) % 10);
    }
    // A drawn set: duel 3, set 2, both players with the same pins.
    for (int t = kPerHalf * 2 + 1; t <= kPerHalf * 4; ++t)
        state->player[6].throws[t] = state->player[5].throws[t];
    for (int slot = 1; slot <= 12; ++slot)
        prepocitej(*state, slot);
    ReportEnvironment env{folder.path(), [] { return std::string("10. 12. 2026"); },
                          [] { return std::string("2026-12-10"); }};
    {
        SpreadsheetSession session(headlessOffice());
        vysledky(*state, session, 0, 6, "N ", env);
        session.quitAll();
    }
    const auto report = folder.path() / u8"N  Domácí  -  Hosté  2026-12-10.xls";
    ASSERT_TRUE(std::filesystem::exists(report));

    SpreadsheetSession session(headlessOffice());
    Spreadsheet& office = session.start();
    office.openWorkbook(report, OpenAs::Document);
    ASSERT_FALSE(office.activeWorkbookWasOpen()) << "read from the office, not from the file";
    office.activateFirstSheet();
    Worksheet& sheet = office.activeSheet();
    auto number = [&](const std::string& cell) { return std::stod("0" + sheet.readText(cell)); };

    EXPECT_EQ(sheet.readText("Q1"), "10. 12. 2026");
    double homeSetPoints = 0, guestSetPoints = 0, homeDuelPoints = 0, guestDuelPoints = 0;
    bool drawnSetSeen = false;
    for (int slot = 1; slot <= 12; ++slot) {
        const bool home = slot % 2 == 1;
        const int top = 3 + 5 * ((slot + 1) / 2);
        for (int set = 1; set <= 4; ++set) {
            const std::string row = std::to_string(top + set - 1);
            EXPECT_DOUBLE_EQ(number((home ? "H" : "R") + row), state->player[slot].setPoints[set] / 2.0)
                << slot << "/" << set;
            drawnSetSeen |= state->player[slot].setPoints[set] == 1;
            EXPECT_EQ(sheet.readInteger((home ? "C" : "M") + row), overviewLaneOfSet(*state, slot, set));
        }
        EXPECT_DOUBLE_EQ(number((home ? "H" : "R") + std::to_string(top + 4)),
                         state->player[slot].setPointsTotal / 2.0);
        EXPECT_DOUBLE_EQ(number((home ? "I" : "S") + std::to_string(top)), state->player[slot].duelPoints / 2.0);
        (home ? homeSetPoints : guestSetPoints) += state->player[slot].setPointsTotal / 2.0;
        (home ? homeDuelPoints : guestDuelPoints) += state->player[slot].duelPoints / 2.0;
    }
    EXPECT_TRUE(drawnSetSeen);
    EXPECT_DOUBLE_EQ(number("H49"), homeSetPoints);
    EXPECT_DOUBLE_EQ(number("R49"), guestSetPoints);
    EXPECT_DOUBLE_EQ(number("I49"), homeDuelPoints);
    EXPECT_DOUBLE_EQ(number("S49"), guestDuelPoints);
    const TeamResult result = teamResult(*state, 12);
    EXPECT_EQ(sheet.readInteger("C51"), result.homePins);
    EXPECT_EQ(sheet.readInteger("F51"), result.guestPins);
    EXPECT_DOUBLE_EQ(number("L51"), result.homeMatchPoints / 2.0);
    EXPECT_DOUBLE_EQ(number("P51"), result.guestMatchPoints / 2.0);
    EXPECT_DOUBLE_EQ(number("L51") + number("P51"), 8.0);
    EXPECT_EQ(sheet.readText("B53"), state->refereeName);
    EXPECT_EQ(sheet.readText("I53"), "R-4711");
    EXPECT_EQ(sheet.readText("L4"), "Kuzelna Vltava");
    EXPECT_EQ(sheet.readText("Q2"), "31. 12. 2027");
    session.quitAll();
}

// A report that another program holds (its lock file is there) is filled as a
// copy instead of raising the office's "Document in Use"; the status line names
// the copy's window as the office titles it, in Czech.
TEST(OfficeMatchReport, ReportHeldElsewhereIsFilledAsACopy) {
    ScratchFolder folder("office-held");
    copyTemplate("zapis.xls", folder.path());
    auto state = std::make_unique<MatchState>();
    state->pairCount = 1;
    state->lanesPerPlayer = 4;
    state->formsPath = folder.path().string();
    state->player[1].surname = "Prvn\xED";
    ReportEnvironment env{folder.path(), [] { return std::string("10. 12. 2026"); }};
    {
        SpreadsheetSession session(headlessOffice());
        vysledky(*state, session, 0, 1, "N ", env);
        session.quitAll();
    }
    const auto report = matchReportPath(*state, "N ", "10. 12. 2026", env);
    ASSERT_TRUE(std::filesystem::exists(report));
    const auto saved = std::filesystem::last_write_time(report);
    std::ofstream(folder.path() / (".~lock." + report.filename().string() + "#")) << "jiny,pocitac,jiny;\n";

    SpreadsheetSession session(headlessOffice());
    state->player[1].surname = "Druh\xFD";
    const ReportOutcome outcome = vysledky(*state, session, 0, 1, "N ", env);
    EXPECT_NE(outcome.status.find("kopie Bez n\xE1zvu"), std::string::npos) << cp1250::toUtf8(outcome.status);
    EXPECT_EQ(session.current()->activeSheet().readText("A8"), "Druh\xFD");
    EXPECT_EQ(std::filesystem::last_write_time(report), saved);
    session.quitAll();
}
