#include "core/match_state.h"
#include "reports/overview.h"
#include "reports/throw_correction.h"

#include <gtest/gtest.h>

#include <string>

using namespace kuzelna;

namespace {

// A 120 game, home player 1 (slot 1) with 5 pins in each of the first 30 throws.
MatchState underWay() {
    MatchState state;
    state.gameKind = 2;
    state.lanesPerPlayer = 4;
    state.laneLayout = 1;
    for (std::size_t t = 1; t <= 30; ++t)
        state.player[1].throws[t] = 5;
    return state;
}

OverviewSelection clicked(int column, int row, bool home = true, int player = 1) {
    OverviewSelection selection;
    selection.homeShown = home;
    selection.homePlayer = player;
    selection.guestPlayer = player;
    selection.clickedColumn = column;
    selection.clickedRow = row;
    return selection;
}

} // namespace

TEST(ThrowCorrection, StoresOneDigitAndRecalculates) {
    struct Case {
        const char* text;
        bool stored;
        int pins; // throw 18 afterwards
    };
    const Case cases[] = {
        {"7", true, 7},  {"0", true, 0}, {"9", true, 9},   {"12", false, 5},
        {"x", false, 5}, {"", false, 5}, {" 3", false, 5}, {"-1", false, 5},
    };
    for (const auto& c : cases) {
        MatchState state = underWay();
        // Row 3 is the pins of the clearing half of set 1; column 3 is throw 18.
        EXPECT_EQ(saveThrowCorrection(state, clicked(3, 3), c.text), c.stored) << c.text;
        const PlayerSlot& slot = state.player[1];
        EXPECT_EQ(slot.throws[18], c.pins) << c.text;
        if (c.stored) {
            EXPECT_EQ(slot.clearingTotal, 14 * 5 + c.pins) << c.text;
            EXPECT_EQ(slot.fullTotal, 75) << c.text;
            EXPECT_EQ(slot.total, 145 + c.pins) << c.text;
            // 90 throws not yet made count as faults, plus a stored zero.
            EXPECT_EQ(slot.faults, 90 + (c.pins == 0 ? 1 : 0)) << c.text;
            EXPECT_EQ(slot.duelPoints, 2) << c.text; // its opponent has nothing yet
            EXPECT_EQ(state.player[2].duelPoints, 0) << c.text;
        } else {
            EXPECT_EQ(slot.total, 0) << c.text << ": no recalculation without a store";
        }
    }
}

TEST(ThrowCorrection, GoesToTheShownSidesPlayer) {
    MatchState state = underWay();
    ASSERT_TRUE(saveThrowCorrection(state, clicked(2, 1, false, 3), "4")); // guest 3 = slot 6
    EXPECT_EQ(state.player[6].throws[2], 4);
    EXPECT_EQ(state.player[6].total, 4);
    EXPECT_EQ(state.player[5].throws[2], 0);
    ASSERT_TRUE(saveThrowCorrection(state, clicked(15, 15, true, 2), "8")); // home 2 = slot 3, throw 120
    EXPECT_EQ(state.player[3].throws[120], 8);
}

TEST(ThrowCorrection, CellsThatShowNoThrowAreRefused) {
    const struct { int column, row; } cells[] = {{0, 1}, {0, 3}, {3, 2}, {16, 1}, {25, 3}, {1, 17}, {-1, -1}};
    for (const auto& cell : cells) {
        MatchState state = underWay();
        const MatchState before = state;
        EXPECT_FALSE(saveThrowCorrection(state, clicked(cell.column, cell.row), "3"))
            << cell.column << "," << cell.row;
        for (std::size_t t = 0; t <= kMaxThrows; ++t)
            ASSERT_EQ(state.player[1].throws[t], before.player[1].throws[t]);
        EXPECT_EQ(state.player[1].throws[0], 0);
    }
}
