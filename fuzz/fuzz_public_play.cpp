// Public play's frame intake through the lane receive loop, on lanes whose games
// the operator set up in any way the window allows (and some it does not), mixed
// with the window's buttons.

#include "commercial/public_play.h"
#include "core/match_events.h"
#include "core/match_state.h"
#include "fuzz_input.h"
#include "lanes/frame_codec.h"
#include "lanes/lane_link.h"

#include <memory>

using namespace kuzelna;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    auto state = std::make_unique<MatchState>();
    MatchState& s = *state;
    s.laneCount = 2 * in.number(1, 3);
    s.controls.publicPlayOn = true;
    for (int lane = 1; lane <= kMaxLanes; ++lane) {
        PublicPlayLane& game = s.publicLane[static_cast<std::size_t>(lane)];
        game.gameType = in.byte() % 3;
        game.playerCount = in.byte();
        game.currentPlayer = in.byte();
    }
    MatchEvents events;
    PublicPlayDiagnostics& diagnostics = s.publicPlayDiagnostics;
    LaneLink link(s, events);

    while (!in.empty()) {
        PublicPlayLane& game = s.publicLane[static_cast<std::size_t>(in.number(1, kMaxLanes))];
        switch (in.byte() % 8) {
        case 0:
            link.onBytes(in.bytes(64));
            break;
        case 1:
        case 2:
        case 3: {
            LaneStatus status;
            for (int k = 1; k <= 16; ++k)
                status[k] = in.byte() & 0x7F;
            link.onBytes(encodeStatusFrame(in.number(1, kMaxLanes), status));
            break;
        }
        case 4: {
            std::array<std::string, 6> positions, marks;
            for (auto& text : positions)
                text = in.text();
            for (auto& text : marks)
                text = in.text();
            storePositions(game, positions, marks);
            break;
        }
        case 5:
            playZeroByHand(game, diagnostics);
            break;
        case 6:
            playAllNineByHand(game, diagnostics);
            break;
        default:
            if (in.flag()) newGame(game);
            addStage(game, in.byte());
            addMark(game, in.byte());
        }
    }
    return 0;
}
