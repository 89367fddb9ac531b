// What comes in from the network side: a datagram from a lane PC becomes one
// short line for the status field, without a control byte; and the virtual
// alley's receive takes any bytes on the line and answers only with frames a
// lane controller may send.

#include "fuzz_input.h"
#include "lanes/frame_codec.h"
#include "lanes/virtual_alley.h"
#include "reports/datagrams.h"

using namespace kuzelna;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::string sender = "127.0.0.1:4665 ";
    const std::string datagram = in.text();
    const std::string status = receivedDatagramStatus(sender, datagram);
    FUZZ_CHECK(status.size() <= sender.size() + 64 + 20);
    for (std::size_t i = sender.size(); i < status.size(); ++i) {
        const auto c = static_cast<unsigned char>(status[i]);
        FUZZ_CHECK(c >= 0x20 && c != 0x7F);
    }

    AlleySetup setup;
    setup.gameKind = in.number(1, 6);
    setup.laneLayout = in.number(1, 3);
    setup.lanePair = in.number(1, 2);
    setup.duels = in.number(1, 30);
    setup.seed = in.byte();
    setup.throwMs = in.flag() ? 0 : 18000;
    VirtualAlley alley(setup);
    std::int64_t clock = 0;
    while (!in.empty()) {
        clock += in.byte() * 100;
        alley.setClock(clock);
        std::string answers = alley.receive(in.bytes(96));
        for (FrameScan scan; (scan = scanStatusFrame(answers)).kind != FrameScan::NeedMore;)
            FUZZ_CHECK(scan.kind == FrameScan::Frame);
    }
    return 0;
}
