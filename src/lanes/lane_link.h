#pragma once

// The receive side of the lane line: bytes from the serial port become status
// frames stored per lane and handed to throw recording or, while public play is
// on (controls.publicPlayOn), to the public play intake, which keeps what it
// read in state.publicPlayDiagnostics and reports publicPlayChanged.

#include <functional>
#include <string_view>

namespace kuzelna {

struct MatchState;
struct LaneStatus;
class MatchEvents;

class LaneLink {
public:
    LaneLink(MatchState& state, MatchEvents& events);

    // Bytes received on the serial line.
    void onBytes(std::string_view bytes);

    // Sees a status frame of lane L before throw recording takes it (the
    // journal writes it down first).
    std::function<void(int lane, const LaneStatus& status)> beforeRecording;

private:
    MatchState& state_;
    MatchEvents& events_;
};

} // namespace kuzelna
