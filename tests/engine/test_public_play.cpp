#include "commercial/public_play.h"
#include "core/match_events.h"
#include "core/match_state.h"
#include "lanes/lane_link.h"
#include "support/frames.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

using namespace kuzelna;
using kuzelna::testing::laneStatus;
using kuzelna::testing::statusFrame;

namespace {

constexpr int kLane = 2;

struct Throw {
    int pins;
    bool allNine = false;
};

// Status bytes of a settled lane after a throw; all nine lamps lit when asked.
LaneStatus throwStatus(int counter, const Throw& t, bool settled = true) {
    LaneStatus s = laneStatus(counter, t.pins, settled);
    if (t.allNine) {
        s[7] = 0x7F;
        s[8] |= 0x03;
    }
    return s;
}

// Frames reach the public play through the receive loop of the lane line, the
// way the program wires it up.
class PublicPlay : public ::testing::Test {
protected:
    MatchState state;
    MatchEvents events;
    LaneLink link{state, events};
    PublicPlayDiagnostics& diagnostics = state.publicPlayDiagnostics;

    void SetUp() override { state.controls.publicPlayOn = true; }

    PublicPlayLane& game() { return state.publicLane[kLane]; }

    void frame(int lane, const LaneStatus& status) { link.onBytes(statusFrame(lane, status)); }
    void frame(const LaneStatus& status) { frame(kLane, status); }

    // A fresh gallows game of `players` players whose reference frame (counter 1)
    // has been taken, so that the next new counter is played.
    void startGallows(int players) {
        newGame(game());
        game().gameType = kGallows;
        game().playerCount = static_cast<u8>(players);
        frame(laneStatus(1, 9));
    }
};

TEST_F(PublicPlay, FirstNewCountOfAGameIsOnlyTheReference) {
    game().playerCount = 3;
    game().lastPins = 4;
    newGame(game());
    game().gameType = kGallows;

    frame(laneStatus(5, 0));
    EXPECT_EQ(game().lastThrowCount, 5);
    EXPECT_EQ(game().ignoreNext, 0);
    EXPECT_EQ(game().lastPins, 4);
    EXPECT_EQ(game().gamePosition[0], 0);
    EXPECT_EQ(game().currentPlayer, 0);
    EXPECT_EQ(game().rackPending, 1);

    frame(laneStatus(6, 0)); // now a fault of player 0
    EXPECT_EQ(game().gamePosition[0], 1);
    EXPECT_EQ(game().currentPlayer, 1);
}

TEST_F(PublicPlay, RepeatedCountIsPlayedOnce) {
    startGallows(3);
    for (int i = 0; i < 4; ++i)
        frame(laneStatus(2, 0));
    EXPECT_EQ(game().gamePosition[0], 1);
    EXPECT_EQ(game().gamePosition[1], 0);
    EXPECT_EQ(game().currentPlayer, 1);
}

TEST_F(PublicPlay, UnsettledCountIsPlayedAfterEightEqualFrames) {
    startGallows(3);
    for (int i = 0; i < 7; ++i)
        frame(laneStatus(2, 0, false));
    EXPECT_EQ(game().lastThrowCount, 1);
    EXPECT_EQ(game().gamePosition[0], 0);
    EXPECT_EQ(diagnostics.edit[0], "1") << "frames held back are not shown";

    frame(laneStatus(2, 0, false));
    EXPECT_EQ(game().lastThrowCount, 2);
    EXPECT_EQ(game().gamePosition[0], 1);
    EXPECT_EQ(game().currentPlayer, 1);

    // A settled frame is played at once.
    for (int i = 0; i < 7; ++i)
        frame(laneStatus(3, 0, false));
    EXPECT_EQ(game().gamePosition[1], 0);
    frame(laneStatus(3, 0));
    EXPECT_EQ(game().gamePosition[1], 1);
}

TEST_F(PublicPlay, IntakeReadsTheTwoCounterDigitsAndShowsTheFrame) {
    startGallows(2);
    frame(throwStatus(105, {7})); // the +100 flag is not applied
    EXPECT_EQ(game().lastThrowCount, 5);
    EXPECT_EQ(game().lastPins, 7);
    EXPECT_EQ(game().allNineLit, 0);
    EXPECT_EQ(diagnostics.edit[0], "5");
    EXPECT_EQ(diagnostics.edit[1], "7");
    EXPECT_EQ(diagnostics.edit[2], std::to_string(kLane));
    EXPECT_EQ(diagnostics.edit[3], "1");

    LaneStatus nearlyAll = throwStatus(6, {9, true});
    nearlyAll[8] &= static_cast<u8>(~0x02); // lamp of pin 9 dark
    frame(nearlyAll);
    EXPECT_EQ(game().allNineLit, 0);
    EXPECT_EQ(game().auxPosition[0], 0) << "not an all-nine throw: no marks";
    EXPECT_EQ(diagnostics.edit[3], "0");
}

TEST_F(PublicPlay, OtherGameTypesOnlyKeepTheLastThrow) {
    for (const u8 type : {kNoGame, kRace}) {
        state = MatchState{};
        state.controls.publicPlayOn = true;
        startGallows(3);
        game().gameType = type;
        frame(throwStatus(2, {0}));
        frame(throwStatus(3, {9, true}));
        EXPECT_EQ(game().lastThrowCount, 3);
        EXPECT_EQ(game().lastPins, 9);
        EXPECT_EQ(game().allNineLit, 1);
        EXPECT_EQ(game().gamePosition, (std::array<u8, 6>{})) << int(type);
        EXPECT_EQ(game().auxPosition, (std::array<u8, 6>{})) << int(type);
        EXPECT_EQ(game().currentPlayer, 0) << int(type);
        EXPECT_EQ(game().rackPending, 1) << int(type);
    }
}

TEST_F(PublicPlay, FramesReachOnlyTheLaneTheyCameFrom) {
    startGallows(2);
    state.publicLane[3].gameType = kGallows;
    state.publicLane[3].ignoreNext = 0;
    frame(3, laneStatus(4, 0));
    EXPECT_EQ(state.publicLane[3].gamePosition[0], 1);
    EXPECT_EQ(game().lastThrowCount, 1);
    EXPECT_EQ(game().gamePosition[0], 0);

    // Lanes beyond the lanes in play never get a frame.
    frame(5, laneStatus(4, 6));
    EXPECT_EQ(state.publicLane[5].lastThrowCount, 0);
    EXPECT_EQ(state.publicLane[5].ignoreNext, 1);
}

TEST_F(PublicPlay, SixLaneAlleyPlaysLanesFiveAndSix) {
    state.laneLayout = 3;
    state.laneCount = 6;
    for (int lane : {5, 6}) {
        frame(lane, laneStatus(1, 2));
        frame(lane, throwStatus(2, {9, true}));
        const PublicPlayLane& g = state.publicLane[static_cast<std::size_t>(lane)];
        EXPECT_EQ(g.lastThrowCount, 2) << lane;
        EXPECT_EQ(g.lastPins, 9) << lane;
        EXPECT_EQ(g.allNineLit, 1) << lane;
        EXPECT_EQ(g.auxPosition, (std::array<u8, 6>{})) << lane;
    }
}

TEST_F(PublicPlay, SwitchedOffTheFramesAreMatchThrows) {
    state.controls.publicPlayOn = false;
    game().gameType = kGallows;
    game().ignoreNext = 0;
    frame(laneStatus(4, 7));
    EXPECT_EQ(game().lastThrowCount, 0);
    EXPECT_EQ(game().countHistory, (std::array<u8, 9>{}));
    EXPECT_EQ(game().gamePosition, (std::array<u8, 6>{}));
    // Lane 2 starts with the guest of the first duel.
    EXPECT_EQ(state.player[2].throws[4], 7);
}

// The gallows rule, throw after throw, from the positions a game has reached.
TEST_F(PublicPlay, GallowsRule) {
    struct Case {
        const char* name;
        int players;
        std::array<u8, 6> stage, marks;
        int current;
        bool rackPending;
        std::vector<Throw> throws;
        std::array<u8, 6> wantStage, wantMarks, wantOut;
        int wantCurrent;
    };
    const Case cases[] = {
        {"fault costs the thrower a stage", 3, {}, {}, 0, true, {{0}}, {1, 0, 0}, {}, {}, 1},
        {"ordinary throws pass the turn round", 3, {}, {}, 0, true, {{5}, {3}, {8}, {1}}, {}, {}, {}, 1},
        {"all nine marks both neighbours", 3, {}, {}, 0, true, {{5}, {9, true}}, {}, {1, 0, 1}, {}, 2},
        {"third mark makes a stage",
         3,
         {0, 0, 4},
         {2, 0, 2},
         1,
         false,
         {{9, true}},
         {1, 0, 5},
         {0, 0, 0},
         {},
         2},
        {"all nine first in a game marks only the next",
         3,
         {},
         {},
         0,
         true,
         {{9, true}},
         {},
         {0, 1, 0},
         {},
         1},
        {"marks collected turn into a stage on the turn",
         3,
         {},
         {0, 3, 0},
         0,
         false,
         {{0}},
         {1, 1, 0},
         {},
         {},
         1},
        {"hanged player is skipped",
         3,
         {0, 9, 0},
         {},
         1,
         false,
         {{0}, {4}, {6}},
         {0, 10, 0},
         {},
         {0, 1, 0},
         2},
        {"mark that hangs the next passes the turn on",
         3,
         {0, 9, 0},
         {0, 2, 0},
         0,
         false,
         {{9, true}},
         {0, 10, 0},
         {0, 0, 1},
         {0, 1, 0},
         2},
        {"stages stop at ten", 2, {10, 3}, {}, 0, false, {{0}}, {10, 3}, {}, {1, 0}, 1},
        {"no one left: the turn stays", 1, {9}, {}, 0, false, {{0}, {9, true}, {4}}, {10}, {}, {1}, 0},
        {"no players: a fault still hits the current one",
         0,
         {},
         {},
         0,
         true,
         {{0}, {9, true}},
         {1},
         {},
         {},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state = MatchState{};
        state.controls.publicPlayOn = true;
        startGallows(c.players);
        game().gamePosition = c.stage;
        game().auxPosition = c.marks;
        for (int i = 0; i < 6; ++i)
            game().playerOut[static_cast<std::size_t>(i)] = c.stage[static_cast<std::size_t>(i)] >= 10;
        game().currentPlayer = static_cast<u8>(c.current);
        game().rackPending = c.rackPending;
        int counter = 1;
        for (const Throw& t : c.throws)
            frame(throwStatus(++counter, t));
        EXPECT_EQ(game().gamePosition, c.wantStage);
        EXPECT_EQ(game().auxPosition, c.wantMarks);
        EXPECT_EQ(game().playerOut, c.wantOut);
        EXPECT_EQ(game().currentPlayer, c.wantCurrent);
        EXPECT_EQ(game().rackPending, 0);
    }
}

TEST_F(PublicPlay, TurnOrderWrapsAndSkipsPlayersOut) {
    PublicPlayLane g;
    g.playerCount = 4;
    g.playerOut = {0, 1, 0, 1};
    EXPECT_EQ(nextPlayer(g, 0), 2);
    EXPECT_EQ(nextPlayer(g, 2), 0);
    EXPECT_EQ(previousPlayer(g, 0), 2);
    EXPECT_EQ(previousPlayer(g, 2), 0);
    g.playerCount = 1;
    g.playerOut = {};
    EXPECT_EQ(nextPlayer(g, 0), 0);
    EXPECT_EQ(previousPlayer(g, 0), 0);
    g.playerOut[0] = 1;
    EXPECT_EQ(nextPlayer(g, 0), std::nullopt);
    g.playerCount = 0;
    EXPECT_EQ(previousPlayer(g, 0), std::nullopt);
}

TEST_F(PublicPlay, NewGameKeepsNamesAndCount) {
    game().gameType = kGallows;
    game().playerName[2] = "Eva";
    game().playerCount = 4;
    game().currentPlayer = 3;
    game().gamePosition = {10, 2, 3, 4};
    game().auxPosition = {1, 2};
    game().playerOut = {1};
    game().ignoreNext = 0;
    game().rackPending = 0;
    newGame(game());
    EXPECT_EQ(game().gameType, kNoGame);
    EXPECT_EQ(game().playerName[2].str(), "Eva");
    EXPECT_EQ(game().playerCount, 4);
    EXPECT_EQ(game().currentPlayer, 0);
    EXPECT_EQ(game().gamePosition, (std::array<u8, 6>{}));
    EXPECT_EQ(game().auxPosition, (std::array<u8, 6>{}));
    EXPECT_EQ(game().playerOut, (std::array<u8, 6>{}));
    EXPECT_EQ(game().ignoreNext, 1);
    EXPECT_EQ(game().rackPending, 1);
}

// The two buttons play on whatever game type, and leave the frame bookkeeping alone.
TEST_F(PublicPlay, ThrowsByHand) {
    game().playerCount = 3;
    frame(laneStatus(4, 6));
    const auto history = game().countHistory;
    const auto last = game().lastThrowCount;
    game().ignoreNext = 1;
    ASSERT_EQ(game().gameType, kNoGame);

    playZeroByHand(game(), diagnostics);
    EXPECT_EQ(game().gamePosition[0], 1);
    EXPECT_EQ(game().currentPlayer, 1);
    EXPECT_EQ(diagnostics.edit[0], "0");
    EXPECT_EQ(diagnostics.edit[3], "1");

    playAllNineByHand(game(), diagnostics);
    EXPECT_EQ(game().auxPosition[0], 1);
    EXPECT_EQ(game().auxPosition[2], 1);
    EXPECT_EQ(game().currentPlayer, 2);
    EXPECT_EQ(diagnostics.edit[0], "1");
    EXPECT_EQ(diagnostics.edit[3], "2");

    EXPECT_EQ(game().countHistory, history);
    EXPECT_EQ(game().lastThrowCount, last);
    EXPECT_EQ(game().ignoreNext, 1);
}

TEST(PublicPlayPositions, StoringStopsAtTheFirstTextThatIsNoInteger) {
    using Texts = std::array<std::string, 6>;
    using Values = std::array<u8, 6>;
    struct Case {
        const char* name;
        Texts stage, marks;
        Values wantStage, wantMarks;
    };
    const Values before{7, 7, 7, 7, 7, 7};
    const Texts zeros{"0", "0", "0", "0", "0", "0"};
    const Case cases[] = {
        {"all numbers",
         {"1", "2", "3", "4", "5", "10"},
         {"0", "1", "2", " 2", "+1", "-0"},
         {1, 2, 3, 4, 5, 10},
         {0, 1, 2, 2, 1, 0}},
        {"stops in the stages", {"1", "2", "x", "4", "5", "6"}, zeros, {1, 2, 7, 7, 7, 7}, before},
        {"empty text stops", {"", "2", "3", "4", "5", "6"}, zeros, before, before},
        {"stops in the marks",
         {"1", "2", "3", "4", "5", "6"},
         {"2", "2.5", "1", "1", "1", "1"},
         {1, 2, 3, 4, 5, 6},
         {2, 7, 7, 7, 7, 7}},
        {"low byte of the value", {"256", "300", "-1", " 9 ", "1e3", "0"}, zeros, {0, 44, 255, 9, 7, 7}, before},
        {"beyond 32 bits is no integer",
         {"2147483647", "-2147483648", "2147483648", "0", "0", "0"},
         zeros,
         {255, 0, 7, 7, 7, 7},
         before},
        {"a sign alone is no integer", {"-", "1", "1", "1", "1", "1"}, zeros, before, before},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PublicPlayLane g;
        g.gamePosition = before;
        g.auxPosition = before;
        storePositions(g, c.stage, c.marks);
        EXPECT_EQ(g.gamePosition, c.wantStage);
        EXPECT_EQ(g.auxPosition, c.wantMarks);
        EXPECT_EQ(g.playerOut, Values{}) << "a stored 10 does not put anybody out";
    }
}

} // namespace
