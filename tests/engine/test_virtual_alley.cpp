#include "lanes/virtual_alley.h"

#include "core/timing.h"
#include "lanes/frame_codec.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

using namespace kuzelna;

namespace {

// A frame to the alley, built by hand: 0x16, body, sum OR 0x80, 0x25.
std::string sent(std::initializer_list<int> body) {
    std::string frame(1, '\x16');
    unsigned sum = 0;
    for (int b : body) {
        frame.push_back(static_cast<char>(b));
        sum += static_cast<unsigned>(b);
    }
    frame.push_back(static_cast<char>((sum & 0xFF) | 0x80));
    frame.push_back('\x25');
    return frame;
}

std::string poll(int physicalLane) {
    return sent({0x84, 0x80 | (physicalLane - 1), 0x81});
}

// What one answer showed.
struct Seen {
    int lane = 0;
    bool blank = false;
    bool settled = true;
    int counter = 0; // as the server reads it: digits plus the +100 lamp
    int pins = 0;
    std::int64_t at = 0;
};

// Plays the server's part on the receiving side only: polls the lanes in turn
// and decodes every answer.
struct Poller {
    explicit Poller(VirtualAlley& a) : alley(a) {}
    VirtualAlley& alley;
    std::vector<Seen> seen;
    long dropped = 0;
    std::int64_t now = 0;

    std::vector<Seen> pollOnce(int physicalLane) {
        std::string bytes = alley.receive(poll(physicalLane));
        std::vector<Seen> got;
        for (FrameScan scan; (scan = scanStatusFrame(bytes)).kind != FrameScan::NeedMore;) {
            if (scan.kind == FrameScan::Dropped) {
                ++dropped;
                continue;
            }
            const LaneStatus& s = scan.frame.status;
            Seen one;
            one.lane = scan.frame.physicalLane;
            one.blank = s[5] > 9 || s[6] > 9;
            one.settled = (s[8] & 0x04) == 0;
            one.counter = one.blank ? -1 : 10 * s[6] + s[5] + ((s[15] & 0x02) ? 100 : 0);
            one.pins = s[4];
            one.at = now;
            got.push_back(one);
            seen.push_back(one);
        }
        return got;
    }

    // Round robin over `lanes` until the alley has finished (or a safety limit).
    void playOut(const std::vector<int>& lanes, int stepMs = 0, long limit = 200000) {
        for (long i = 0; i < limit && !alley.finished(); ++i) {
            now += stepMs;
            alley.setClock(now);
            pollOnce(lanes[static_cast<std::size_t>(i) % lanes.size()]);
        }
    }

    std::vector<Seen> ofLane(int lane) const {
        std::vector<Seen> out;
        for (const Seen& s : seen) {
            if (s.lane == lane) out.push_back(s);
        }
        return out;
    }
};

} // namespace

TEST(VirtualAlley, AnswersPollsOfItsOwnLanesOnly) {
    struct Case {
        int layout, lanePair;
        std::vector<int> answering;
    };
    const Case cases[] = {{2, 1, {1, 2}}, {2, 2, {3, 4}}, {1, 1, {1, 2, 3, 4}}, {3, 1, {1, 2, 3, 4, 5, 6}}};
    for (const Case& c : cases) {
        VirtualAlley alley({4, c.layout, c.lanePair, 2, 7, 0, 0.0});
        Poller poller{alley};
        for (int lane = 1; lane <= kMaxLanes; ++lane) {
            const std::vector<Seen> got = poller.pollOnce(lane);
            const bool expected =
                std::find(c.answering.begin(), c.answering.end(), lane) != c.answering.end();
            ASSERT_EQ(got.size(), expected ? 1u : 0u) << "layout " << c.layout << " lane " << lane;
            if (expected) {
                EXPECT_EQ(got[0].lane, lane);
                EXPECT_EQ(got[0].counter, 0); // a new game shows 0
            }
        }
        EXPECT_EQ(poller.dropped, 0);
    }
}

// Four lanes of "60   Hs", one block: every lane counts 0..60 without a gap,
// shows each throw unsettled before settled, and the second player on a lane
// carries on with his own count from his first lane.
TEST(VirtualAlley, CountersContinueEachPlayersOwnNumberingAcrossSegments) {
    VirtualAlley alley({4, 1, 1, 2, 11, 0, 0.0});
    Poller poller{alley};
    poller.playOut({1, 2, 3, 4});
    ASSERT_TRUE(alley.finished());

    // Who plays where, by hand: block positions 1..4 on lanes (1,2), (2,1), (3,4), (4,3).
    const int laneOf[5][2] = {{0, 0}, {1, 2}, {2, 1}, {3, 4}, {4, 3}};
    std::map<int, std::vector<int>> fromWire; // slot -> pins by throw number
    for (int lane = 1; lane <= 4; ++lane) {
        int last = 0;
        bool sawUnsettled = false;
        for (const Seen& s : poller.ofLane(lane)) {
            if (s.blank) continue;
            if (!s.settled) {
                EXPECT_EQ(s.counter, last + 1) << "lane " << lane;
                sawUnsettled = true;
                continue;
            }
            if (s.counter == last) continue; // shown again
            ASSERT_EQ(s.counter, last + 1) << "lane " << lane << " skipped a throw";
            EXPECT_TRUE(sawUnsettled) << "lane " << lane << " throw " << s.counter;
            sawUnsettled = false;
            last = s.counter;
            const int segment = (s.counter - 1) / 30;
            int position = 0;
            for (int p = 1; p <= 4; ++p) {
                if (laneOf[p][segment] == lane) position = p;
            }
            auto& throws = fromWire[position]; // block 1: slot = position
            throws.resize(61, -1);
            throws[static_cast<std::size_t>(s.counter)] = s.pins;
        }
        EXPECT_EQ(last, 60) << "lane " << lane;
        // The lane blanks after the block.
        ASSERT_FALSE(poller.ofLane(lane).empty());
        EXPECT_TRUE(poller.ofLane(lane).back().blank);
    }
    for (int slot = 1; slot <= 4; ++slot) {
        const std::vector<int> played = alley.throwsOf(slot);
        ASSERT_EQ(played.size(), 61u) << "slot " << slot;
        for (int t = 1; t <= 60; ++t)
            EXPECT_EQ(fromWire[slot][t], played[t]) << "slot " << slot << " throw " << t;
    }
    for (const PlayedThrow& t : alley.played()) {
        EXPECT_EQ(t.physicalLane, laneOf[t.slot][(t.throwNumber - 1) / 30]) << "slot " << t.slot;
    }
}

// Counters from 100 on: the +100 lamp with two digits, except "100 Hs", whose
// hundredth throw shows as 0 with its pins.
TEST(VirtualAlley, HundredLampAndTheWrapOfHundredThrowGames) {
    struct Case {
        int gameKind;
        int lastThrow;
    };
    for (const Case c : {Case{2, 120}, Case{3, 100}}) {
        VirtualAlley alley({c.gameKind, 2, 1, 1, 3, 0, 0.0});
        Poller poller{alley};
        poller.playOut({1, 2});
        ASSERT_TRUE(alley.finished());
        const std::vector<int> slot1 = alley.throwsOf(1);
        ASSERT_EQ(static_cast<int>(slot1.size()), c.lastThrow + 1);

        std::vector<int> settledCounters;
        for (const Seen& s : poller.ofLane(1)) {
            if (s.settled && !s.blank && (settledCounters.empty() || settledCounters.back() != s.counter))
                settledCounters.push_back(s.counter);
        }
        std::vector<int> expected;
        for (int n = 0; n <= c.lastThrow; ++n)
            expected.push_back(c.gameKind == 3 ? n % 100 : n);
        EXPECT_EQ(settledCounters, expected) << "kind " << c.gameKind;
    }
    // The wrapped frame carries the pins of throw 100 of the player who ends on lane 1.
    VirtualAlley alley({3, 2, 1, 1, 5, 0, 0.0});
    Poller poller{alley};
    poller.playOut({1, 2});
    const std::vector<int> second = alley.throwsOf(2); // position 2 plays the second segment on lane 1
    std::optional<int> wrappedPins;
    bool after99 = false;
    for (const Seen& s : poller.ofLane(1)) {
        if (!s.settled || s.blank) continue;
        if (s.counter == 99) after99 = true;
        if (after99 && s.counter == 0) wrappedPins = s.pins;
    }
    ASSERT_TRUE(wrappedPins.has_value());
    EXPECT_EQ(*wrappedPins, second[100]);
}

// Two blocks on two lanes: a finished lane stays blank until every lane has
// shown its blank counter, and only then does the next block start from 0.
TEST(VirtualAlley, BlankCounterAfterABlockUntilTheNextBlockStarts) {
    VirtualAlley alley({6, 2, 2, 2, 21, 0, 0.0}); // "40   Hs" on lanes 3-4
    Poller poller{alley};
    poller.playOut({3, 4, 4, 4}); // lane 4 is polled three times as often
    ASSERT_TRUE(alley.finished());
    EXPECT_EQ(alley.blocks(), 2);

    std::size_t lastFirstBlank = 0, firstOfSecondBlock = poller.seen.size();
    for (int lane : {3, 4}) {
        int phase = 0; // 0 first block, 1 blank, 2 second block, 3 blank again
        for (std::size_t i = 0; i < poller.seen.size(); ++i) {
            const Seen& s = poller.seen[i];
            if (s.lane != lane) continue;
            if (phase == 0 && s.blank) {
                phase = 1;
                lastFirstBlank = std::max(lastFirstBlank, i);
            } else if (phase == 1 && !s.blank) {
                EXPECT_EQ(s.counter, 0);
                phase = 2;
                firstOfSecondBlock = std::min(firstOfSecondBlock, i);
            } else if (phase == 2 && s.blank) {
                phase = 3;
            } else {
                EXPECT_EQ(s.blank, phase == 1 || phase == 3) << "lane " << lane << " answer " << i;
            }
        }
        EXPECT_EQ(phase, 3) << "lane " << lane;
    }
    EXPECT_LT(lastFirstBlank, firstOfSecondBlock);
    for (int slot = 1; slot <= 4; ++slot)
        EXPECT_EQ(alley.throwsOf(slot).size(), 41u) << "slot " << slot;
    EXPECT_EQ(alley.played().size(), 160u);
}

// With noise, damaged answers fail their check, lost ones never come, and still
// every throw reaches the wire settled and intact.
TEST(VirtualAlley, NoiseLosesNoThrow) {
    VirtualAlley alley({4, 2, 1, 1, 99, 0, 0.3});
    Poller poller{alley};
    poller.playOut({1, 2});
    ASSERT_TRUE(alley.finished());
    const AlleyCounters& c = alley.counters();
    EXPECT_GT(c.answersLost, 0);
    EXPECT_GT(c.answersNoisy, 0);
    EXPECT_EQ(poller.dropped, c.answersDamaged);
    EXPECT_GT(c.answersDamaged, 0);
    EXPECT_EQ(static_cast<long>(poller.seen.size()), c.answers - c.answersDamaged);

    std::map<std::pair<int, int>, int> settled; // (lane, counter) -> pins
    for (const Seen& s : poller.seen) {
        if (s.settled && !s.blank && s.counter > 0) settled[{s.lane, s.counter}] = s.pins;
    }
    ASSERT_EQ(alley.played().size(), 120u);
    for (const PlayedThrow& t : alley.played()) {
        const auto it = settled.find({t.physicalLane, t.throwNumber});
        ASSERT_NE(it, settled.end()) << "lane " << t.physicalLane << " throw " << t.throwNumber;
        EXPECT_EQ(it->second, t.pins);
    }

    // The same seed without noise plays the same throws.
    VirtualAlley quiet({4, 2, 1, 1, 99, 0, 0.0});
    Poller quietPoller{quiet};
    quietPoller.playOut({1, 2});
    for (int slot : {1, 2})
        EXPECT_EQ(quiet.throwsOf(slot), alley.throwsOf(slot));
}

// At the real pace a lane throws every 12.6 to 23.4 s (18 s +- 30 %), polled
// every 0.5 s.
TEST(VirtualAlley, RealPaceFollowsTheClock) {
    VirtualAlley alley({6, 2, 1, 1, 4, 18000, 0.0});
    Poller poller{alley};
    poller.playOut({1, 2}, 250);
    ASSERT_TRUE(alley.finished());
    std::int64_t previous = -1;
    int throwsSeen = 0, unsettledSeen = 0;
    int last = 0;
    for (const Seen& s : poller.ofLane(1)) {
        if (s.blank) continue;
        if (!s.settled) {
            ++unsettledSeen;
            continue;
        }
        if (s.counter == last) continue;
        last = s.counter;
        // A segment's first throw waits for the player coming from his previous lane.
        if (previous >= 0 && (s.counter - 1) % 20 != 0) {
            EXPECT_GE(s.at - previous, 12600 - 500) << "throw " << s.counter;
            EXPECT_LE(s.at - previous, 23400 + 500) << "throw " << s.counter;
        }
        previous = s.at;
        ++throwsSeen;
    }
    EXPECT_EQ(throwsSeen, 40);
    EXPECT_GE(unsettledSeen, 40); // each throw is seen moving first
}

TEST(VirtualAlley, DecodesWhatTheDisplaysShow) {
    VirtualAlley alley({4, 3, 1, 3, 1, 0, 0.0});
    // Score: guest 1234, difference field "-" then 5, 6, 7 (drawn from the right), home 0089.
    alley.receive(
        sent({0x90, 0x94, 0x81, 0x84, 0x83, 0x82, 0x81, 0x8A, 0x85, 0x86, 0x87, 0x89, 0x88, 0x80, 0x80}));
    EXPECT_EQ(alley.displays().scoreBoard, "0089 765- 1234");

    // Team names with a Czech letter: bit 7 of "á" (0xE1) comes back from the high-bit bytes.
    std::initializer_list<int> names = {0x99, 0x9E, 0x81, 0xC4, 0xEF, 0xED, 0xE1, 0xA0,
                                        0xA0, 0xA0, 0xA0, 0xA0, 0xC8, 0xEF, 0xF3, 0xF4,
                                        0xE5, 0xA0, 0xA0, 0xA0, 0xA0, 0x88, 0x80, 0x80};
    alley.receive(sent(names));
    EXPECT_EQ(alley.displays().teamNames, std::string("Dom\xE1     Hoste    ", 18));

    // Match points: 8-point form (half point on the guest side), then 16-point form.
    alley.receive(
        sent({0x90, 0x95, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x8B, 0x8B, 0x85, 0x83, 0x81, 0x80, 0x84}));
    EXPECT_EQ(alley.displays().guestMatchPoints, "3.5");
    EXPECT_EQ(alley.displays().homeMatchPoints, "4");
    alley.receive(
        sent({0x90, 0x95, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x8C, 0x8C, 0x82, 0x81, 0x81, 0x84, 0x80}));
    EXPECT_EQ(alley.displays().guestMatchPoints, "12");
    EXPECT_EQ(alley.displays().homeMatchPoints, "4");

    // Lane set points of lane 5 share their address byte with the score board.
    alley.receive(
        sent({0x90, 0x94, 0x81, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8B, 0x85, 0x81}));
    EXPECT_EQ(alley.displays().laneSetPoints[5], "1.5");
    EXPECT_EQ(alley.displays().scoreBoard, "0089 765- 1234");

    // Lane name of lane 2 with a set-point overlay sent as plain characters.
    std::initializer_list<int> laneName = {0x99, 0xC1, 0x81, 0xCE, 0xEF, 0xF6, 0xE1, 0xEB,
                                           0xA0, 0xCA, 0xE1, 0xEE, 0xA0, '1',  '.',  '5',
                                           0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0x88, 0x80, 0x80};
    alley.receive(sent(laneName));
    EXPECT_EQ(alley.displays().laneName[2], "Nov\xE1k Jan 1.5     ");

    // A keypad key; a frame with a wrong check byte changes nothing.
    alley.receive(sent({0x85, 0x82, 0x82, 0x87}));
    EXPECT_EQ(alley.displays().keyLane, 3);
    EXPECT_EQ(alley.displays().keyCode, 7);
    std::string broken = sent({0x85, 0x80, 0x82, 0x89});
    broken[broken.size() - 2] ^= 0x01;
    alley.receive(broken);
    EXPECT_EQ(alley.displays().keyLane, 3);
    EXPECT_EQ(alley.counters().framesRejected, 1);

    const std::string text = alley.describe();
    EXPECT_NE(text.find("0089 765- 1234"), std::string::npos);
    EXPECT_NE(text.find("Nov\xC3\xA1k Jan"), std::string::npos); // UTF-8
}

// A frame torn over several writes is put together; a lane start/stop frame
// stops the lane's throwing until the next one.
TEST(VirtualAlley, TornFramesAndLaneStartStop) {
    VirtualAlley alley({4, 2, 1, 1, 8, 0, 0.0});
    Poller poller{alley};
    const std::string p = poll(1);
    std::string answer;
    for (char c : p)
        answer += alley.receive(std::string(1, c));
    EXPECT_FALSE(answer.empty());

    for (int i = 0; i < 10; ++i)
        poller.pollOnce(1);
    alley.receive(sent({0x85, 0x80, 0x82, 0xF8}));
    EXPECT_TRUE(alley.laneStopped(1));
    const std::size_t before = alley.played().size();
    for (int i = 0; i < 10; ++i)
        poller.pollOnce(1);
    EXPECT_EQ(alley.played().size(), before);
    alley.receive(sent({0x85, 0x80, 0x82, 0xF8}));
    for (int i = 0; i < 10; ++i)
        poller.pollOnce(1);
    EXPECT_GT(alley.played().size(), before);
}

TEST(Timing, SpeedFactorScalesEveryIntervalWithinLimits) {
    struct Case {
        int factor, ms, expected;
    };
    for (const Case c : {Case{1, 100, 100}, Case{10, 100, 10}, Case{100, 100, 1}, Case{100, 3000, 30},
                         Case{500, 1000, 10}, Case{0, 4000, 4000}, Case{40, 10, 1}}) {
        setSpeedFactor(c.factor);
        EXPECT_EQ(scaledInterval(c.ms), c.expected) << c.factor << " x " << c.ms;
    }
    setSpeedFactor(1);
}
