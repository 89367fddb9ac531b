#pragma once

// The frames of the lane line. The server sends 0x16, a body, a check byte and
// 0x25; a lane controller answers 0x17, four header bytes with its lane index,
// its 16 status bytes, a check byte and 0x26. This is the framing only: what
// the bodies say is lane_protocol's, what the status bytes mean lane_status's.

#include "core/match_state.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kuzelna {

constexpr unsigned char kSentStart = 0x16;
constexpr unsigned char kSentEnd = 0x25;
constexpr unsigned char kReceivedStart = 0x17;
constexpr unsigned char kReceivedEnd = 0x26;

// Longest stretch of the receive buffer the frame search looks at: a frame must
// start and end within it.
constexpr std::size_t kFrameWindow = 255;

// A frame to the lanes: start byte, body, check byte (sum of the body OR 0x80), end byte.
std::string encodeSentFrame(std::string_view body);

// The body of a frame to the lanes, when `frame` is one with a matching check byte.
std::optional<std::string> decodeSentFrame(std::string_view frame);

// A status frame as a lane controller sends it (physical lane 1..8); status
// bytes and header bytes carry bit 7.
std::string encodeStatusFrame(int physicalLane, const LaneStatus& status);

// A valid status frame found in the receive buffer.
struct StatusFrame {
    int physicalLane = 0; // (lane index byte AND 0x7F) + 1
    LaneStatus status;    // 7-bit status bytes 1..16
};

struct FrameScan {
    enum Kind {
        NeedMore, // no complete frame left: stop until more bytes arrive
        Dropped,  // a complete frame failed its check and was removed
        Frame,    // a valid frame was removed and is in `frame`
    } kind = NeedMore;
    StatusFrame frame;
};

// Takes the next complete frame out of `buffer`, with the bytes before its
// start. A buffer without a start byte is emptied; a partial frame is kept for
// the bytes still to come. A buffer that holds no complete frame within its
// first kFrameWindow bytes is cut back to its last start byte (or emptied), so
// it stays bounded and the caller's loop always ends:
//     for (FrameScan scan; (scan = scanStatusFrame(buffer)).kind != FrameScan::NeedMore;) ...
FrameScan scanStatusFrame(std::string& buffer);

} // namespace kuzelna
