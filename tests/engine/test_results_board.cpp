#include "boards/board_numbers.h"
#include "boards/results_board.h"
#include "core/match_state.h"

#include <gtest/gtest.h>

using namespace kuzelna;

namespace {

struct SlotValues {
    int slot;
    u16 full, clearing, setPoints, duelPoints;
};

MatchState stateWith(std::initializer_list<SlotValues> slots, bool score16) {
    MatchState state;
    state.score16 = score16 ? 1 : 0;
    for (const SlotValues& v : slots) {
        PlayerSlot& p = state.player[static_cast<std::size_t>(v.slot)];
        p.fullTotal = v.full;
        p.clearingTotal = v.clearing;
        p.total = static_cast<u16>(v.full + v.clearing);
        p.setPointsTotal = v.setPoints;
        p.duelPoints = v.duelPoints;
    }
    return state;
}

} // namespace

TEST(BoardNumbers, IntegersAsTyped) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"1024", 1024},     {" 7 ", 7},
        {"+5", 5},          {"-12", -12},
        {"007", 7},         {"", {}},
        {"-", {}},          {"1a", {}},
        {"a1", {}},         {"1 2", {}},
        {"--1", {}},        {"2147483647", 2147483647},
        {"2147483648", {}}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseInteger(text), expected) << '"' << text << '"';
}

TEST(BoardNumbers, HalvesInShortestForm) {
    EXPECT_EQ(halvedText(0, ","), "0");
    EXPECT_EQ(halvedText(1, ","), "0,5");
    EXPECT_EQ(halvedText(4, ","), "2");
    EXPECT_EQ(halvedText(5, "."), "2.5");
    EXPECT_EQ(halvedText(33, ","), "16,5");
}

TEST(ResultsBoard, RowsShowTheirSlotsWithTheSystemSeparator) {
    MatchState state = stateWith({{3, 300, 120, 5, 1}, {4, 290, 131, 3, 1}}, false);
    state.player[3].surname = "Nov\xE1k"; // Novák
    state.player[3].firstName = "Jan";
    state.player[4].surname = "Dvo\xF8\xE1k";
    state.player[4].firstName = "Petr";
    state.homeTeamTitle = "TJ Sokol A";
    state.guestTeamTitle = "KK Slavia B";

    const ResultsBoardTexts comma = resultsBoardTexts(state, ",");
    EXPECT_EQ(comma.home.title, "TJ Sokol A");
    EXPECT_EQ(comma.guest.title, "KK Slavia B");
    const ResultsBoardRow& home = comma.home.rows[1];
    const ResultsBoardRow& guest = comma.guest.rows[1];
    EXPECT_EQ(home.name, "Nov\xE1k Jan");
    EXPECT_EQ(guest.name, "Dvo\xF8\xE1k Petr");
    EXPECT_EQ((std::array{home.total, home.full, home.clearing, home.setPoints, home.duelPoints}),
              (std::array<std::string, 5>{"420", "300", "120", "2,5", "0,5"}));
    EXPECT_EQ((std::array{guest.total, guest.full, guest.clearing, guest.setPoints, guest.duelPoints}),
              (std::array<std::string, 5>{"421", "290", "131", "1,5", "0,5"}));
    // An empty slot: blank name, zeros.
    EXPECT_EQ(comma.home.rows[0].name, " ");
    EXPECT_EQ(comma.home.rows[0].total, "0");
    EXPECT_EQ(comma.home.rows[0].setPoints, "0");

    const ResultsBoardTexts dot = resultsBoardTexts(state, ".");
    EXPECT_EQ(dot.home.rows[1].setPoints, "2.5");
    EXPECT_EQ(dot.home.rows[1].duelPoints, "0.5");
    EXPECT_EQ(dot.home.setPoints, "2.5");

    state.score16 = 1;
    const ResultsBoardTexts sixteen = resultsBoardTexts(state, ",");
    EXPECT_EQ(sixteen.home.rows[1].duelPoints, "1");
    EXPECT_EQ(sixteen.guest.rows[1].duelPoints, "1");
    EXPECT_EQ(sixteen.home.rows[1].setPoints, "2,5"); // set points are halved in both modes
}

// Side totals and match points with the pin bonus, in both scoring modes.
TEST(ResultsBoard, TotalsAndMatchPoints) {
    struct Case {
        const char* what;
        std::initializer_list<SlotValues> slots;
        bool score16;
        std::array<std::string, 5> homeTotals, guestTotals; // CEL, P, D, Bp, B
        std::string homeMatch, guestMatch;
    };
    const Case cases[] = {
        {"before the first throw", {}, false, {"0", "0", "0", "0", "0"}, {"0", "0", "0", "0", "0"}, "1", "1"},
        {"before the first throw", {}, true, {"0", "0", "0", "0", "0"}, {"0", "0", "0", "0", "0"}, "2", "2"},
        {"drawn duel, equal pins",
         {{1, 70, 30, 2, 1}, {2, 60, 40, 2, 1}},
         false,
         {"100", "70", "30", "1", "0,5"},
         {"100", "60", "40", "1", "0,5"},
         "1,5",
         "1,5"},
        {"drawn duel, equal pins",
         {{1, 70, 30, 2, 1}, {2, 60, 40, 2, 1}},
         true,
         {"100", "70", "30", "1", "1"},
         {"100", "60", "40", "1", "1"},
         "3",
         "3"},
        {"home one pin ahead",
         {{1, 100, 50, 5, 2}, {2, 99, 50, 3, 0}},
         false,
         {"150", "100", "50", "2,5", "1"},
         {"149", "99", "50", "1,5", "0"},
         "3",
         "0"},
        {"home one pin ahead",
         {{1, 100, 50, 5, 2}, {2, 99, 50, 3, 0}},
         true,
         {"150", "100", "50", "2,5", "2"},
         {"149", "99", "50", "1,5", "0"},
         "6",
         "0"},
        // Rows 7 and 8 (slots 13..16) are never shown but count: the guest in
        // slot 16 carries the guests past the home pins.
        {"hidden rows decide the bonus",
         {{1, 100, 50, 4, 2}, {2, 90, 50, 0, 0}, {13, 0, 0, 0, 0}, {16, 10, 10, 3, 1}, {15, 0, 0, 3, 1}},
         false,
         {"150", "100", "50", "3,5", "1,5"},
         {"160", "100", "60", "1,5", "0,5"},
         "1,5",
         "2,5"},
        {"hidden rows decide the bonus",
         {{1, 100, 50, 4, 2}, {2, 90, 50, 0, 0}, {13, 0, 0, 0, 0}, {16, 10, 10, 3, 1}, {15, 0, 0, 3, 1}},
         true,
         {"150", "100", "50", "3,5", "3"},
         {"160", "100", "60", "1,5", "1"},
         "3",
         "5"},
    };
    for (const Case& c : cases) {
        const ResultsBoardTexts t = resultsBoardTexts(stateWith(c.slots, c.score16), ",");
        const std::string mode = c.score16 ? " (16 points)" : " (8 points)";
        EXPECT_EQ(
            (std::array{t.home.total, t.home.full, t.home.clearing, t.home.setPoints, t.home.duelPoints}),
            c.homeTotals)
            << c.what << mode;
        EXPECT_EQ((std::array{t.guest.total, t.guest.full, t.guest.clearing, t.guest.setPoints,
                              t.guest.duelPoints}),
                  c.guestTotals)
            << c.what << mode;
        EXPECT_EQ(t.home.matchPoints, c.homeMatch) << c.what << mode;
        EXPECT_EQ(t.guest.matchPoints, c.guestMatch) << c.what << mode;
    }
}

// Whole-set scoring counts a won set as one point, not two half-points.
TEST(ResultsBoard, WholeSetScoringShowsSetPointsAsTheyAre) {
    MatchState state = stateWith({{1, 300, 120, 3, 2}, {2, 290, 131, 1, 0}, {3, 280, 100, 2, 1}}, false);
    state.controls.tandem = true;
    const ResultsBoardTexts t = resultsBoardTexts(state, ",");
    EXPECT_EQ(t.home.rows[0].setPoints, "3");
    EXPECT_EQ(t.guest.rows[0].setPoints, "1");
    EXPECT_EQ(t.home.rows[1].setPoints, "2");
    EXPECT_EQ(t.home.setPoints, "5");
    EXPECT_EQ(t.guest.setPoints, "1");
    // Duel points and the match points keep their scale.
    EXPECT_EQ(t.home.rows[0].duelPoints, "1");
    EXPECT_EQ(t.home.duelPoints, "1,5");
    EXPECT_EQ(t.home.matchPoints, "3,5");
}

TEST(ResultsBoard, SlotsBeyondRowEightStayOff) {
    const ResultsBoardTexts t =
        resultsBoardTexts(stateWith({{17, 200, 100, 4, 2}, {18, 1, 0, 0, 0}}, false), ",");
    EXPECT_EQ(t.home.total, "0");
    EXPECT_EQ(t.guest.total, "0");
    EXPECT_EQ(t.home.matchPoints, "1");
}
