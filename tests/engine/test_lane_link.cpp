#include "core/match_state.h"
#include "lanes/frame_codec.h"
#include "lanes/lane_link.h"
#include "support/frames.h"
#include "support/recording_events.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <random>

using namespace kuzelna;
using kuzelna::testing::bytes;
using kuzelna::testing::RecordingEvents;
using kuzelna::testing::sentFrame;
using kuzelna::testing::statusFrame;

namespace {

// Status bytes that tell frames apart; the counter is blank so that throw
// recording stores nothing.
LaneStatus marked(int id) {
    LaneStatus s;
    for (int k = 1; k <= 16; ++k)
        s[k] = static_cast<u8>((id * 17 + k) & 0x7F);
    s[5] = s[6] = 13;
    return s;
}

// A frame whose end byte stands `length` bytes after its start byte, with a
// matching check byte: status bytes 1..length-5 come from `status`.
std::string shortFrame(int lane, const LaneStatus& status, int length) {
    std::string f = bytes({0x17, 0x80, 0x80 | (lane - 1), 0x80});
    for (int k = 1; k <= length - 5; ++k)
        f.push_back(static_cast<char>(0x80 | status[k]));
    unsigned sum = 0;
    for (std::size_t i = 1; i < f.size(); ++i)
        sum += static_cast<unsigned char>(f[i]);
    f.push_back(static_cast<char>((sum & 0xFF) | 0x80));
    f.push_back('\x26');
    return f;
}

// What a short frame stores: its own bytes, then the check byte, the end byte
// and what follows it (0 when nothing does).
LaneStatus storedFromShort(const std::string& frame, const std::string& following) {
    const std::string stream = frame + following;
    LaneStatus s;
    for (int k = 1; k <= 16; ++k) {
        const std::size_t at = 3 + static_cast<std::size_t>(k);
        s[k] = at < stream.size() ? static_cast<u8>(stream[at] & 0x7F) : 0;
    }
    return s;
}

struct Link {
    explicit Link(int lanes = 4, int pair = 1) {
        s->laneCount = lanes;
        s->lanePair = static_cast<u8>(pair);
        s->pollDelay = 2;
    }
    std::unique_ptr<MatchState> s = std::make_unique<MatchState>();
    RecordingEvents events;
    LaneLink link{*s, events};
};

} // namespace

TEST(FrameCodec, SentFramesMatchTheWireFormat) {
    const std::string body = bytes({0x84, 0x82, 0x81});
    EXPECT_EQ(encodeSentFrame(body), bytes({0x16, 0x84, 0x82, 0x81, 0x87 /* 0x187 OR 0x80 */, 0x25}));
    EXPECT_EQ(decodeSentFrame(encodeSentFrame(body)), body);
    std::string bad = encodeSentFrame(body);
    bad[2] = static_cast<char>(0x83);
    EXPECT_EQ(decodeSentFrame(bad), std::nullopt);
    EXPECT_EQ(decodeSentFrame("\x16\x25"), std::nullopt);
    EXPECT_EQ(decodeSentFrame(bytes({0x16, 0x84, 0x84, 0x24})), std::nullopt);
    EXPECT_EQ(encodeStatusFrame(6, marked(3)), statusFrame(6, marked(3)));
}

TEST(LaneLink, ReceiveLoopCases) {
    const std::string f1 = statusFrame(1, marked(1));
    const std::string f2 = statusFrame(2, marked(2));
    const std::string f3 = statusFrame(3, marked(3));
    const std::string f4 = statusFrame(4, marked(4));
    std::string badCheck = f2;
    badCheck[20] = static_cast<char>(badCheck[20] ^ 0x01);
    const std::string s18 = shortFrame(2, marked(5), 18);
    const std::string s19 = shortFrame(3, marked(6), 19);
    const std::string s20 = shortFrame(1, marked(7), 20);
    const std::string s17 = shortFrame(1, marked(8), 17);

    struct Case {
        const char* name;
        int lanes, pair;
        bool valid; // a valid frame arrived, whatever its lane
        std::vector<std::string> chunks;
        std::vector<std::pair<int, LaneStatus>> stored; // logical lane, status bytes
        std::vector<std::string> log;
        std::string remainder;
    };
    const std::string half = f3.substr(0, 9);
    const Case cases[] = {
        {"whole frame", 4, 1, true, {f2}, {{2, marked(2)}}, {"lane 2"}, ""},
        {"split frame", 4, 1, true, {"xy" + half, f3.substr(9)}, {{3, marked(3)}}, {"lane 3"}, ""},
        {"split, then noise",
         4,
         1,
         true,
         {f1.substr(0, 21), f1.substr(21) + "zz"},
         {{1, marked(1)}},
         {"lane 1"},
         ""},
        {"two frames in one chunk",
         4,
         1,
         true,
         {f4 + f1},
         {{4, marked(4)}, {1, marked(1)}},
         {"lane 4", "lane 1"},
         ""},
        {"partial frame waits", 4, 1, false, {"ab" + half}, {}, {}, half},
        {"no start byte", 4, 1, false, {"noise&&\x26\x25"}, {}, {}, ""},
        {"bad check dropped", 4, 1, true, {badCheck + f1}, {{1, marked(1)}}, {"lane 1"}, ""},
        {"second start inside a frame",
         4,
         1,
         true,
         {"\x17\x81\x82" + f2 + f1},
         {{1, marked(1)}},
         {"lane 1"},
         ""},
        {"short 18 with following",
         4,
         1,
         true,
         {s18 + "\xC5"},
         {{2, storedFromShort(s18, "\xC5")}},
         {"lane 2"},
         ""},
        {"short 18 at the end", 4, 1, true, {s18}, {{2, storedFromShort(s18, "")}}, {"lane 2"}, ""},
        {"short 19",
         4,
         1,
         true,
         {s19 + f4},
         {{3, storedFromShort(s19, f4)}, {4, marked(4)}},
         {"lane 3", "lane 4"},
         ""},
        {"short 20", 4, 1, true, {s20}, {{1, storedFromShort(s20, "")}}, {"lane 1"}, ""},
        {"17 is too short", 4, 1, false, {s17}, {}, {}, ""},
        {"lane beyond the lane count",
         4,
         1,
         true,
         {statusFrame(5, marked(5)) + f2},
         {{2, marked(2)}},
         {"lane 2"},
         ""},
        {"lanes 3-4 are lanes 1-2",
         2,
         2,
         true,
         {f3 + f4},
         {{1, marked(3)}, {2, marked(4)}},
         {"lane 1", "lane 2"},
         ""},
        {"lanes 1-2 with the 3-4 pair", 2, 2, true, {f2}, {{2, marked(2)}}, {"lane 2"}, ""},
        {"lane 3 with the 1-2 pair", 2, 1, true, {f3 + f1}, {{1, marked(1)}}, {"lane 1"}, ""},
        {"lane 5 with the 3-4 pair", 2, 2, true, {statusFrame(5, marked(5))}, {}, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Link l(c.lanes, c.pair);
        for (const std::string& chunk : c.chunks)
            l.link.onBytes(chunk);
        LaneStatus expected[kMaxLanes + 1];
        for (const auto& [lane, status] : c.stored)
            expected[lane] = status;
        for (int lane = 1; lane <= kMaxLanes; ++lane) {
            for (int k = 1; k <= 16; ++k) {
                EXPECT_EQ(l.s->laneStatus[static_cast<std::size_t>(lane)][k], expected[lane][k])
                    << "lane " << lane << " byte " << k;
            }
        }
        EXPECT_EQ(l.events.log, c.log);
        EXPECT_EQ(l.s->rxBuffer, c.remainder);
        // Any valid frame, even of a lane not in play, lets the next link step follow at once.
        EXPECT_EQ(l.s->pollDelay, c.valid ? 0 : 2);
    }
}

TEST(LaneLink, LongNoiseKeepsTheBufferBoundedAndAFrameStillGetsThrough) {
    Link l;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (int chunk = 0; chunk < 400; ++chunk) {
        std::string noise;
        for (int i = 0; i < 97; ++i) {
            const int b = anyByte(random);
            noise.push_back(static_cast<char>(b == 0x26 ? 0x17 : b)); // starts, never an end
        }
        l.link.onBytes(noise);
        ASSERT_LE(l.s->rxBuffer.size(), kFrameWindow);
    }
    EXPECT_TRUE(l.events.log.empty());
    // Noise that does end a frame is dropped with it; the next frame is taken.
    l.link.onBytes("\x26" + statusFrame(2, marked(9)));
    EXPECT_EQ(l.events.log, std::vector<std::string>{"lane 2"});
    EXPECT_EQ(l.s->laneStatus[2][1], marked(9)[1]);
    EXPECT_EQ(l.s->rxBuffer, "");
}

// Public play takes the frames itself, with or without windows: the window only
// shows the diagnostics the intake keeps in the state when it is told.
TEST(LaneLink, PublicPlayTakesTheFramesInsteadOfThrowRecording) {
    Link l;
    l.s->controls.publicPlayOn = true;
    l.s->publicLane[3].ignoreNext = 0;
    l.s->publicLane[3].gameType = 1; // "Sibenice"
    l.s->publicLane[3].playerCount = 2;
    l.link.onBytes(statusFrame(3, kuzelna::testing::laneStatus(5, 7)));
    EXPECT_EQ(l.events.log, (std::vector<std::string>{"public 3", "lane 3"}));
    EXPECT_EQ(l.s->player[3].throws[5], 0); // not recorded
    EXPECT_EQ(l.s->laneStatus[3][4], 7);
    EXPECT_EQ(l.s->publicLane[3].lastThrowCount, 5);
    EXPECT_EQ(l.s->publicLane[3].lastPins, 7);
    EXPECT_EQ(l.s->publicPlayDiagnostics.edit, (std::array<std::string, 4>{"5", "7", "3", "1"}));

    // A frame still settling is held back: the diagnostics keep the last one taken.
    l.link.onBytes(statusFrame(2, kuzelna::testing::laneStatus(8, 4, false)));
    EXPECT_EQ(l.s->publicPlayDiagnostics.edit[2], "3");
    EXPECT_EQ(l.s->publicLane[2].lastThrowCount, 0);

    l.s->controls.publicPlayOn = false;
    l.events.log.clear();
    l.link.onBytes(statusFrame(3, kuzelna::testing::laneStatus(5, 7)));
    EXPECT_EQ(l.events.count("public 3"), 0);
    EXPECT_EQ(l.s->player[3].throws[5], 7);
    EXPECT_EQ(l.s->publicLane[3].lastThrowCount, 5);
}

// Most answers repeat the lane's last one. The windows hear of a lane when its
// bytes change, or when recording a repeated answer changed what is stored.
TEST(LaneLink, ARepeatedAnswerReportsTheLaneOnlyWhenRecordingChangedSomething) {
    Link l;
    l.s->gameKind = 2; // 120 Hs
    l.s->laneLayout = 1;
    l.s->lanesPerPlayer = 4;
    l.s->pairCount = 6;
    const std::string thrown = statusFrame(1, kuzelna::testing::laneStatus(5, 7));
    LaneStatus blank = kuzelna::testing::laneStatus(5, 7);
    blank[5] = blank[6] = 13;
    struct Step {
        const char* what;
        std::function<void()> before;
        std::string frame;
        std::vector<std::string> log;
    };
    const Step steps[] = {
        {"a throw", [] {}, thrown, {"lane 1", "throw 1"}},
        {"the same answer", [] {}, thrown, {}},
        {"the throw corrected meanwhile",
         [&l] { l.s->player[1].throws[5] = 3; },
         thrown,
         {"lane 1", "throw 1"}},
        {"the lane goes blank: the block moves on", [] {}, statusFrame(1, blank), {"block", "lane 1"}},
        {"still blank", [] {}, statusFrame(1, blank), {}},
        {"public play, new bytes",
         [&l] { l.s->controls.publicPlayOn = true; },
         thrown,
         {"public 1", "lane 1"}},
        {"public play, the same bytes", [] {}, thrown, {"public 1"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        l.events.log.clear();
        step.before();
        l.link.onBytes(step.frame);
        EXPECT_EQ(l.events.log, step.log);
    }
    EXPECT_EQ(l.s->player[1].throws[5], 7);
    EXPECT_EQ(l.s->firstPairOfBlock, 3);
}
