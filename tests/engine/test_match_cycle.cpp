#include "core/match_state.h"
#include "lanes/match_cycle.h"
#include "support/frames.h"
#include "support/recording_events.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kuzelna;
using kuzelna::testing::bytes;
using kuzelna::testing::RecordingEvents;
using kuzelna::testing::sentBodies;
using kuzelna::testing::sentFrame;

namespace {

struct Cycle {
    Cycle() {
        s->linkPaused = 0;
        s->gameKind = 2;
        s->lanesPerPlayer = 4;
    }
    // Runs ticks until `frames` frames were sent; returns their bodies.
    std::vector<std::string> run(int frames) {
        std::vector<std::string> out;
        for (int guard = 0; static_cast<int>(out.size()) < frames && guard < 100000; ++guard) {
            for (auto& body : sentBodies(cycle.tick()))
                out.push_back(body);
        }
        return out;
    }
    std::unique_ptr<MatchState> s = std::make_unique<MatchState>();
    RecordingEvents events;
    MatchCycle cycle{*s, events};
};

// The kind of a frame body, by its first two bytes.
std::string kindOf(const std::string& body) {
    const auto b0 = static_cast<unsigned char>(body[0]), b1 = static_cast<unsigned char>(body[1]);
    if (b0 == 0x84) return "poll " + std::to_string((b1 & 0x7F) + 1);
    if (b0 == 0x90 && b1 == 0x94) return "score";
    if (b0 == 0x99 && b1 == 0x9E) return "names";
    if (b0 == 0x90 && b1 == 0x95) return "points";
    if (b0 == 0x99) return "lane " + std::to_string((b1 & 0x3F) + 1);
    if (b0 == 0x90) return "setpoints " + std::to_string((b1 & 0x0F) + 1);
    if (b0 == 0x85) return "key";
    return "?";
}

} // namespace

TEST(MatchCycle, FourLanesWithDisplayExtraCycleThroughEveryDisplay) {
    Cycle c;
    c.s->controls.displayExtra = true;
    std::vector<std::string> kinds;
    for (const auto& body : c.run(1 + 7 * 8))
        kinds.push_back(kindOf(body));
    std::vector<std::string> expected{"score"};
    const char* displays[] = {"names", "points", "lane 4", "lane 3", "lane 2", "lane 1", "score"};
    int lane = 0;
    for (const char* display : displays) {
        for (int i = 0; i < 7; ++i)
            expected.push_back("poll " + std::to_string(lane++ % 4 + 1));
        expected.push_back(display);
    }
    EXPECT_EQ(kinds, expected);
}

TEST(MatchCycle, PausedLinkSendsOnlyKeysAndLaneCommands) {
    Cycle c;
    c.s->linkPaused = 1;
    EXPECT_EQ(c.cycle.tick(), "");
    c.s->keyPending = 1;
    c.s->keyCode = 0x23;
    c.s->controls.keypadLane = 3;
    c.s->laneCommand[5] = 1;
    c.s->laneCommand[2] = 1;
    std::string sent;
    for (int i = 0; i < 12; ++i)
        sent += c.cycle.tick();
    EXPECT_EQ(sent, sentFrame(bytes({0x85, 0x82, 0x82, 0xA3})) + sentFrame(bytes({0x85, 0x81, 0x82, 0xF8})) +
                        sentFrame(bytes({0x85, 0x84, 0x82, 0xF8})));
}
