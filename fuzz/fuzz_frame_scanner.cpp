// The frame scanner on any bytes: every step that is not NeedMore takes bytes
// out, frames carry 7-bit status bytes, and what is left waiting fits the frame
// window. A status frame as a lane sends it comes back as it went out, and so
// does a frame to the lanes.

#include "fuzz_input.h"
#include "lanes/frame_codec.h"

using namespace kuzelna;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const int lane = in.number(1, kMaxLanes);
    LaneStatus status;
    for (int k = 1; k <= 16; ++k)
        status[k] = in.byte() & 0x7F;
    std::string sent = in.text();
    std::string buffer = in.rest();

    for (;;) {
        const std::size_t before = buffer.size();
        const FrameScan scan = scanStatusFrame(buffer);
        if (scan.kind == FrameScan::NeedMore) break;
        FUZZ_CHECK(buffer.size() < before);
        if (scan.kind == FrameScan::Frame) {
            FUZZ_CHECK(scan.frame.physicalLane >= 1 && scan.frame.physicalLane <= 128);
            for (int k = 1; k <= 16; ++k)
                FUZZ_CHECK(scan.frame.status[k] <= 0x7F);
        }
    }
    FUZZ_CHECK(buffer.size() <= kFrameWindow);

    std::string frame = encodeStatusFrame(lane, status);
    const FrameScan scan = scanStatusFrame(frame);
    FUZZ_CHECK(scan.kind == FrameScan::Frame && scan.frame.physicalLane == lane);
    FUZZ_CHECK(scan.frame.status.bytes == status.bytes);
    FUZZ_CHECK(frame.empty());

    FUZZ_CHECK(decodeSentFrame(encodeSentFrame(sent)) == sent);
    return 0;
}
