#include "core/match_state.h"
#include "scoring/kind_of_game.h"

#include <gtest/gtest.h>

using namespace kuzelna;

TEST(KindOfGame, PlayersComeFromTheLeagueOrTheTournamentList) {
    struct Case {
        bool tournament;
        int league, entrants;
        int pairCount;
    };
    const Case cases[] = {
        {false, 0, 5, 6}, {false, 1, 5, 4},  {false, 2, 5, 8}, {false, -1, 5, 6},
        {true, 1, 0, 1},  {true, 1, 29, 30}, {true, 1, -1, 6}, {true, 1, 30, 6},
    };
    for (const Case& c : cases) {
        KindOfGameChoice choice;
        choice.leaguePlayers = c.league;
        choice.tournamentPlayers = c.entrants;
        EXPECT_EQ(configurationFromChoice(choice, c.tournament).pairCount, c.pairCount)
            << c.tournament << " " << c.league << " " << c.entrants;
    }
}

TEST(KindOfGame, ListsWithoutAChoiceCountAsTheirFirstItem) {
    KindOfGameChoice choice{-1, -1, -1, -1, -1, -1};
    const GameConfiguration none = configurationFromChoice(choice, false);
    EXPECT_EQ(none.gameKind, 1);
    EXPECT_EQ(none.laneLayout, 1);
    EXPECT_EQ(none.lanePair, 1);
    EXPECT_EQ(none.firstPairOfBlock, 1);

    choice = {4, 2, 1, 0, 0, 11};
    const GameConfiguration chosen = configurationFromChoice(choice, false);
    EXPECT_EQ(chosen.gameKind, 5);
    EXPECT_EQ(chosen.laneLayout, 3);
    EXPECT_EQ(chosen.lanePair, 2);
    EXPECT_EQ(chosen.firstPairOfBlock, 12);
    choice.lanePair = 4;
    EXPECT_EQ(configurationFromChoice(choice, false).lanePair, 2);
}

TEST(KindOfGame, PresetTakesKindLanesAndDuelFromTheStateAndKeepsTheRest) {
    MatchState state;
    state.gameKind = 3;
    state.laneLayout = 2;
    state.firstPairOfBlock = 5;
    const KindOfGameChoice preset = presetChoice(state, {0, 0, 1, 2, 17, 0});
    EXPECT_EQ(preset.gameKind, 2);
    EXPECT_EQ(preset.laneLayout, 1);
    EXPECT_EQ(preset.currentDuel, 4);
    EXPECT_EQ(preset.lanePair, 1);
    EXPECT_EQ(preset.leaguePlayers, 2);
    EXPECT_EQ(preset.tournamentPlayers, 17);
}

TEST(KindOfGame, ListItems) {
    EXPECT_EQ(gameKindItems(),
              (std::vector<std::string>{"200 Hs", "120 Hs", "100 Hs", "60   Hs", "180 Hs", "40   Hs"}));
    const auto entrants = tournamentItems();
    ASSERT_EQ(entrants.size(), 30u);
    EXPECT_EQ(entrants.front(), "2");
    EXPECT_EQ(entrants.back(), "60");
    EXPECT_EQ(currentDuelItems().size(), 30u);
    EXPECT_EQ(currentDuelItems().back(), "30");
}
