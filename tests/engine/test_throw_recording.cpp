#include "core/match_state.h"
#include "scoring/throw_recording.h"
#include "support/frames.h"
#include "support/recording_events.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kuzelna;
using kuzelna::testing::laneStatus;
using kuzelna::testing::RecordingEvents;

namespace {

struct Fixture {
    Fixture(int kind, int layout, int lanes, int lanesPerPlayer, int pairs = 6) {
        s->gameKind = static_cast<u8>(kind);
        s->laneLayout = static_cast<u8>(layout);
        s->laneCount = lanes;
        s->lanesPerPlayer = static_cast<u8>(lanesPerPlayer);
        s->pairCount = static_cast<u8>(pairs);
    }
    void frame(int lane, int counter, int pins, bool settled = true) {
        s->laneStatus[static_cast<std::size_t>(lane)] = laneStatus(counter, pins, settled);
        recordLane(*s, lane, events);
    }
    std::unique_ptr<MatchState> s = std::make_unique<MatchState>();
    RecordingEvents events;
};

} // namespace

TEST(ThrowRecording, ThrowGoesToTheSlotTheRotationPutsOnTheLane) {
    struct Case {
        int kind, layout, lanes, lanesPerPlayer, block, lane, counter, slot;
    };
    // Slots worked out by hand from the lane rotation tables.
    const Case cases[] = {
        {2, 1, 4, 4, 1, 1, 1, 1},   {2, 1, 4, 4, 1, 1, 31, 2},  {2, 1, 4, 4, 1, 1, 61, 4},
        {2, 1, 4, 4, 1, 1, 120, 3}, {2, 1, 4, 4, 3, 3, 45, 8},  {1, 1, 4, 4, 1, 4, 101, 1},
        {1, 1, 4, 4, 1, 2, 199, 4}, {2, 2, 2, 4, 1, 1, 90, 1},  {2, 2, 2, 4, 2, 2, 61, 4},
        {5, 3, 6, 6, 1, 5, 121, 1}, {5, 3, 6, 6, 1, 6, 180, 1}, {5, 3, 6, 6, 4, 3, 70, 8},
        {6, 3, 6, 2, 1, 2, 21, 1},  {3, 3, 6, 2, 1, 4, 50, 4},  {3, 3, 6, 2, 1, 4, 51, 3},
    };
    for (const Case& c : cases) {
        Fixture f(c.kind, c.layout, c.lanes, c.lanesPerPlayer);
        f.s->firstPairOfBlock = static_cast<u8>(c.block);
        f.frame(c.lane, c.counter, 7);
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " lane " + std::to_string(c.lane) + " counter " +
                     std::to_string(c.counter));
        EXPECT_EQ(f.s->player[static_cast<std::size_t>(c.slot)].throws[static_cast<std::size_t>(c.counter)],
                  7);
        EXPECT_EQ(f.s->player[static_cast<std::size_t>(c.slot)].throwCount, c.counter);
        EXPECT_EQ(f.s->laneActive[static_cast<std::size_t>(c.lane)], 1);
        if (c.lane <= 4) {
            EXPECT_EQ(f.s->laneShownPlayer[static_cast<std::size_t>(c.lane)], c.slot + 1);
        }
        EXPECT_EQ(f.events.log, (std::vector<std::string>{"lane " + std::to_string(c.lane),
                                                          "throw " + std::to_string(c.slot)}));
    }
}
