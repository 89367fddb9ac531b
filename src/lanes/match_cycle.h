#pragma once

// The 100 ms match cycle: the only sender on the lane line. Each tick returns
// the bytes to write to the port (empty when nothing is sent this tick): a lane
// poll, a display frame, an on-screen keyboard key or a lane start/stop command.
// It also counts down the name-swap hold of the lane displays. Once the match
// is over it sends the final score frame and, with "Display extra", the final
// match-points frame once more (the last throws may have come in after the last
// ones went out), and after that nothing.

#include <cstdint>
#include <string>

namespace kuzelna {

struct MatchState;
class MatchEvents;

// Who lane L's name display shows, decided from the lane's counter: the
// player of the throw counted, the next player at a lane change, the block's
// first player on a blank lane (or the last one on a lane done with the block).
struct LaneDisplay {
    int slot = 0;
    int throwIndex = 1; // 0-based throw index the slot was looked up with; 1 while the counter is blank
    bool held = false;  // the name-swap hold keeps the display on what it shows now
    // Mid-segment the hold starts again from this many ticks (0: left as it is),
    // so that the next lane change keeps the names up for a while.
    std::int32_t restartHold = 0;
};
LaneDisplay chooseLaneDisplay(const MatchState& state, int lane);

class MatchCycle {
public:
    MatchCycle(MatchState& state, MatchEvents& events);

    std::string tick();

    // The match is over and its final frames have gone out: the cycle can stop.
    bool finished() const { return finished_; }

private:
    std::string closingStep();
    std::string linkStep();
    std::string commandStep();
    std::string scoreFrame();
    std::string teamNamesFrame();
    std::string matchPointsFrame();
    std::string laneFrame(int lane);

    MatchState& state_;
    MatchEvents& events_;
    int closingFramesSent_ = 0;
    bool finished_ = false;
};

} // namespace kuzelna
