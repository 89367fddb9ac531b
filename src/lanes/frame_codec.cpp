#include "lanes/frame_codec.h"

namespace kuzelna {
namespace {

unsigned char byteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

} // namespace

std::string encodeSentFrame(std::string_view body) {
    std::string frame;
    frame.reserve(body.size() + 3);
    frame.push_back(static_cast<char>(kSentStart));
    unsigned sum = 0;
    for (unsigned char b : body)
        sum += b;
    frame.append(body);
    frame.push_back(static_cast<char>((sum & 0xFF) | 0x80));
    frame.push_back(static_cast<char>(kSentEnd));
    return frame;
}

std::optional<std::string> decodeSentFrame(std::string_view frame) {
    if (frame.size() < 3 || byteAt(frame, 0) != kSentStart || byteAt(frame, frame.size() - 1) != kSentEnd)
        return std::nullopt;
    const std::string_view body = frame.substr(1, frame.size() - 3);
    unsigned sum = 0;
    for (unsigned char b : body)
        sum += b;
    if (byteAt(frame, frame.size() - 2) != ((sum & 0xFF) | 0x80)) return std::nullopt;
    return std::string(body);
}

std::string encodeStatusFrame(int physicalLane, const LaneStatus& status) {
    std::string frame;
    frame.push_back(static_cast<char>(kReceivedStart));
    frame.push_back(static_cast<char>(0x80));
    frame.push_back(static_cast<char>(0x80 | ((physicalLane - 1) & 0x7F)));
    frame.push_back(static_cast<char>(0x80));
    for (int k = 1; k <= 16; ++k)
        frame.push_back(static_cast<char>(0x80 | (status[k] & 0x7F)));
    unsigned sum = 0;
    for (std::size_t i = 1; i < frame.size(); ++i) {
        if (byteAt(frame, i) != kReceivedStart) sum += byteAt(frame, i);
    }
    frame.push_back(static_cast<char>((sum & 0xFF) | 0x80));
    frame.push_back(static_cast<char>(kReceivedEnd));
    return frame;
}

FrameScan scanStatusFrame(std::string& buffer) {
    const std::size_t start = buffer.find(static_cast<char>(kReceivedStart));
    if (start == std::string::npos) {
        buffer.clear();
        return {};
    }
    const std::size_t end = buffer.find(static_cast<char>(kReceivedEnd), start);
    if (end == std::string::npos) {
        // No complete frame yet. Keep waiting only while a frame could still end
        // inside the search window; otherwise keep the last start byte.
        if (buffer.size() > kFrameWindow) {
            const std::size_t last = buffer.rfind(static_cast<char>(kReceivedStart));
            if (last == 0 || buffer.size() - last > kFrameWindow) {
                buffer.clear();
            } else {
                buffer.erase(0, last);
            }
        } else if (start > 0) {
            buffer.erase(0, start);
        }
        return {};
    }

    unsigned sum = 0;
    for (std::size_t i = start + 1; i + 1 < end; ++i) {
        if (byteAt(buffer, i) != kReceivedStart) sum += byteAt(buffer, i);
    }
    const bool valid =
        end - start >= 18 && end - start <= kFrameWindow && byteAt(buffer, end - 1) == ((sum & 0xFF) | 0x80);
    FrameScan scan;
    if (valid) {
        scan.kind = FrameScan::Frame;
        scan.frame.physicalLane = (byteAt(buffer, start + 2) & 0x7F) + 1;
        // Short frames still take their status bytes from positions 4..19; past
        // the buffer's end they read as 0.
        for (int k = 1; k <= 16; ++k) {
            const std::size_t at = start + 3 + static_cast<std::size_t>(k);
            scan.frame.status[k] = at < buffer.size() ? (byteAt(buffer, at) & 0x7F) : 0;
        }
    } else {
        scan.kind = FrameScan::Dropped;
    }
    buffer.erase(0, end + 1);
    return scan;
}

} // namespace kuzelna
