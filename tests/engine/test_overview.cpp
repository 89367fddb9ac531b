#include "core/cp1250.h"
#include "core/match_state.h"
#include "reports/overview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kuzelna;

namespace {

MatchState game(int gameKind, int lanesPerPlayer, int laneLayout) {
    MatchState state;
    state.gameKind = static_cast<u8>(gameKind);
    state.lanesPerPlayer = static_cast<u8>(lanesPerPlayer);
    state.laneLayout = static_cast<u8>(laneLayout);
    return state;
}

std::vector<int> laneLabels(const OverviewView& view, int sets) {
    std::vector<int> lanes;
    for (int s = 1; s <= sets; ++s) {
        const std::string& first = view.cell(0, 4 * s - 4);
        EXPECT_EQ(first, view.cell(0, 4 * s - 2)) << "both halves of set " << s << " carry the label";
        EXPECT_EQ(first.substr(0, 6), "      ");
        EXPECT_EQ(first.substr(first.size() - 6), ".draha");
        lanes.push_back(std::stoi(first.substr(6)));
    }
    return lanes;
}

} // namespace

TEST(Overview, GridOfA120Game) {
    MatchState state = game(2, 4, 1);
    PlayerSlot& player = state.player[3]; // home player 2
    for (int t = 1; t <= 60; ++t)
        player.throws[static_cast<std::size_t>(t)] = static_cast<u8>(t % 10);
    player.throwCount = 60;
    player.setPointsTotal = 5;
    OverviewSelection selection;
    selection.homePlayer = 2;

    const OverviewView view = overviewView(state, selection);
    struct Cell {
        int column, row;
        std::string text;
    };
    const Cell cells[] = {
        {0, 0, "      3.draha"},
        {0, 1, "    Plne"},
        {0, 2, "      3.draha"},
        {0, 3, " Dorazka"},
        {0, 4, "      4.draha"},
        {1, 0, " 1"},
        {15, 0, " 15"},
        {15, 1, "5"},
        {1, 2, " 16"},
        {1, 3, "6"},
        {10, 3, "5"},
        {16, 0, " "},
        {25, 1, " "},
        {15, 14, " 120"},
        {15, 15, "0"},
        {0, 15, " Dorazka"},
        {0, 16, " "},
        {7, 20, " "},
        {25, 23, " "},
    };
    for (const auto& c : cells)
        EXPECT_EQ(view.cell(c.column, c.row), c.text) << c.column << "," << c.row;

    // Throws 1..60 hold t % 10: the full halves 1..15 and 31..45 sum to 60 each,
    // the clearing halves 16..30 and 46..60 to 75 each; throws 61..120 are zero.
    EXPECT_EQ(view.full, "120");
    EXPECT_EQ(view.clearing, "150");
    EXPECT_EQ(view.faults, "6"); // 10, 20, .., 60: throws 61..120 are not made yet
    EXPECT_EQ(view.total, "270");
    EXPECT_EQ(view.setPoints, "2.5");

    // Whole-set scoring: five sets won are five points.
    state.controls.tandem = true;
    EXPECT_EQ(overviewView(state, selection).setPoints, "5");
}

TEST(Overview, SetPointsText) {
    const std::pair<unsigned, const char*> cases[] = {{0, "0"}, {1, "0.5"}, {4, "2"}, {5, "2.5"}, {16, "8"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(setPointsText(value), text) << value;
}

TEST(Overview, BlankColumnsAndRowsOfShortGames) {
    // 40 Hs: halves of 10 on two lanes.
    MatchState state = game(6, 2, 2);
    const OverviewView view = overviewView(state, OverviewSelection{});
    for (int row = 0; row < 8; ++row) {
        EXPECT_NE(view.cell(10, row), " ") << row;
        for (int column = 11; column < kOverviewColumns; ++column)
            EXPECT_EQ(view.cell(column, row), " ");
    }
    for (int row = 8; row < kOverviewRows; ++row) {
        for (int column = 0; column < kOverviewColumns; ++column)
            EXPECT_EQ(view.cell(column, row), " ");
    }
    // Six sets use every row.
    const OverviewView full = overviewView(game(5, 6, 3), OverviewSelection{});
    EXPECT_EQ(full.cell(0, 23), " Dorazka");
    EXPECT_EQ(full.cell(15, 22), " 180");
}

TEST(Overview, FaultsCountOnlyTheThrowsMade) {
    // Every stored throw is 0; "Cbyby:" counts those the player has thrown.
    const struct {
        int gameKind, lanesPerPlayer, throwCount;
        const char* faults;
    } cases[] = {
        {2, 4, 0, "0"},     {2, 4, 2, "2"},     {2, 4, 119, "119"}, {2, 4, 120, "120"},
        {1, 4, 200, "200"}, {6, 2, 40, "40"},   {5, 6, 180, "180"},
        {6, 2, 55, "40"}, // a counter past the game's end counts the game's throws
    };
    for (const auto& c : cases) {
        MatchState state = game(c.gameKind, c.lanesPerPlayer, 1);
        state.player[1].throwCount = static_cast<u16>(c.throwCount);
        const OverviewView view = overviewView(state, OverviewSelection{});
        EXPECT_EQ(view.faults, c.faults) << c.gameKind << " after " << c.throwCount;
        EXPECT_EQ(view.total, "0");
        EXPECT_EQ(view.cell(1, 1), "0");
    }
}

TEST(Overview, LaneLabelsFollowThePlayersPlaceInTheBlock) {
    struct Case {
        int laneLayout, lanesPerPlayer;
        bool home;
        int player;
        std::vector<int> lanes;
    };
    const Case cases[] = {
        {1, 4, true, 1, {1, 2, 4, 3}},
        {1, 4, false, 1, {2, 1, 3, 4}},
        {1, 4, true, 2, {3, 4, 2, 1}},
        {1, 4, false, 2, {4, 3, 1, 2}},
        {1, 4, true, 3, {1, 2, 4, 3}},
        {1, 4, false, 4, {4, 3, 1, 2}},
        {2, 4, true, 1, {1, 2, 1, 2}},
        {2, 4, false, 3, {2, 1, 2, 1}},
        // 6 lanes: every duel of the block has its own sequence.
        {3, 6, true, 1, {1, 2, 4, 3, 5, 6}},
        {3, 6, false, 1, {2, 1, 3, 4, 6, 5}},
        {3, 6, true, 2, {3, 4, 6, 5, 1, 2}},
        {3, 6, false, 2, {4, 3, 5, 6, 2, 1}},
        {3, 6, true, 3, {5, 6, 2, 1, 3, 4}},
        {3, 6, false, 3, {6, 5, 1, 2, 4, 3}},
        {3, 6, true, 4, {1, 2, 4, 3, 5, 6}},
        // Six sets on four lanes stay on the last column for sets 5 and 6.
        {1, 6, true, 1, {1, 2, 4, 3, 3, 3}},
    };
    for (const auto& c : cases) {
        MatchState state = game(2, c.lanesPerPlayer, c.laneLayout);
        OverviewSelection selection;
        selection.homeShown = c.home;
        selection.homePlayer = c.player;
        selection.guestPlayer = c.player;
        EXPECT_EQ(laneLabels(overviewView(state, selection), c.lanesPerPlayer), c.lanes)
            << "layout " << c.laneLayout << (c.home ? " home " : " guest ") << c.player;
    }
}

TEST(Overview, SideCaptionNameAndSlot) {
    MatchState state;
    state.homeLineup[2] = cp1250::fromUtf8("Novák Petr 1234");
    state.guestLineup[5] = "Kral Ivo 77";
    OverviewSelection selection;
    selection.homePlayer = 2;
    selection.guestPlayer = 5;
    EXPECT_EQ(cp1250::toUtf8(overviewCaption(true)), "Přehled hry - domácí");
    EXPECT_EQ(overviewNameLabel(state, selection), cp1250::fromUtf8("Novák Petr 1234"));
    EXPECT_EQ(selection.shownSlot(), 3);
    selection.homeShown = false;
    EXPECT_EQ(cp1250::toUtf8(overviewCaption(false)), "Přehled hry - hosté");
    EXPECT_EQ(overviewNameLabel(state, selection), "Kral Ivo 77");
    EXPECT_EQ(selection.shownSlot(), 10);
}

TEST(Overview, CellsAndTheThrowsTheyStandFor) {
    MatchState state = game(2, 4, 1); // halves of 15, 16 rows in use
    state.player[1].throws[33] = 8;
    struct Case {
        int column, row;
        bool pin;
        std::string clicked; // value loaded into the correction edit
    };
    const Case cases[] = {
        {3, 5, true, "8"},  // throw 33: set 2, full half
        {3, 4, false, "8"}, // its header cell names the same throw
        {0, 5, false, "0"}, // label column: throw 30
        {0, 1, false, "0"}, // label column of the first half: nothing before throw 1
        {16, 5, false, "0"}, {15, 15, true, "0"}, {1, 17, false, "0"}, {-1, -1, false, ""},
    };
    for (const auto& c : cases) {
        OverviewSelection selection;
        selection.clickedColumn = c.column;
        selection.clickedRow = c.row;
        EXPECT_EQ(isPinCell(state, c.column, c.row), c.pin) << c.column << "," << c.row;
        EXPECT_EQ(clickedThrowText(state, selection), c.clicked) << c.column << "," << c.row;
    }
    EXPECT_EQ(throwOfCell(2, 3, 5), 33);
    EXPECT_EQ(throwOfCell(6, 10, 7), 40);
    EXPECT_EQ(throwOfCell(1, 25, 23), 300);
}

TEST(Overview, ThrowsPlayedUnseenAreMarkedWithWhatTheirLaneHoldsTogether) {
    MatchState state = game(6, 2, 2); // "40 Hs": 10 throws a half
    state.laneCount = 2;
    state.pairCount = 2;
    PlayerSlot& player = state.player[1];
    for (int t : {6, 7, 14})
        player.throwUnseen[static_cast<std::size_t>(t)] = 1;
    player.unseenPins[1] = 17;
    const OverviewView view = overviewView(state, OverviewSelection{});
    std::vector<std::pair<int, int>> marked; // (row, column)
    for (int r = 0; r < kOverviewRows; ++r) {
        for (int c = 0; c < kOverviewColumns; ++c) {
            if (view.unseen[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])
                marked.emplace_back(r, c);
        }
    }
    EXPECT_EQ(marked, (std::vector<std::pair<int, int>>{{1, 6}, {1, 7}, {3, 4}}));
    EXPECT_EQ(cp1250::toUtf8(view.unseenNote),
              "Nezaznamenané hody k opravě: 6, 7, 14; 1. dráha dohromady 17 kuželek");
    EXPECT_EQ(overviewView(game(6, 2, 2), OverviewSelection{}).unseenNote, "");
}
