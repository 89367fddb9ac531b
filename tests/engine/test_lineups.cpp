#include "core/match_state.h"
#include "registry/lineups.h"
#include "registry/registry_edits.h"
#include "registry/registry_tree.h"
#include "support/registry_outline.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace kuzelna;
using kuzelna::testing::outline;

namespace {

// Club "A - " with teams "B - Bee" (players p1..p40) and "C - Cee" (player c1).
struct Registry {
    RegistryTree tree;
    RegistryNode* club;
    RegistryNode* teamB;
    RegistryNode* teamC;
    std::vector<RegistryNode*> players;
    RegistryNode* playerC;

    Registry() {
        club = tree.appendChild(nullptr, "A - ");
        teamB = tree.appendChild(club, "B - Bee");
        for (int i = 1; i <= 40; ++i)
            players.push_back(
                tree.appendChild(teamB, "p" + std::to_string(i) + " - S" + std::to_string(i) + " F, d , "));
        teamC = tree.appendChild(club, "C - Cee-x");
        playerC = tree.appendChild(teamC, "c1 - Cs Cf, d , ");
    }
};

std::vector<std::string> placesOf(MatchState& state, LineupSide side) {
    const auto& places = lineupPlaces(state, side);
    return {places.begin() + 1, places.begin() + 1 + lineupCount(state, side)};
}

void setLineup(MatchState& state, LineupSide side, const std::vector<std::string>& lines) {
    lineupCount(state, side) = static_cast<u8>(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        lineupPlaces(state, side)[i + 1] = lines[i];
}

} // namespace

TEST(Lineups, OnlyPlayerNodesAreAdded) {
    Registry registry;
    MatchState state;
    state.controls.tournament = true;
    LineupSide active = LineupSide::Home;
    RegistryNode* deep = registry.tree.appendChild(registry.players[0], "deeper");
    for (RegistryNode* node : {registry.club, registry.teamB, deep, static_cast<RegistryNode*>(nullptr)})
        addToLineup(state, active, node);
    EXPECT_EQ(state.homeLineupCount, 0);
    EXPECT_EQ(state.guestLineupCount, 0);
    EXPECT_EQ(active, LineupSide::Home);
    EXPECT_EQ(state.homeTeamTitle, " Dom\xE1\x63\xED ");
}

TEST(Lineups, TournamentAlternatesSides) {
    Registry registry;
    MatchState state;
    state.controls.tournament = true;
    LineupSide active = LineupSide::Home;
    for (int i = 0; i < 4; ++i)
        addToLineup(state, active, registry.players[i]);
    const auto& p = registry.players;
    EXPECT_EQ(placesOf(state, LineupSide::Home), (std::vector{p[0]->line, p[2]->line}));
    EXPECT_EQ(placesOf(state, LineupSide::Guest), (std::vector{p[1]->line, p[3]->line}));
    EXPECT_EQ(active, LineupSide::Home);

    state.controls.tournament = false;
    addToLineup(state, active, p[4]);
    addToLineup(state, active, p[5]);
    EXPECT_EQ(placesOf(state, LineupSide::Home).size(), 4u);
    EXPECT_EQ(active, LineupSide::Home);
}

TEST(Lineups, FirstEmptyPlaceThenNewPlaceUpToThirty) {
    Registry registry;
    MatchState state;
    LineupSide active = LineupSide::Guest;
    setLineup(state, LineupSide::Guest, {"x", "", "y", ""});
    addToLineup(state, active, registry.players[0]);
    addToLineup(state, active, registry.players[1]);
    addToLineup(state, active, registry.players[2]);
    EXPECT_EQ(placesOf(state, LineupSide::Guest),
              (std::vector<std::string>{"x", registry.players[0]->line, "y", registry.players[1]->line,
                                        registry.players[2]->line}));

    for (int i = 3; i < 31; ++i)
        addToLineup(state, active, registry.players[i]);
    const auto full = placesOf(state, LineupSide::Guest);
    ASSERT_EQ(full.size(), 30u);
    EXPECT_EQ(full.back(), registry.players[27]->line);
    addToLineup(state, active, registry.players[35]);
    EXPECT_EQ(placesOf(state, LineupSide::Guest), full);
    EXPECT_EQ(state.homeLineupCount, 0);
}

TEST(Lineups, FirstPlayerBringsTeamTitleAndName) {
    Registry registry;
    MatchState state;
    LineupSide active = LineupSide::Home;
    addToLineup(state, active, registry.players[0]);
    EXPECT_EQ(state.homeClubLine, "A - ");
    EXPECT_EQ(state.homeTeamLine, "B - Bee");
    EXPECT_EQ(state.homeTeamTitle, "A -  B");
    EXPECT_EQ(state.homeTeamName, "Bee");

    // A second player of another team changes nothing.
    addToLineup(state, active, registry.playerC);
    EXPECT_EQ(state.homeTeamName, "Bee");

    // Re-filling the only place takes the new player's team.
    removeFromLineup(state, LineupSide::Home, 0); // place 1 becomes a gap
    removeFromLineup(state, LineupSide::Home, 1); // the last place goes
    ASSERT_EQ(state.homeLineupCount, 1);
    addToLineup(state, active, registry.playerC);
    EXPECT_EQ(state.homeTeamLine, "C - Cee-x");
    EXPECT_EQ(state.homeTeamTitle, "A -  C");
    EXPECT_EQ(state.homeTeamName, "Cee");

    active = LineupSide::Guest;
    addToLineup(state, active, registry.players[1]);
    EXPECT_EQ(state.guestClubLine, "A - ");
    EXPECT_EQ(state.guestTeamLine, "B - Bee");
    EXPECT_EQ(state.guestTeamTitle, "A -  B");
    EXPECT_EQ(state.guestTeamName, "Bee");
}

TEST(Lineups, RemovingByClickOnARow) {
    struct Case {
        const char* what;
        std::vector<std::string> before;
        std::vector<int> rows;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"empty line-up", {}, {0, 5}, {}},
        {"player inside leaves a gap", {"a", "b", "c", "d", "e"}, {2}, {"a", "b", "", "d", "e"}},
        {"a gap closes", {"a", "b", "c", "d", "e"}, {2, 2}, {"a", "b", "d", "e"}},
        {"last row removes the last", {"a", "b", "c"}, {2}, {"a", "b"}},
        {"a row below removes the last", {"a", "b", "c"}, {29}, {"a", "b"}},
        {"the last goes even after a gap", {"a", "", "c"}, {2}, {"a", ""}},
        {"a gap at the end goes as the last", {"a", ""}, {1}, {"a"}},
        {"first of several", {"a", "b"}, {0, 0}, {"b"}},
        {"only place", {"a"}, {0}, {}},
    };
    for (const auto& c : cases) {
        MatchState state;
        setLineup(state, LineupSide::Home, c.before);
        setLineup(state, LineupSide::Guest, {"g"});
        for (int row : c.rows)
            removeFromLineup(state, LineupSide::Home, row);
        EXPECT_EQ(placesOf(state, LineupSide::Home), c.after) << c.what;
        // Places that fell out of use are cleared.
        for (int p = static_cast<int>(c.after.size()) + 1; p <= kLineupPlaces; ++p)
            EXPECT_EQ(state.homeLineup[p], "") << c.what << " place " << p;
        EXPECT_EQ(placesOf(state, LineupSide::Guest), std::vector<std::string>{"g"}) << c.what;
    }
}

TEST(Lineups, GridTexts) {
    MatchState state;
    setLineup(state, LineupSide::Guest, {"a", "", "c"});
    state.guestLineup[4] = "stale";
    struct Case {
        int row, column;
        std::string text;
    };
    const Case cases[] = {{0, 0, " 1"}, {9, 0, " 10"}, {28, 0, " 29"}, {29, 0, " "}, {0, 1, "a"},
                          {1, 1, ""},   {2, 1, "c"},   {3, 1, ""},     {29, 1, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(lineupCellText(state, LineupSide::Guest, c.row, c.column), c.text)
            << c.row << "," << c.column;
    EXPECT_EQ(lineupCellText(state, LineupSide::Home, 0, 1), "");
}

TEST(Lineups, ConfirmationLoadsPlacesIntoSlots) {
    MatchState state;
    state.transliterateNames = 1;
    setLineup(state, LineupSide::Home, {"1 - \x8A\x9A Ann, d1 , ", "", "3 - Cee Cid, d3 , "});
    setLineup(state, LineupSide::Guest, {"2 - Bee Bob, d2 , "});
    state.player[2].throws[1] = 7;
    state.player[3].surname = "old";
    state.player[3].displayName = "old";
    state.player[4].surname = "beyond the guests";
    state.player[7].surname = "beyond the home side";

    loadLineupsIntoSlots(state);
    EXPECT_EQ(state.player[1].surname.str(), "\x8A\x9A");
    EXPECT_EQ(state.player[1].displayName.str(), "Ss Ann            ");
    EXPECT_EQ(state.player[2].registryLine.str(), "2 - Bee Bob, d2 , ");
    EXPECT_EQ(state.player[2].throws[1], 7);
    EXPECT_EQ(state.player[3].registryLine.str(), "");
    EXPECT_EQ(state.player[3].surname.str(), "");
    EXPECT_EQ(state.player[3].displayName.str(), std::string(18, ' '));
    EXPECT_EQ(state.player[5].firstName.str(), "Cid");
    EXPECT_EQ(state.player[4].surname.str(), "beyond the guests");
    EXPECT_EQ(state.player[7].surname.str(), "beyond the home side");
    EXPECT_EQ(state.player[0].registryLine.str(), "");

    const auto captions = playerCaptions(state);
    ASSERT_EQ(captions.size(), 16u);
    EXPECT_EQ(captions[0], "1 - \x8A\x9A Ann, d1 , ");
    EXPECT_EQ(captions[1], "2 - Bee Bob, d2 , ");
    EXPECT_EQ(captions[2], "");
    EXPECT_EQ(captions[4], "3 - Cee Cid, d3 , ");
    EXPECT_EQ(captions[15], "");
}

TEST(RegistryEdits, NewNodesGoWhereTheCurrentNodeSays) {
    RegistryTree tree;
    RegistryNode* club = tree.appendChild(nullptr, "K1 - ");
    RegistryNode* team = tree.appendChild(club, "T1 - ");
    RegistryNode* player = tree.appendChild(team, "P1");
    tree.appendChild(nullptr, "K2 - ");

    addClub(tree, "K0 - ");
    addTeam(tree, club, "T2 - ");   // current club: last team
    addTeam(tree, team, "T0 - ");   // current team: first team of its club
    addPlayer(tree, team, "P2");    // current team: last player
    addPlayer(tree, player, "P0");  // current player: first player of its team
    addTeam(tree, player, "odd");   // a team under a current player lands beside it
    addPlayer(tree, club, "stray"); // a player under a current club becomes the first club
    EXPECT_EQ(addTeam(tree, nullptr, "none"), nullptr);
    EXPECT_EQ(addPlayer(tree, nullptr, "none"), nullptr);
    EXPECT_EQ(outline(tree), "0|stray\n"
                             "0|K0 - \n"
                             "0|K1 - \n"
                             "1|T0 - \n"
                             "1|T1 - \n"
                             "2|odd\n"
                             "2|P0\n"
                             "2|P1\n"
                             "2|P2\n"
                             "1|T2 - \n"
                             "0|K2 - \n");
}

TEST(RegistryEdits, ChangingSortsSiblingsOrTheWholeTree) {
    RegistryTree tree;
    RegistryNode* zulu = tree.appendChild(nullptr, "Z - ");
    RegistryNode* team = tree.appendChild(zulu, "T - ");
    tree.appendChild(team, "3");
    RegistryNode* one = tree.appendChild(team, "1");
    tree.appendChild(team, "2");
    tree.appendChild(zulu, "S - ");
    RegistryNode* alpha = tree.appendChild(nullptr, "Y - ");
    tree.appendChild(alpha, "b");
    tree.appendChild(alpha, "a");

    changeLine(tree, one, "4", byteLess);
    EXPECT_EQ(outline(tree), "0|Z - \n1|T - \n2|2\n2|3\n2|4\n1|S - \n0|Y - \n1|b\n1|a\n");

    changeLine(tree, alpha, "X - ", byteLess);
    EXPECT_EQ(outline(tree), "0|X - \n1|a\n1|b\n0|Z - \n1|S - \n1|T - \n2|2\n2|3\n2|4\n");

    changeLine(tree, nullptr, "ignored", byteLess);
    NodeKind kind{};
    EXPECT_TRUE(kindOfNode(*one, kind));
    EXPECT_EQ(kind, NodeKind::Player);
    EXPECT_FALSE(kindOfNode(*tree.appendChild(one, "deeper"), kind));
}
