#pragma once

// Status frames as a lane controller sends them, built here independently of
// the engine's codec so that tests check the engine against the wire format.

#include "core/match_state.h"

#include <string>

namespace kuzelna::testing {

// Status bytes of a lane showing throw counter `counter` (0..199, or -1 for a
// blank counter) and `pins` felled by the last throw.
LaneStatus laneStatus(int counter, int pins, bool settled = true);

// The complete received frame 0x17 .. 0x26 of physical lane `lane` (1..8).
std::string statusFrame(int lane, const LaneStatus& status);

} // namespace kuzelna::testing
