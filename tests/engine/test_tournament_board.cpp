#include "boards/tournament_board.h"
#include "core/match_state.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace kuzelna;

namespace {

struct Pins {
    u16 full, clearing, faults;
};

void setEntry(MatchState& state, int k, const std::string& name, Pins p) {
    StandingsEntry& e = state.standings[static_cast<std::size_t>(k)];
    e.name = name;
    e.full = p.full;
    e.clearing = p.clearing;
    e.total = static_cast<u16>(p.full + p.clearing);
    e.faults = p.faults;
}

void setSlot(MatchState& state, int s, const std::string& surname, const std::string& firstName, Pins p) {
    PlayerSlot& slot = state.player[static_cast<std::size_t>(s)];
    slot.surname = surname;
    slot.firstName = firstName;
    slot.fullTotal = p.full;
    slot.clearingTotal = p.clearing;
    slot.total = static_cast<u16>(p.full + p.clearing);
    slot.faults = p.faults;
}

MatchState tournament(int pairCount, const std::string& entrantNumber, bool pairs = false) {
    MatchState state;
    state.controls.tournament = true;
    state.controls.pairs = pairs;
    state.pairCount = static_cast<u8>(pairCount);
    state.controls.entrantNumberText = entrantNumber;
    return state;
}

std::vector<int> order(const MatchState& state, int places) {
    return {state.standingsOrder.begin() + 1, state.standingsOrder.begin() + 1 + places};
}

} // namespace

TEST(PairLabel, JoinsOrCutsToFifteenCharacters) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Novak", "Dvorakov", "Novak-Dvorakov"},      // 5 + 8: whole
        {"Jirka", "Kratochvil", "Jirka-Kratochvi"},   // 5 + 10: the short one whole, the other cut to 9
        {"Kratochvil", "Jirka", "Kratochvi-Jirka"},   // the same with the short name second
        {"Jirka", "Prochazka", "Jirka-Prochazka"},    // 5 + 9 = 14: cut to 9, nothing lost
        {"Horakova", "Prochazka", "Horakov-Prochaz"}, // 8 + 9: seven of each
        {"Svoboda", "Dvorakova", "Svoboda-Dvorako"},  // 7 is not short
        {"", "Kratochvilova", "-Kratochvilova"},      // 0 + 13
    };
    for (const auto& [a, b, expected] : cases)
        EXPECT_EQ(pairLabel(a, b), expected) << a << " + " << b;
}

TEST(TournamentBoard, NoStoredEntrantsRanksTheLiveSlotsAndBlanksTheRest) {
    MatchState state = tournament(6, "1");
    const std::vector<int> pins = {300, 520, 410, 0, 515, 600, 280, 440, 390, 505, 10, 470};
    for (int s = 1; s <= 12; ++s)
        setSlot(state, s, "P" + std::to_string(s), "X", {static_cast<u16>(pins[s - 1]), 0, 0});
    state.standingsOrder[20] = 7; // left over from an earlier ranking

    const TournamentBoardTexts texts = tournamentBoardTexts(state);
    EXPECT_EQ(order(state, 24),
              (std::vector<int>{1006, 1002, 1005, 1010, 1012, 1008, 1003, 1009, 1001, 1007, 1011, 1004,
                                0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0}));
    EXPECT_EQ(texts.places[0].name, "P6 X");
    EXPECT_EQ(texts.places[0].total, "600");
    for (std::size_t p = 12; p < 24; ++p) {
        EXPECT_EQ(texts.places[p].name, "") << "place " << p + 1;
        EXPECT_EQ(texts.places[p].total, "") << "place " << p + 1;
    }
}

// One stored entrant against the first live slot (slot 2 trails with nothing).
TEST(TournamentBoard, SinglesTieRules) {
    struct Case {
        const char* what;
        Pins stored, live;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"more pins", {300, 200, 9}, {300, 199, 0}, {1, 1001, 1002}},
        {"equal pins, more clearing", {350, 150, 0}, {349, 151, 9}, {1001, 1, 1002}},
        {"equal pins and clearing, fewer faults", {350, 150, 3}, {350, 150, 2}, {1001, 1, 1002}},
        {"all equal: the stored entrant first", {350, 150, 2}, {350, 150, 2}, {1, 1001, 1002}},
    };
    for (const Case& c : cases) {
        MatchState state = tournament(1, "2");
        setEntry(state, 1, "Stored", c.stored);
        setSlot(state, 1, "Live", "One", c.live);
        rankCompetitors(state);
        EXPECT_EQ(order(state, 4), (std::vector<int>{c.expected[0], c.expected[1], c.expected[2], 0}))
            << c.what;
    }

    MatchState live = tournament(2, "1");
    for (int s = 1; s <= 4; ++s)
        setSlot(live, s, "S", "", {200, 100, 4});
    setSlot(live, 3, "S", "", {200, 100, 3});
    rankCompetitors(live);
    EXPECT_EQ(order(live, 4), (std::vector<int>{1003, 1001, 1002, 1004}));
}

TEST(TournamentBoard, PairsRankStoredPairsBeforeEqualLivePairs) {
    MatchState state = tournament(2, "5", true); // stored pairs 1 and 2, live pairs 1 and 2
    setEntry(state, 1, "Alfa", {200, 100, 5});
    setEntry(state, 2, "Beta", {210, 90, 5}); // pair 1: 600, clearing 190, faults 10
    setEntry(state, 3, "Gama", {300, 100, 1});
    setEntry(state, 4, "Delta", {100, 100, 1}); // pair 2: 600, clearing 200
    setSlot(state, 1, "Novak", "Jan", {250, 100, 5});
    setSlot(state, 2, "Dvorak", "Petr", {60, 90, 5}); // live pair 1: 500
    setSlot(state, 3, "Kos", "Ota", {300, 100, 4});
    setSlot(state, 4, "Sova", "Eva", {100, 100, 6}); // live pair 2: like pair 2 with more faults

    const TournamentBoardTexts texts = tournamentBoardTexts(state);
    EXPECT_EQ(order(state, 6), (std::vector<int>{2, 1002, 1, 1001, 0, 0}));
    EXPECT_EQ(texts.places[0].name, "Gama-Delta");
    EXPECT_EQ((std::array{texts.places[0].full, texts.places[0].clearing, texts.places[0].total}),
              (std::array<std::string, 3>{"400", "200", "600"}));
    EXPECT_EQ(texts.places[3].name, "Novak J-Dvorak ");
    EXPECT_EQ((std::array{texts.places[3].full, texts.places[3].clearing, texts.places[3].total}),
              (std::array<std::string, 3>{"310", "190", "500"}));
    EXPECT_EQ(texts.places[1].name, "Kos Ota-Sova Ev");
    EXPECT_EQ(texts.places[2].name, "Alfa-Beta");
}

TEST(TournamentBoard, LivePairNamesLoseLeadingBlanks) {
    MatchState state = tournament(1, "1", true);
    setSlot(state, 1, "", "Jan", {10, 0, 0});
    setSlot(state, 2, "Kos", "Ota", {5, 0, 0});
    EXPECT_EQ(tournamentBoardTexts(state).places[0].name, "Jan-Kos Ota");
}

// An odd number of stored entrants leaves the last, incomplete pair out until
// its second member is stored; the live pairs stay the line-up's duels.
TEST(TournamentBoard, IncompleteStoredPairWaits) {
    MatchState state = tournament(2, "4", true); // entrants 1..3 stored
    setEntry(state, 1, "A", {100, 0, 0});
    setEntry(state, 2, "B", {100, 0, 0});
    setEntry(state, 3, "C", {900, 0, 0});
    setSlot(state, 1, "L", "1", {50, 0, 0});
    setSlot(state, 4, "L", "4", {60, 0, 0});
    state.player[5].fullTotal = 999; // beyond the two live pairs
    rankCompetitors(state);
    EXPECT_EQ(order(state, 4), (std::vector<int>{1, 1002, 1001, 0}));
}

TEST(TournamentBoard, EntrantNumberCaps) {
    // Singles: N above 25 counts as 25, so entries 1..24 take part and 25 does not.
    MatchState singles = tournament(1, "40");
    for (int k = 1; k <= 53; ++k)
        setEntry(singles, k, "E" + std::to_string(k), {static_cast<u16>(k), 0, 0});
    rankCompetitors(singles);
    std::vector<int> expected;
    for (int k = 24; k >= 1; --k)
        expected.push_back(k);
    expected.push_back(1001);
    expected.push_back(1002);
    expected.push_back(0);
    EXPECT_EQ(order(singles, 27), expected);

    // Pairs: N above 51 counts as 51, stored pairs 1..25. The 25th pair is shown
    // as a stored pair, not read as a live one.
    MatchState pairs = tournament(1, "70", true);
    for (int k = 1; k <= 53; ++k)
        setEntry(pairs, k, "E" + std::to_string(k), {static_cast<u16>(k), 1, 0});
    const TournamentBoardTexts texts = tournamentBoardTexts(pairs);
    EXPECT_EQ(order(pairs, 3), (std::vector<int>{25, 24, 23}));
    EXPECT_EQ(pairs.standingsOrder[26], 1001);
    EXPECT_EQ(pairs.standingsOrder[27], 0);
    EXPECT_EQ(texts.places[0].name, "E49-E50");
    EXPECT_EQ(texts.places[0].total, "101");
}

TEST(TournamentBoard, EntrantNumberThatIsNoIntegerAbandonsTheRanking) {
    // Out of the field's range too: "65537" was taken as 1, a 16-bit number.
    for (const char* text : {"abc", "", "12x", "1.5", "--0", "65537", "402", "-1", "2147483647"}) {
        MatchState state = tournament(1, text);
        state.standingsOrder[1] = 1002;
        state.standingsOrder[2] = 1001;
        EXPECT_THROW(tournamentBoardTexts(state), std::invalid_argument) << '"' << text << '"';
        EXPECT_EQ(order(state, 3), (std::vector<int>{1002, 1001, 0}));
    }
    // Typed zero would drop slot 1: it counts as "no stored entrants".
    MatchState zero = tournament(1, "0");
    setEntry(zero, 1, "Stale", {999, 0, 0});
    rankCompetitors(zero);
    EXPECT_EQ(order(zero, 3), (std::vector<int>{1001, 1002, 0}));
}

TEST(TournamentBoard, ZeroFullPinsAreBlankInTheListButNotOnTheLanes) {
    MatchState state = tournament(1, "2");
    setEntry(state, 1, "Stored One", {0, 120, 3});
    setSlot(state, 1, "Live", "Two", {0, 80, 2});
    state.laneCount = 2;
    const TournamentBoardTexts texts = tournamentBoardTexts(state);
    EXPECT_EQ(texts.places[0].name, "Stored One");
    EXPECT_EQ((std::array{texts.places[0].full, texts.places[0].clearing, texts.places[0].total}),
              (std::array<std::string, 3>{"", "120", "120"}));
    EXPECT_EQ((std::array{texts.places[1].full, texts.places[1].clearing, texts.places[1].total}),
              (std::array<std::string, 3>{"", "80", "80"}));
    EXPECT_EQ((std::array{texts.places[2].name, texts.places[2].full, texts.places[2].total}),
              (std::array<std::string, 3>{" ", "", ""}))
        << "slot 2 played nothing";
    EXPECT_EQ(
        (std::array{texts.live[0].name, texts.live[0].full, texts.live[0].clearing, texts.live[0].total}),
        (std::array<std::string, 4>{"Live Two", "0", "80", "80"}));
    EXPECT_EQ((std::array{texts.live[1].full, texts.live[1].total}), (std::array<std::string, 2>{"0", "0"}));
}

TEST(TournamentBoard, LiveBlockFollowsTheLaneCount) {
    for (int lanes : {2, 4, 6}) {
        MatchState state = tournament(6, "1");
        for (int s = 1; s <= 12; ++s)
            setSlot(state, s, "S" + std::to_string(s), "", {static_cast<u16>(s), 0, 0});
        state.laneCount = lanes;
        state.firstPairOfBlock = 2; // slots 3 ..
        const TournamentBoardTexts texts = tournamentBoardTexts(state);
        EXPECT_EQ(texts.liveNumbersShown, lanes);
        for (int position = 1; position <= 6; ++position) {
            const TournamentLine& line = texts.live[static_cast<std::size_t>(position - 1)];
            if (position <= lanes) {
                EXPECT_EQ(line.name, "S" + std::to_string(position + 2) + " ") << lanes << " lanes";
                EXPECT_EQ(line.total, std::to_string(position + 2)) << lanes << " lanes";
            } else {
                EXPECT_EQ(line.name + line.full + line.clearing + line.total, "") << lanes << " lanes";
            }
        }
    }
    // The last block of a 30-duel tournament on six lanes would reach past slot 60.
    MatchState last = tournament(30, "1");
    last.laneCount = 6;
    last.firstPairOfBlock = 30;
    setSlot(last, 60, "Last", "One", {1, 2, 0});
    const TournamentBoardTexts texts = tournamentBoardTexts(last);
    EXPECT_EQ(texts.live[1].name, "Last One");
    EXPECT_EQ(texts.live[2].name, "");
    EXPECT_EQ(texts.live[5].total, "");
}
