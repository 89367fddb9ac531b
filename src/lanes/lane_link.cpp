#include "lanes/lane_link.h"

#include "commercial/public_play.h"
#include "core/match_events.h"
#include "core/match_state.h"
#include "lanes/frame_codec.h"
#include "scoring/slots.h"
#include "scoring/throw_recording.h"

namespace kuzelna {

LaneLink::LaneLink(MatchState& state, MatchEvents& events) : state_(state), events_(events) {}

void LaneLink::onBytes(std::string_view bytes) {
    state_.rxBuffer.append(bytes);
    // The scan always removes bytes or reports NeedMore, so this loop ends.
    for (FrameScan scan; (scan = scanStatusFrame(state_.rxBuffer)).kind != FrameScan::NeedMore;) {
        if (scan.kind != FrameScan::Frame) continue;
        state_.pollDelay = 0;
        const int lane = logicalLane(state_, scan.frame.physicalLane);
        if (lane < 1 || lane > state_.laneCount || lane > kMaxLanes) continue;
        if (!state_.controls.publicPlayOn && beforeRecording) beforeRecording(lane, scan.frame.status);
        // Most answers repeat the lane's last one: the windows hear of a lane
        // only when what it shows has changed.
        const bool statusChanged = state_.laneStatus[lane].bytes != scan.frame.status.bytes;
        state_.laneStatus[lane] = scan.frame.status;
        if (state_.controls.publicPlayOn) {
            publicPlayIntake(state_, lane, state_.publicPlayDiagnostics);
            events_.publicPlayChanged(lane);
            if (statusChanged) events_.laneChanged(lane);
        } else {
            recordLane(state_, lane, events_, statusChanged);
        }
    }
}

} // namespace kuzelna
