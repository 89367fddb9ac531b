#pragma once

// Status frames as a lane controller sends them, built here independently of
// the engine's codec so that tests check the engine against the wire format.
// Frames from the server are read with the engine's parser (lanes/lane_protocol),
// which its own test holds to fixtures written from the frame description.

#include "core/match_state.h"
#include "lanes/lane_protocol.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace kuzelna::testing {

// Status bytes of a lane showing throw counter `counter` (0..199, or -1 for a
// blank counter) and `pins` felled by the last throw.
LaneStatus laneStatus(int counter, int pins, bool settled = true);

// The complete received frame 0x17 .. 0x26 of physical lane `lane` (1..8).
std::string statusFrame(int lane, const LaneStatus& status);

// A frame to the lanes: 0x16, `body`, check byte, 0x25.
std::string sentFrame(const std::string& body);

// Bytes written as a list of values, e.g. bytes({0x84, 0x80, 0x81}).
std::string bytes(std::initializer_list<int> values);

// The frames to the lanes in `stream`, each checked (start, check byte, end)
// and returned as its body; a malformed frame throws std::runtime_error.
std::vector<std::string> sentBodies(const std::string& stream);

// The same frames, each read by the parser.
std::vector<ServerFrame> sentFrames(const std::string& stream);

} // namespace kuzelna::testing
