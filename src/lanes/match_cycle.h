#pragma once

// The 100 ms match cycle: the only sender on the lane line. Each tick returns
// the bytes to write to the port (empty when nothing is sent this tick).

#include <string>

namespace kuzelna {

struct MatchState;
class MatchEvents;

class MatchCycle {
public:
    MatchCycle(MatchState& state, MatchEvents& events);

    std::string tick();

private:
    MatchState& state_;
    MatchEvents& events_;
};

} // namespace kuzelna
