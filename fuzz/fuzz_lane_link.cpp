// The lane receive loop on a started match of any kind, layout and size, with
// the match cycle ticking between the bytes: the receive buffer stays within
// the frame window, and every throw lands on a player slot of the state
// (within the match whenever its blocks fill the lanes exactly).

#include "core/match_events.h"
#include "core/match_state.h"
#include "fuzz_input.h"
#include "lanes/frame_codec.h"
#include "lanes/lane_link.h"
#include "lanes/match_cycle.h"
#include "scoring/game_kinds.h"

#include <memory>

using namespace kuzelna;

namespace {

struct CheckedEvents : MatchEvents {
    const MatchState* state = nullptr;
    int lastSlot = kMaxSlots;
    void throwChanged(int slot) override { FUZZ_CHECK(slot >= 1 && slot <= lastSlot); }
    void laneChanged(int lane) override { FUZZ_CHECK(lane >= 0 && lane <= state->laneCount); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    GameConfiguration config;
    config.gameKind = in.number(1, 6);
    config.laneLayout = in.number(1, 3);
    config.lanePair = in.number(1, 2);
    config.pairCount = in.number(1, kMaxSlots / 2);
    config.firstPairOfBlock = in.number(1, config.pairCount);
    auto state = std::make_unique<MatchState>();
    MatchState& s = *state;
    if (!applyConfiguration(s, config).empty()) return 0;
    s.controls.tandem = in.flag();
    s.controls.displayExtra = in.flag();
    s.linkPaused = 0;

    CheckedEvents events;
    events.state = &s;
    const int duelsPerBlock = s.laneCount / 2;
    if ((config.pairCount - config.firstPairOfBlock + 1) % duelsPerBlock == 0) events.lastSlot = 2 * config.pairCount;
    LaneLink link(s, events);
    MatchCycle cycle(s, events);

    while (!in.empty()) {
        switch (in.byte() % 4) {
        case 0:
        case 1:
            link.onBytes(in.bytes(80));
            break;
        case 2: { // a well-formed answer, to reach deep into throw recording
            const int lane = in.number(1, kMaxLanes);
            LaneStatus status;
            for (int k = 1; k <= 16; ++k)
                status[k] = in.byte() & 0x7F;
            link.onBytes(encodeStatusFrame(lane, status));
            break;
        }
        default:
            for (int ticks = in.byte() % 16; ticks > 0; --ticks)
                cycle.tick();
        }
        FUZZ_CHECK(s.rxBuffer.size() <= kFrameWindow);
    }
    return 0;
}
