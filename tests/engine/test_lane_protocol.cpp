#include "lanes/lane_protocol.h"

#include "core/match_state.h"
#include "lanes/match_cycle.h"
#include "support/frames.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace kuzelna;
using kuzelna::testing::bytes;
using kuzelna::testing::sentFrame;

namespace {

// "Dvořák Jiří" (ř = F8, á = E1, í = ED): its 18 text bytes and three high-bit
// bytes written out by hand (characters 4, 5 and 10, 11 carry bit 7).
const std::string kName = "Dvo\xF8\xE1k Ji\xF8\xED";
std::string nameBytes() {
    return bytes({0xC4, 0xF6, 0xEF, 0xF8, 0xE1, 0xEB, 0xA0, 0xCA, 0xE9, 0xF8, 0xED,
                  0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0x98, 0x8C, 0x80});
}

std::string withPlain(std::string text, std::initializer_list<std::pair<int, char>> replaced) {
    for (const auto& [position, c] : replaced)
        text[static_cast<std::size_t>(position - 1)] = c;
    return text;
}

} // namespace

// Each builder against the body written from the frame description, framed by
// the tests' own framing, and what the parser reads back from it.
TEST(LaneProtocol, FramesAreBuiltAndReadBackByteForByte) {
    struct Case {
        const char* name;
        std::string built;
        std::string body;
        ServerFrame parsed;
    };
    const std::string padded = kName + std::string(7, ' ');
    const std::vector<Case> cases = {
        {"poll", pollFrame(3), bytes({0x84, 0x82, 0x81}), PollFrame{3}},
        {"key", keyFrame(2, 0x23), bytes({0x85, 0x81, 0x82, 0xA3}), KeyFrame{2, 0x23}},
        {"lane start/stop", laneStartStopFrame(6), bytes({0x85, 0x85, 0x82, 0xF8}), LaneStartStopFrame{6}},
        {"score", scoreFrame({7, 8, 9, 0, kMinusDigit, 7, 4, 2, 4, 3, 2, 1}),
         bytes({0x90, 0x94, 0x81, 0x87, 0x88, 0x89, 0x80, 0x8A, 0x87, 0x84, 0x82, 0x84, 0x83, 0x82, 0x81}),
         ScoreFrame{{7, 8, 9, 0, 10, 7, 4, 2, 4, 3, 2, 1}}},
        {"tournament score", scoreFrame(kTournamentScore),
         bytes({0x90, 0x94, 0x81, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0x8B, 0x8C}),
         ScoreFrame{{11, 12, 13, 14, 15, 11, 12, 13, 14, 15, 11, 12}}},
        {"team names",
         // "Sokol Brn" + "TJ Žatec ": Ž (8E) is character 13, bit 5 of the second high-bit byte
         teamNamesFrame("Sokol Brno Jih", "TJ \x8E"
                                          "atec"),
         bytes({0x99, 0x9E, 0x81, 0xD3, 0xEF, 0xEB, 0xEF, 0xEC, 0xA0, 0xC2, 0xF2, 0xEE,
                0xD4, 0xCA, 0xA0, 0x8E, 0xE1, 0xF4, 0xE5, 0xE3, 0xA0, 0x80, 0xA0, 0x80}),
         TeamNamesFrame{"Sokol BrnTJ \x8E"
                        "atec "}},
        {"match points, 8-point form", matchPointsFrame(11, 5, PointScale::Eight),
         bytes({0x90, 0x95, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x8B, 0x8B, 0x85, 0x82, 0x81, 0x85, 0x85}),
         MatchPointsFrame{PointScale::Eight, 11, 5}},
        {"match points, 16-point form", matchPointsFrame(17, 7, PointScale::Sixteen),
         bytes({0x90, 0x95, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x8C, 0x8C, 0x87, 0x80, 0x81, 0x87, 0x81}),
         MatchPointsFrame{PointScale::Sixteen, 17, 7}},
        {"lane name", laneNameFrame(3, kName), bytes({0x99, 0xC2, 0x81}) + nameBytes(),
         LaneNameFrame{3, padded}},
        {"lane name, 2.5 set points over 12 characters", laneNameFrame(8, kName, {12, 5}),
         bytes({0x99, 0xC7, 0x81}) + withPlain(nameBytes(), {{10, '2'}, {11, '.'}, {12, '5'}}),
         LaneNameFrame{8, withPlain(padded, {{10, '2'}, {11, '.'}, {12, '5'}})}},
        {"lane name, 2 set points over 15 characters", laneNameFrame(1, kName, {15, 4}),
         bytes({0x99, 0xC0, 0x81}) + withPlain(nameBytes(), {{15, '2'}}),
         LaneNameFrame{1, withPlain(padded, {{15, '2'}})}},
        {"lane set points", laneSetPointsFrame(3, 5),
         bytes({0x90, 0x92, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8B, 0x85, 0x82}),
         LaneSetPointsFrame{3, 5}},
        {"lane 5 set points, on the score board's address", laneSetPointsFrame(5, 8),
         bytes({0x90, 0x94, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8B, 0x80, 0x84}),
         LaneSetPointsFrame{5, 8}},
        {"lane set points above 8", laneSetPointsFrame(1, 9),
         bytes({0x90, 0x90, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8B}),
         LaneSetPointsFrame{1, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.built, sentFrame(c.body));
        EXPECT_TRUE(parseServerFrame(c.built) == c.parsed);
        EXPECT_TRUE(parseFrameBody(c.body) == c.parsed);
    }
}

TEST(LaneProtocol, BodiesOutOfShapeReadAsUnknown) {
    const std::pair<const char*, std::string> cases[] = {
        {"poll one byte long", bytes({0x84, 0x80, 0x81, 0x81})},
        {"poll with a command mark", bytes({0x84, 0x80, 0x82})},
        {"score one digit short",
         bytes({0x90, 0x94, 0x81, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80})},
        {"match points in two scales",
         bytes({0x90, 0x95, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x8B, 0x8C, 0x80, 0x80, 0x81, 0x80, 0x80})},
        {"set points with a layout byte out of place",
         bytes({0x90, 0x92, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x8A, 0x8B, 0x80, 0x80})},
        {"name of a ninth lane", bytes({0x99, 0xC8, 0x81}) + nameBytes()},
        {"name one byte short", bytes({0x99, 0xC0, 0x81}) + nameBytes().substr(1)},
        {"empty", ""},
    };
    for (const auto& [name, body] : cases)
        EXPECT_TRUE(std::holds_alternative<UnknownFrame>(parseFrameBody(body))) << name;

    std::string damaged = pollFrame(1);
    damaged[damaged.size() - 2] ^= 0x01;
    EXPECT_TRUE(std::holds_alternative<UnknownFrame>(parseServerFrame(damaged)));
}

TEST(LaneProtocol, ScoreDigitsPutTheMinusOnTheLeadersSide) {
    struct Case {
        int home, guest;
        ScoreDigits digits;
    };
    constexpr unsigned char M = kMinusDigit;
    const Case cases[] = {
        {1234, 987, {7, 8, 9, 0, M, 7, 4, 2, 4, 3, 2, 1}},  // home leads: minus in front
        {900, 1000, {0, 0, 0, 1, 0, 0, 1, M, 0, 0, 9, 0}},  // guest leads: minus behind
        {500, 500, {0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 5, 0}},   // level: no sign
        {2500, 1000, {0, 0, 0, 1, 0, 0, 5, 1, 0, 0, 5, 2}}, // 1500 ahead: no room for a sign
        {2000, 3100, {0, 0, 1, 3, 0, 0, 1, 1, 0, 0, 0, 2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scoreDigits(c.home, c.guest), c.digits) << c.home << ":" << c.guest;
}

TEST(LaneStatus, NamedAccessorsReadTheStatusBytes) {
    struct Case {
        const char* name;
        std::array<int, 16> bytes; // status bytes 1..16
        int pins, counter, counterDigits, laneTotal;
        bool blank, settled, plus100, allNine, secondRowShowsSix, dot;
        std::set<int> lamps;
    };
    const Case cases[] = {
        {"throw 47 settled, pins 1 and 3 up",
         {0, 3, 5, 8, 7, 4, 0x05, 0x00, 1, 2, 3, 13, 13, 13, 0x00, 0},
         8,
         47,
         47,
         35,
         false,
         true,
         false,
         false,
         false,
         false,
         {1, 3}},
        {"throw 123 moving, all nine lit",
         {1, 0, 2, 9, 3, 2, 0x7F, 0x07, 0, 0, 0, 0, 0, 0, 0x02, 0},
         9,
         123,
         23,
         102,
         false,
         false,
         true,
         true,
         false,
         false,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"blank counter, the dot and six digits",
         {13, 13, 13, 0, 13, 13, 0x00, 0x00, 13, 13, 13, 13, 13, 13, 0x0E, 0},
         0,
         -1,
         143,
         -1,
         true,
         true,
         true,
         false,
         true,
         true,
         {}},
        {"tens blank only, signal lamps 11-14",
         {0, 0, 0, 0, 0, 10, 0x00, 0x78, 0, 0, 0, 0, 0, 0, 0x04, 0x7F},
         0,
         -1,
         100,
         0,
         true,
         true,
         false,
         false,
         false,
         false,
         {11, 12, 13, 14}},
        {"pins 8 and 9 lit, not all nine",
         {0, 0, 0, 0, 0, 0, 0x7E, 0x03, 0, 0, 0, 0, 0, 0, 0x08, 0},
         0,
         0,
         0,
         0,
         false,
         true,
         false,
         false,
         true,
         false,
         {2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LaneStatus s;
        for (int k = 1; k <= 16; ++k)
            s[k] = static_cast<u8>(c.bytes[static_cast<std::size_t>(k - 1)]);
        EXPECT_EQ(s.pins(), c.pins);
        EXPECT_EQ(s.counter(), c.counter);
        EXPECT_EQ(s.counterDigits(), c.counterDigits);
        EXPECT_EQ(s.laneTotal(), c.laneTotal);
        EXPECT_EQ(s.blank(), c.blank);
        EXPECT_EQ(s.settled(), c.settled);
        EXPECT_EQ(s.plus100(), c.plus100);
        EXPECT_EQ(s.allNinePinsLit(), c.allNine);
        EXPECT_EQ(s.secondRowShowsSix(), c.secondRowShowsSix);
        EXPECT_EQ(s.dotShown(), c.dot);
        std::set<int> lit;
        for (int lamp = 0; lamp <= 15; ++lamp) {
            if (s.lamp(lamp)) lit.insert(lamp);
        }
        EXPECT_EQ(lit, c.lamps);
        for (int position = 1; position <= 6; ++position) {
            EXPECT_EQ(s.firstRowDigit(position), c.bytes[static_cast<std::size_t>(position - 1)]);
            EXPECT_EQ(s.secondRowDigit(position), c.bytes[static_cast<std::size_t>(position + 7)]);
        }
    }
}

TEST(LaneStatus, SettersWriteTheBytesTheAccessorsRead) {
    LaneStatus s;
    s[8] = 0x40; // signal lamp 14, which the pin lamps leave alone
    s.setPins(6);
    s.setCounter(142);
    s.setPinLamps(0x103); // pins 1, 2 and 9 standing
    s.setSettled(false);
    s.setFirstRowDigit(2, 7);
    s.setSecondRowDigit(6, LaneStatus::kBlankDigit);
    const std::array<int, 17> expected = {0, 0, 7, 0, 6, 2, 4, 0x03, 0x46, 0, 0, 0, 0, 0, 13, 0x02, 0};
    for (int k = 1; k <= 16; ++k)
        EXPECT_EQ(s[k], expected[static_cast<std::size_t>(k)]) << "byte " << k;

    s.setSettled(true);
    s.setCounter(42);
    EXPECT_EQ(s[8], 0x42);
    EXPECT_EQ(s[15], 0);
    EXPECT_EQ(s.counter(), 42);
    s.setBlankCounter();
    EXPECT_TRUE(s.blank());
}

// Who a lane's name display shows and whether it is held, without sending
// anything: "120 Hs" on 4 lanes, block 3 (slots 5..8), lane 1.
TEST(LaneDisplay, TheDecisionFollowsTheCounter) {
    struct Case {
        const char* name;
        int counter, countdown;
        bool laneFinished;
        LaneDisplay expected;
    };
    const Case cases[] = {
        {"mid-lane: the thrower, the hold starts again short", 5, 0, false, {5, 4, false, 300}},
        {"late in the game: a long hold", 75, 7, false, {8, 74, false, 3000}},
        {"lane change: the next player, held while the countdown runs", 30, 50, false, {6, 30, true, 0}},
        {"lane change, countdown over", 30, 0, false, {6, 30, false, 0}},
        {"blank: the block's first player on the lane", -1, 9, false, {5, 1, true, 0}},
        {"blank and done with the block: the one who finished", -1, 9, true, {7, 119, false, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MatchState s;
        s.gameKind = 2;
        s.lanesPerPlayer = 4;
        s.laneLayout = 1;
        s.laneCount = 4;
        s.firstPairOfBlock = 3;
        s.nameSwapCountdown = c.countdown;
        s.laneFinished[1] = c.laneFinished ? 1 : 0;
        s.laneStatus[1] = kuzelna::testing::laneStatus(c.counter, 0);
        const LaneDisplay got = chooseLaneDisplay(s, 1);
        EXPECT_EQ(got.slot, c.expected.slot);
        EXPECT_EQ(got.throwIndex, c.expected.throwIndex);
        EXPECT_EQ(got.held, c.expected.held);
        EXPECT_EQ(got.restartHold, c.expected.restartHold);
        EXPECT_EQ(s.nameSwapCountdown, c.countdown); // deciding changes nothing
    }
}
