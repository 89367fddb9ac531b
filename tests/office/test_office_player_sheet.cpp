#include "core/match_state.h"
#include "office_fixture.h"
#include "reports/player_sheet.h"

using namespace kuzelna;
using namespace kuzelna::testing;

// Without a printer the sheet comes out as a PDF named after the player and
// the day, and the operation says so instead of reporting a print. A second
// player's sheet is a second PDF.
TEST(OfficePlayerSheet, PrintsToPdfWhenThereIsNoPrinter) {
    if (!commandOutput("lpstat -e 2>/dev/null").empty()) GTEST_SKIP() << "a printer is installed";
    ScratchFolder folder("office-sheet");
    copyTemplate("Vypis4.xls", folder.path());

    auto state = std::make_unique<MatchState>();
    state->gameKind = 2; // 15 throws per half
    state->lanesPerPlayer = 4;
    state->laneLayout = 1;
    state->playerSheetsPath = folder.path().string();
    PlayerSlot& player = state->player[4];
    player.firstName = "Jan";
    player.surname = "Nov\xE1k";
    player.regNumber = "12345";
    const int pins[] = {9, 8, 0, 7};
    for (int t = 1; t <= 120; ++t)
        player.throws[t] = static_cast<u8>(pins[t % 4]);
    ReportEnvironment env{folder.path(), [] { return std::string("1.1.2025"); }};

    try {
        Vysledky_hraci(*state, headlessOffice(), false, 4, env);
        FAIL() << "reported as printed";
    } catch (const NotPrintedError& error) {
        EXPECT_EQ(error.pdf(), folder.path() / u8"Novák Jan 1.1.2025.pdf");
    }
    EXPECT_EQ(state->controls.statusLine, "Tisk do PDF: Nov\xE1k Jan 1.1.2025.pdf");
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "zVypis4.xls"));
    const std::filesystem::path pdf = folder.path() / u8"Novák Jan 1.1.2025.pdf";
    ASSERT_TRUE(std::filesystem::exists(pdf));

    PlayerSlot& second = state->player[3];
    second.firstName = "Petr";
    second.surname = "Dvo\xF8\xE1k";
    EXPECT_THROW(Vysledky_hraci(*state, headlessOffice(), true, 3, env), NotPrintedError);
    const std::filesystem::path secondPdf = folder.path() / u8"Dvořák Petr 1.1.2025.pdf";
    ASSERT_TRUE(std::filesystem::exists(secondPdf));
    EXPECT_NE(commandOutput("pdftotext " + quoted(secondPdf) + " -").find("Petr Dvořák"), std::string::npos);
    EXPECT_EQ(commandOutput("pdftotext " + quoted(pdf) + " -").find("Petr"), std::string::npos)
        << "the first sheet was written over";

    // The text of the PDF with every run of blanks made one space.
    std::string text;
    for (char c : commandOutput("pdftotext -layout " + quoted(pdf) + " -")) {
        if (c == ' ' && !text.empty() && text.back() == ' ') continue;
        text += c;
    }
    EXPECT_NE(text.find("Jan Novák"), std::string::npos) << text;
    EXPECT_NE(text.find("r.č.: 12345"), std::string::npos);
    EXPECT_NE(text.find("Hosté"), std::string::npos);
    // Guest of duel 2 on four lanes: lanes 4, 3, 1, 2.
    EXPECT_NE(text.find("č. 4"), std::string::npos);
    // The first half: throws 1..10, then 11..15, its pins summed by the form, its zeros counted.
    EXPECT_NE(text.find("1–10 8 0 7 9 8 0 7 9 8 0 Součet: 87"), std::string::npos) << text;
    EXPECT_NE(text.find("11–20 7 9 8 0 7\n"), std::string::npos);
    EXPECT_NE(text.find("21–25 Chyby: 4"), std::string::npos);
}
