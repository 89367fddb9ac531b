#include "core/match_state.h"
#include "office_fixture.h"
#include "reports/match_report.h"
#include "reports/tournament_workbook.h"

using namespace kuzelna;
using namespace kuzelna::testing;

namespace {

constexpr int kPerHalf = 15; // "180 Hs": six sets of 15 + 15 throws

struct Entrant {
    std::string surname;
    int fullPins;     // felled by each of the first throws of every full half
    int clearingPins; // and of every clearing half
    int played;       // throws played per half; the rest are zeros
};

// Puts a game of entrants into the player slots.
void playGame(MatchState& state, const std::vector<Entrant>& entrants) {
    for (std::size_t i = 0; i < entrants.size(); ++i) {
        PlayerSlot& slot = state.player[i + 1];
        slot = PlayerSlot{};
        slot.surname = entrants[i].surname;
        slot.firstName = "X";
        for (int half = 1; half <= 12; ++half) {
            for (int t = 1; t <= entrants[i].played; ++t) {
                slot.throws[(half - 1) * kPerHalf + t] =
                    static_cast<u8>(half % 2 ? entrants[i].fullPins : entrants[i].clearingPins);
            }
        }
    }
}

} // namespace

// Two games written into the tournament workbook, each ranked: the workbook's
// own formulas give the sums the ranking reads.
TEST(OfficeTournament, WrittenTwiceAndRanked) {
    ScratchFolder folder("office-tournament");
    copyTemplate("turnaj_form_180HS.xls", folder.path());
    auto state = std::make_unique<MatchState>();
    state->controls.tournament = true;
    state->gameKind = 5;
    state->lanesPerPlayer = 6;
    state->pairCount = 1;
    ReportEnvironment env{folder.path(), [] { return std::string("1.6.2025"); }};
    SpreadsheetSession session(headlessOffice());

    // Six sets of 10 played throws: full 6 × 10 × pins, faults 6 × (5 + 5).
    playGame(*state, {{"A", 5, 3, 10}, {"B", 6, 2, 10}});
    vysledky(*state, session, 0, 1, "N ", env);
    ASSERT_TRUE(std::filesystem::exists(folder.path() / "turnaj.xls"));
    session.quitCurrent();

    rankTournament(*state, session, env);
    // Equal totals: more clearing pins first.
    EXPECT_EQ(state->standings[1].name.str(), "A X");
    EXPECT_EQ(state->standings[1].full, 300);
    EXPECT_EQ(state->standings[1].clearing, 180);
    EXPECT_EQ(state->standings[1].total, 480);
    EXPECT_EQ(state->standings[1].faults, 60);
    EXPECT_EQ(state->standings[2].name.str(), "B X");
    EXPECT_EQ(state->standings[2].clearing, 120);
    EXPECT_EQ(state->controls.entrantNumberText, "3");

    // The second game goes on from entrant 3 into the open file, which the
    // operator then saves.
    playGame(*state, {{"C", 9, 9, 15}, {"D", 4, 4, 12}});
    vysledky(*state, session, 0, 1, "N ", env);
    session.current()->activeSheet().saveAs(folder.path() / "turnaj.xls");
    session.quitCurrent();

    rankTournament(*state, session, env);
    const std::vector<std::pair<std::string, int>> expected = {
        {"C X", 6 * 30 * 9}, {"D X", 6 * 24 * 4}, {"A X", 480}, {"B X", 480}};
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(state->standings[k + 1].name.str(), expected[k].first) << k;
        EXPECT_EQ(state->standings[k + 1].total, expected[k].second) << k;
    }
    EXPECT_EQ(state->standings[2].faults, 6 * 6);
    EXPECT_EQ(state->controls.entrantNumberText, "5");
}

// A game written from entrant 1 again onto a workbook with results: the
// operator is asked, with the first free row proposed, and the game lands
// there. The ranking then reads the open workbook, unsaved results included,
// and says so.
TEST(OfficeTournament, OverwriteIsAskedAndTheRankingSeesUnsavedResults) {
    ScratchFolder folder("office-tournament-ask");
    copyTemplate("turnaj_form_180HS.xls", folder.path());
    auto state = std::make_unique<MatchState>();
    state->controls.tournament = true;
    state->gameKind = 5;
    state->lanesPerPlayer = 6;
    state->pairCount = 1;
    ReportEnvironment env{folder.path(), [] { return std::string("10. 12. 2026"); }};
    SpreadsheetSession session(headlessOffice());

    playGame(*state, {{"A", 5, 3, 10}, {"B", 6, 2, 10}});
    vysledky(*state, session, 0, 1, "N ", env);
    ASSERT_TRUE(std::filesystem::exists(folder.path() / "turnaj.xls"));

    playGame(*state, {{"C", 9, 9, 15}, {"D", 4, 4, 12}});
    std::vector<EntrantOverwrite> asked;
    const ReportOutcome written =
        vysledky(*state, session, 0, 1, "N ", env, [&](const EntrantOverwrite& overwrite) {
            asked.push_back(overwrite);
            return OverwriteAnswer::StartAtFirstFree;
        });
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].holders, (std::vector<std::string>{"A X", "B X"}));
    EXPECT_EQ(asked[0].firstFree, 3);
    EXPECT_EQ(state->controls.entrantNumberText, "3");
    EXPECT_NE(written.status.find("od \xE8. 3"), std::string::npos) << written.status;
    EXPECT_EQ(session.unsavedWorkbooks(), std::vector<std::filesystem::path>{folder.path() / "turnaj.xls"});

    const ReportOutcome ranked = rankTournament(*state, session, env);
    EXPECT_EQ(state->standings[1].name.str(), "C X");
    EXPECT_EQ(state->standings[4].name.str(), "B X");
    EXPECT_EQ(state->controls.entrantNumberText, "5");
    EXPECT_NE(ranked.status.find("neulo\x9E" "en"), std::string::npos) << ranked.status;
    session.quitAll();
}
