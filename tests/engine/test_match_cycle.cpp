#include "core/match_state.h"
#include "lanes/match_cycle.h"
#include "scoring/throw_recording.h"
#include "support/frames.h"
#include "support/recording_events.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kuzelna;
using kuzelna::testing::bytes;
using kuzelna::testing::laneStatus;
using kuzelna::testing::RecordingEvents;
using kuzelna::testing::sentBodies;
using kuzelna::testing::sentFrame;

namespace {

struct Cycle {
    explicit Cycle(int lanes = 4, int pair = 1) {
        s->linkPaused = 0;
        s->gameKind = 2; // "120 Hs": 30 throws per lane, 4 lanes per player
        s->lanesPerPlayer = 4;
        s->laneLayout = lanes == 4 ? 1 : lanes == 2 ? 2 : 3;
        s->laneCount = lanes;
        s->lanePair = static_cast<u8>(pair);
    }
    // Ticks until `frames` frames were sent; returns their bodies.
    std::vector<std::string> run(int frames) {
        std::vector<std::string> out;
        for (int guard = 0; static_cast<int>(out.size()) < frames && guard < 10000; ++guard) {
            for (auto& body : sentBodies(cycle.tick()))
                out.push_back(body);
        }
        return out;
    }
    // The next link step sends the display frame of step `step` (0 = score).
    std::string displayNow(int step) {
        s->pollDelay = 0;
        s->pollsBeforeDisplay = 1;
        s->displayStep = static_cast<u8>(step + 1);
        return cycle.tick();
    }
    void lane(int lane, int counter) {
        s->laneStatus[static_cast<std::size_t>(lane)] = laneStatus(counter, 0);
    }
    std::unique_ptr<MatchState> s = std::make_unique<MatchState>();
    RecordingEvents events;
    MatchCycle cycle{*s, events};
};

// The kind of a frame body, as the parser reads it.
std::string kindOf(const std::string& body) {
    const ServerFrame frame = parseFrameBody(body);
    if (const auto* poll = std::get_if<PollFrame>(&frame))
        return "poll " + std::to_string(poll->physicalLane);
    if (std::holds_alternative<ScoreFrame>(frame)) return "score";
    if (std::holds_alternative<TeamNamesFrame>(frame)) return "names";
    if (std::holds_alternative<MatchPointsFrame>(frame)) return "points";
    if (const auto* name = std::get_if<LaneNameFrame>(&frame))
        return "lane " + std::to_string(name->physicalLane);
    if (const auto* points = std::get_if<LaneSetPointsFrame>(&frame))
        return "setpoints " + std::to_string(points->physicalLane);
    if (std::holds_alternative<KeyFrame>(frame) || std::holds_alternative<LaneStartStopFrame>(frame))
        return "key";
    return "?";
}

// The 18 text bytes and three high-bit bytes of a display name, written out by hand:
// "Dvořák Jiří" (ř = F8, á = E1, í = ED).
const std::string kName = "Dvo\xF8\xE1k Ji\xF8\xED";
std::string nameBytes() {
    return bytes({0xC4, 0xF6, 0xEF, 0xF8, 0xE1, 0xEB, 0xA0, 0xCA, 0xE9, 0xF8, 0xED,
                  0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0x98, 0x8C, 0x80});
}

} // namespace

TEST(MatchCycle, DisplaySequences) {
    struct Case {
        int lanes, pair;
        bool extra;
        std::vector<std::string> displays; // one after every seven polls
        std::vector<int> polled;           // lanes polled, in turn
    };
    const Case cases[] = {
        {4,
         1,
         true,
         {"names", "points", "lane 4", "lane 3", "lane 2", "lane 1", "score", "names"},
         {1, 2, 3, 4}},
        {4, 1, false, {"score", "score", "score"}, {1, 2, 3, 4}},
        {2, 1, true, {"names", "points", "lane 2", "lane 1", "score", "names"}, {1, 2}},
        {2, 2, true, {"names", "points", "lane 4", "lane 3", "score"}, {3, 4}},
        {6,
         1,
         true,
         {"names", "points", "lane 6", "lane 5", "lane 4", "lane 3", "lane 2", "lane 1", "score"},
         {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lanes) + " lanes, pair " + std::to_string(c.pair));
        Cycle cycle(c.lanes, c.pair);
        cycle.s->controls.displayExtra = c.extra;
        // Without frames from the lanes a link step happens every third tick.
        std::vector<std::string> kinds;
        for (int tick = 0; tick < 3 * (1 + 8 * static_cast<int>(c.displays.size())); ++tick) {
            const auto bodies = sentBodies(cycle.cycle.tick());
            ASSERT_EQ(bodies.size(), tick % 3 == 0 ? 1u : 0u) << "tick " << tick;
            if (!bodies.empty()) kinds.push_back(kindOf(bodies[0]));
        }
        std::vector<std::string> expected{"score"}; // the first step after Start
        std::size_t poll = 0;
        for (const std::string& display : c.displays) {
            for (int i = 0; i < 7; ++i)
                expected.push_back("poll " + std::to_string(c.polled[poll++ % c.polled.size()]));
            expected.push_back(display);
        }
        EXPECT_EQ(kinds, expected);
    }
}

TEST(MatchCycle, AFrameFromALaneBringsTheNextLinkStepForward) {
    Cycle c;
    c.run(1);
    EXPECT_EQ(c.cycle.tick(), "");
    c.s->pollDelay = 0; // as the receive loop does for every valid frame
    EXPECT_EQ(kindOf(sentBodies(c.cycle.tick()).at(0)), "poll 1");
}

TEST(MatchCycle, ScoreFrame) {
    struct Case {
        int home, guest;
        std::vector<int> data; // the 12 data bytes
        std::vector<std::string> drawn;
    };
    const Case cases[] = {
        {1234,
         987,
         {0x87, 0x88, 0x89, 0x80, 0x8A, 0x87, 0x84, 0x82, 0x84, 0x83, 0x82, 0x81},
         {"600:7", "590:8", "580:9", "570:0", "500:-", "490:7", "480:4", "470:2", "400:4", "390:3", "380:2",
          "370:1"}},
        {900,
         1000,
         {0x80, 0x80, 0x80, 0x81, 0x80, 0x80, 0x81, 0x8A, 0x80, 0x80, 0x89, 0x80},
         {"600:0", "590:0", "580:0", "570:1", "500:0", "490:0", "480:1", "470:-", "400:0", "390:0", "380:9",
          "370:0"}},
        {500, 500, {0x80, 0x80, 0x85, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x85, 0x80}, {}},
        {2500, 1000, {0x80, 0x80, 0x80, 0x81, 0x80, 0x80, 0x85, 0x81, 0x80, 0x80, 0x85, 0x82}, {}},
        {2000, 3100, {0x80, 0x80, 0x81, 0x83, 0x80, 0x80, 0x81, 0x81, 0x80, 0x80, 0x80, 0x82}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.home) + ":" + std::to_string(c.guest));
        Cycle cycle;
        // Home pins on slots 1 and 15, guest pins on 2 and 16; slot 17 is beyond the score.
        cycle.s->player[1].fullTotal = static_cast<u16>(c.home - 300);
        cycle.s->player[15].clearingTotal = 300;
        cycle.s->player[2].fullTotal = static_cast<u16>(c.guest / 2);
        cycle.s->player[16].clearingTotal = static_cast<u16>(c.guest - c.guest / 2);
        cycle.s->player[17].fullTotal = 5000;
        std::string body = bytes({0x90, 0x94, 0x81});
        for (int b : c.data)
            body.push_back(static_cast<char>(b));
        EXPECT_EQ(cycle.displayNow(0), sentFrame(body));
        if (!c.drawn.empty()) {
            EXPECT_EQ(cycle.events.digits, c.drawn);
        }
        EXPECT_EQ(cycle.events.digits.size(), 12u);
    }

    Cycle tournament;
    tournament.s->controls.tournament = true;
    tournament.s->player[1].fullTotal = 321;
    EXPECT_EQ(tournament.displayNow(0), sentFrame(bytes({0x90, 0x94, 0x81, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0x8B,
                                                         0x8C, 0x8D, 0x8E, 0x8F, 0x8B, 0x8C})));
    EXPECT_TRUE(tournament.events.digits.empty());
}

TEST(MatchCycle, TeamNamesFrame) {
    Cycle c;
    c.s->controls.displayExtra = true;
    c.s->homeTeamName = "Sokol Brno Jih";
    c.s->guestTeamName = "TJ \x8E"
                         "atec"; // Ž = 8E
    c.s->displayToggle = 0;
    // "Sokol Brn" + "TJ Žatec "; Ž is character 13: bit 5 of the second high-bit byte
    EXPECT_EQ(c.displayNow(c.s->laneCount + 2),
              sentFrame(bytes({0x99, 0x9E, 0x81, 0xD3, 0xEF, 0xEB, 0xEF, 0xEC, 0xA0, 0xC2, 0xF2, 0xEE,
                               0xD4, 0xCA, 0xA0, 0x8E, 0xE1, 0xF4, 0xE5, 0xE3, 0xA0, 0x80, 0xA0, 0x80})));
    c.s->manualTeamNames = 1;
    c.s->manualHomeName = "A";
    c.s->manualGuestName = "";
    c.s->displayToggle = 0;
    EXPECT_EQ(c.displayNow(c.s->laneCount + 2),
              sentFrame(bytes({0x99, 0x9E, 0x81, 0xC1, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0,
                               0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0x80, 0x80, 0x80})));
}

TEST(MatchCycle, MatchPointsFrameInBothScales) {
    Cycle c;
    // Slots 1..12: home duel points 2+2+1+0+0+2 = 7, guest 5; home has more pins.
    const int duel[] = {2, 2, 1, 0, 0, 2};
    for (int d = 0; d < 6; ++d) {
        c.s->player[static_cast<std::size_t>(2 * d + 1)].duelPoints = static_cast<u16>(duel[d]);
        c.s->player[static_cast<std::size_t>(2 * d + 2)].duelPoints = static_cast<u16>(2 - duel[d]);
    }
    c.s->player[11].fullTotal = 400;
    c.s->player[12].fullTotal = 390;
    c.s->player[14].fullTotal = 999; // slot 14 is not counted
    c.s->player[13].duelPoints = 2;  // nor is slot 13
    c.s->displayToggle = 1;
    const std::string head = bytes({0x90, 0x95, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85});
    // home 7 + 4 = 11 (5.5 points), guest 5 (2.5 points)
    EXPECT_EQ(c.displayNow(c.s->laneCount + 1),
              sentFrame(head + bytes({0x8B, 0x8B, 0x85, 0x82, 0x81, 0x85, 0x85})));
    c.s->score16 = 1;
    c.s->player[12].fullTotal = 400; // equal pins: 2 each
    c.s->player[3].duelPoints = 10;  // home 7 - 2 + 10 + 2 = 17, guest 5 + 2 = 7
    c.s->displayToggle = 1;
    EXPECT_EQ(c.displayNow(c.s->laneCount + 1),
              sentFrame(head + bytes({0x8C, 0x8C, 0x87, 0x80, 0x81, 0x87, 0x81})));
}

TEST(MatchCycle, LaneNameFramesWithSetPointOverlays) {
    struct Case {
        SetPointDisplay display;
        int setPoints;
        std::vector<std::pair<int, int>> replaced; // text position 1..18, plain byte
    };
    const Case cases[] = {
        {SetPointDisplay::Off, 5, {}},
        {SetPointDisplay::Chars12, 5, {{10, '2'}, {11, '.'}, {12, '5'}}},
        {SetPointDisplay::Chars15, 4, {{15, '2'}}},
        {SetPointDisplay::Chars18, 3, {{16, '1'}, {17, '.'}, {18, '5'}}},
        {SetPointDisplay::Chars12, 0, {{12, '0'}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.display));
        Cycle cycle;
        cycle.s->controls.setPointDisplay = c.display;
        cycle.s->firstPairOfBlock = 2;
        cycle.s->player[5].displayName = kName; // lane 3 of block 2, blank counter: slot 2·2 + 3 − 2
        cycle.s->player[5].setPointsTotal = static_cast<u16>(c.setPoints);
        cycle.lane(3, -1);
        std::string text = nameBytes();
        for (const auto& [position, byte] : c.replaced)
            text[static_cast<std::size_t>(position - 1)] = static_cast<char>(byte);
        const std::string expected = sentFrame(bytes({0x99, 0xC2, 0x81}) + text);
        EXPECT_EQ(cycle.displayNow(3), expected);
        EXPECT_EQ(cycle.s->laneFrameCache[3], expected);
        EXPECT_EQ(cycle.s->lanePlayerOnDisplay[3], 5);
        EXPECT_EQ(cycle.s->laneDisplayThrows[3], 1);
    }
}

TEST(MatchCycle, LaneSetPointsFrame) {
    const std::pair<int, std::vector<int>> cases[] = {
        {5, {0x85, 0x82}}, {4, {0x80, 0x82}}, {0, {0x80, 0x80}}, {8, {0x80, 0x84}}, {9, {}}};
    for (const auto& [points, pointBytes] : cases) {
        Cycle c(2, 2); // lane 1 is physical lane 3
        c.s->controls.setPointDisplay = SetPointDisplay::Display;
        c.s->player[1].setPointsTotal = static_cast<u16>(points);
        c.s->nameSwapCountdown = 100; // never held
        c.lane(1, -1);
        std::string body =
            bytes({0x90, 0x92, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8B});
        for (int b : pointBytes)
            body.push_back(static_cast<char>(b));
        EXPECT_EQ(c.displayNow(1), sentFrame(body)) << points;
    }
}

TEST(MatchCycle, WholeSetScoringShowsWholeSetPoints) {
    // Under "Tandem" a won set is one point, not two half points.
    Cycle overlay;
    overlay.s->controls.tandem = true;
    overlay.s->controls.setPointDisplay = SetPointDisplay::Chars12;
    overlay.s->firstPairOfBlock = 2;
    overlay.s->player[5].displayName = kName;
    overlay.s->player[5].setPointsTotal = 3;
    overlay.lane(3, -1);
    std::string text = nameBytes();
    text[11] = '3';
    EXPECT_EQ(overlay.displayNow(3), sentFrame(bytes({0x99, 0xC2, 0x81}) + text));

    Cycle points(2, 2);
    points.s->controls.tandem = true;
    points.s->controls.setPointDisplay = SetPointDisplay::Display;
    points.s->player[1].setPointsTotal = 3;
    points.lane(1, -1);
    EXPECT_EQ(points.displayNow(1),
              sentFrame(bytes({0x90, 0x92, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8B,
                               0x80, 0x83})));
}

TEST(MatchCycle, WhichPlayerALaneDisplayShows) {
    struct Case {
        const char* name;
        int kind, lanesPerPlayer, counter, countdownBefore;
        int shownSlot, shownThrow; // -1: the display kept its previous player
        int countdownAfter;
    };
    // 4 lanes, block 1, lane 1; the countdown falls by one on the tick itself.
    const Case cases[] = {
        {"early in a lane", 2, 4, 5, 0, 1, 4, 300},
        {"mid second lane", 2, 4, 45, 0, 2, 44, 300},
        {"late in the game", 2, 4, 75, 7, 4, 74, 3000},
        {"lane change shows the next player", 2, 4, 30, 0, 2, 30, 0},
        {"lane change is held", 2, 4, 30, 50, -1, -1, 49},
        {"end of the last lane keeps the player", 2, 4, 120, 0, 3, 119, 0},
        {"40 Hs mid second lane", 6, 2, 35, 0, 2, 34, 3000},
        {"40 Hs first lane", 6, 2, 25, 0, 2, 24, 300},
        {"40 Hs end", 6, 2, 40, 0, 2, 39, 0},
        {"100 Hs before the first throw", 3, 2, 0, 0, 1, 0, 0},
        {"100 Hs lane change", 3, 2, 50, 0, 2, 50, 0},
        {"blank counter: the block's first player on it", 2, 4, -1, 0, 1, 1, 0},
        {"blank counter held", 2, 4, -1, 9, -1, -1, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cycle cycle;
        cycle.s->controls.displayExtra = true;
        cycle.s->gameKind = static_cast<u8>(c.kind);
        cycle.s->lanesPerPlayer = static_cast<u8>(c.lanesPerPlayer);
        cycle.s->firstPairOfBlock = 3;
        for (int slot = 5; slot <= 8; ++slot)
            cycle.s->player[static_cast<std::size_t>(slot)].displayName =
                std::string(1, static_cast<char>('A' + slot));
        cycle.s->lanePlayerOnDisplay[1] = 60;
        cycle.s->laneDisplayThrows[1] = 77;
        cycle.s->laneFrameCache[1] = "cached";
        cycle.s->nameSwapCountdown = c.countdownBefore;
        cycle.lane(1, c.counter);
        const std::string sent = cycle.displayNow(1);
        EXPECT_EQ(cycle.s->nameSwapCountdown, c.countdownAfter);
        if (c.shownSlot < 0) {
            EXPECT_EQ(sent, "cached");
            EXPECT_EQ(cycle.s->lanePlayerOnDisplay[1], 60);
            EXPECT_EQ(cycle.s->laneDisplayThrows[1], 77);
        } else {
            const int slot = c.shownSlot + 4; // block 3 starts at slot 5
            std::string text = bytes({0xC1 + slot});
            text += std::string(17, '\xA0') + bytes({0x80, 0x80, 0x80});
            EXPECT_EQ(sent, sentFrame(bytes({0x99, 0xC0, 0x81}) + text));
            EXPECT_EQ(cycle.s->lanePlayerOnDisplay[1], slot);
            EXPECT_EQ(cycle.s->laneDisplayThrows[1], c.shownThrow);
        }
    }
}

// 2 lanes, "120 Hs": the last segment puts slot 2 on lane 1 and slot 1 on
// lane 2. Lane 1 finishing first must not bring up slot 1, who still plays on
// lane 2, once the hold has run out.
TEST(MatchCycle, ALaneDoneWithItsBlockKeepsItsLastPlayer) {
    Cycle c(2);
    c.s->controls.displayExtra = true;
    for (int slot = 1; slot <= 4; ++slot)
        c.s->player[static_cast<std::size_t>(slot)].displayName =
            std::string(1, static_cast<char>('A' + slot - 1));
    auto nameFrame = [](char letter, int lane) {
        return sentFrame(bytes({0x99, 0xC0 + lane - 1, 0x81, 0x80 | letter}) + std::string(17, '\xA0') +
                         bytes({0x80, 0x80, 0x80}));
    };
    auto record = [&](int lane, int counter) {
        c.lane(lane, counter);
        recordLane(*c.s, lane, c.events);
    };
    record(1, 120);
    record(2, 100);
    record(1, -1); // lane 1 done, lane 2 still playing
    EXPECT_EQ(c.s->firstPairOfBlock, 1);
    c.s->nameSwapCountdown = 0;
    EXPECT_EQ(c.displayNow(1), nameFrame('B', 1));
    EXPECT_EQ(c.s->lanePlayerOnDisplay[1], 2);
    c.s->nameSwapCountdown = 0;
    EXPECT_EQ(c.displayNow(2), nameFrame('A', 2));

    record(2, 120);
    record(2, -1); // the block is over: the next one's players take the lanes
    EXPECT_EQ(c.s->firstPairOfBlock, 2);
    c.s->nameSwapCountdown = 0;
    EXPECT_EQ(c.displayNow(1), nameFrame('C', 1));
    EXPECT_EQ(c.displayNow(2), nameFrame('D', 2));
}

TEST(MatchCycle, HundredThrowsWrapKeepsTheLastPlayerOnTheDisplay) {
    Cycle c;
    c.s->gameKind = 3;
    c.s->lanesPerPlayer = 2;
    c.s->player[2].displayName = "B";
    c.lane(1, 0);
    c.s->laneWrapped[1] = 1; // throw recording saw the counter fall from 99 to 0
    EXPECT_EQ(c.displayNow(1), sentFrame(bytes({0x99, 0xC0, 0x81, 0xC2}) + std::string(17, '\xA0') +
                                         bytes({0x80, 0x80, 0x80})));
    EXPECT_EQ(c.s->lanePlayerOnDisplay[1], 2);
    EXPECT_EQ(c.s->laneDisplayThrows[1], 99);
}

TEST(MatchCycle, NameSwapCountdownReportsWholeSeconds) {
    Cycle c;
    c.s->linkPaused = 1;
    c.s->nameSwapCountdown = 25;
    for (int i = 0; i < 40; ++i)
        c.cycle.tick();
    EXPECT_EQ(c.events.swapSeconds, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(c.s->nameSwapCountdown, 0);
    c.s->nameSwapCountdown = 1; // "Vymena jmen": the hold ends on the next tick
    c.cycle.tick();
    EXPECT_EQ(c.events.swapSeconds.back(), 0);
    EXPECT_EQ(c.events.swapSeconds.size(), 4u);
}

TEST(MatchCycle, KeysAndLaneCommandsGoFirstEvenWhilePaused) {
    const std::pair<int, int> keypadLanes[] = {{0, 1}, {1, 1}, {2, 2}, {8, 8}, {9, 1}, {-3, 1}};
    for (const auto& [chosen, sentTo] : keypadLanes) {
        Cycle c;
        c.s->linkPaused = 1;
        c.s->keyPending = 1;
        c.s->keyCode = 0x23;
        c.s->controls.keypadLane = chosen;
        EXPECT_EQ(c.cycle.tick(), sentFrame(bytes({0x85, 0x80 | (sentTo - 1), 0x82, 0xA3}))) << chosen;
        EXPECT_EQ(c.s->keyPending, 0);
    }

    Cycle c; // running: commands still come before polls
    c.s->laneCommand[5] = 1;
    c.s->laneCommand[2] = 1;
    std::vector<std::string> sent;
    for (int i = 0; i < 12; ++i)
        sent.push_back(c.cycle.tick());
    EXPECT_EQ(sent[0], sentFrame(bytes({0x85, 0x81, 0x82, 0xF8})));
    EXPECT_EQ(sent[3], sentFrame(bytes({0x85, 0x84, 0x82, 0xF8})));
    EXPECT_EQ(kindOf(sentBodies(sent[6]).at(0)), "score");
    EXPECT_EQ(kindOf(sentBodies(sent[9]).at(0)), "poll 1");
}

// The last throws can come in after the last score went out: once the match is
// over the final score and match points go out once more, then nothing at all.
TEST(MatchCycle, OnlyTheFinalFramesAfterTheMatchIsOver) {
    for (const bool displayExtra : {true, false}) {
        SCOPED_TRACE(displayExtra ? "Display extra" : "score only");
        Cycle c;
        c.s->controls.displayExtra = displayExtra;
        c.s->matchOver = true;
        c.s->keyPending = 1;
        c.s->laneCommand[1] = 1;
        c.s->nameSwapCountdown = 30;
        std::vector<std::string> kinds;
        for (int i = 0; i < 30; ++i) {
            for (const std::string& body : sentBodies(c.cycle.tick()))
                kinds.push_back(kindOf(body));
        }
        const std::vector<std::string> expected =
            displayExtra ? std::vector<std::string>{"score", "points"} : std::vector<std::string>{"score"};
        EXPECT_EQ(kinds, expected);
        EXPECT_TRUE(c.cycle.finished());
        EXPECT_EQ(c.s->nameSwapCountdown, 30);
        EXPECT_TRUE(c.events.swapSeconds.empty());
        EXPECT_EQ(c.events.digits.size(), 12u); // the console's mirror gets the final score
    }
}
