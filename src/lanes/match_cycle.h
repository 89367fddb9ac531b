#pragma once

// The 100 ms match cycle: the only sender on the lane line. Each tick returns
// the bytes to write to the port (empty when nothing is sent this tick): a lane
// poll, a display frame, an on-screen keyboard key or a lane start/stop command.
// It also counts down the name-swap hold of the lane displays. After the match
// is over it sends nothing.

#include <string>

namespace kuzelna {

struct MatchState;
class MatchEvents;

class MatchCycle {
public:
    MatchCycle(MatchState& state, MatchEvents& events);

    std::string tick();

private:
    std::string linkStep();
    std::string commandStep();
    std::string scoreFrame();
    std::string teamNamesFrame();
    std::string matchPointsFrame();
    std::string laneFrame(int lane);

    MatchState& state_;
    MatchEvents& events_;
};

} // namespace kuzelna
