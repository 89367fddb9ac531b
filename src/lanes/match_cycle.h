#pragma once

// The 100 ms match cycle: the only sender on the lane line. Each tick returns
// the bytes to write to the port (empty when nothing is sent this tick): a lane
// poll, a display frame, an on-screen keyboard key or a lane start/stop command.
// It also counts down the name-swap hold of the lane displays. Once the match
// is over it sends the final score frame and, with "Display extra", the final
// match-points frame once more (the last throws may have come in after the last
// ones went out), and after that nothing.

#include <string>

namespace kuzelna {

struct MatchState;
class MatchEvents;

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
