#include "support/frames.h"

#include <stdexcept>

namespace kuzelna::testing {

LaneStatus laneStatus(int counter, int pins, bool settled) {
    LaneStatus s;
    s[4] = static_cast<u8>(pins);
    if (counter < 0) {
        s[5] = 13;
        s[6] = 13;
    } else {
        const int below100 = counter % 100;
        s[5] = static_cast<u8>(below100 % 10);
        s[6] = static_cast<u8>(below100 / 10);
        if (counter >= 100) s[15] |= 0x02;
    }
    if (!settled) s[8] |= 0x04;
    return s;
}

std::string statusFrame(int lane, const LaneStatus& status) {
    std::string frame;
    frame.push_back('\x17');
    frame.push_back(static_cast<char>(0x80));
    frame.push_back(static_cast<char>(0x80 | (lane - 1)));
    frame.push_back(static_cast<char>(0x80));
    for (int k = 1; k <= 16; ++k)
        frame.push_back(static_cast<char>(0x80 | status[k]));
    unsigned sum = 0;
    for (std::size_t i = 1; i < frame.size(); ++i) {
        if (static_cast<unsigned char>(frame[i]) != 0x17) sum += static_cast<unsigned char>(frame[i]);
    }
    frame.push_back(static_cast<char>((sum & 0xFF) | 0x80));
    frame.push_back('\x26');
    return frame;
}

std::string sentFrame(const std::string& body) {
    unsigned sum = 0;
    for (char c : body)
        sum += static_cast<unsigned char>(c);
    return "\x16" + body + static_cast<char>((sum % 256) | 0x80) + "\x25";
}

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

std::vector<std::string> sentBodies(const std::string& stream) {
    std::vector<std::string> bodies;
    std::size_t at = 0;
    while (at < stream.size()) {
        const std::size_t end = stream.find('\x25', at);
        if (stream[at] != '\x16' || end == std::string::npos || end < at + 2)
            throw std::runtime_error("malformed frame at " + std::to_string(at));
        std::string body = stream.substr(at + 1, end - at - 2);
        if (sentFrame(body) != stream.substr(at, end - at + 1))
            throw std::runtime_error("wrong check byte in frame at " + std::to_string(at));
        bodies.push_back(std::move(body));
        at = end + 1;
    }
    return bodies;
}

std::vector<ServerFrame> sentFrames(const std::string& stream) {
    std::vector<ServerFrame> frames;
    for (const std::string& body : sentBodies(stream))
        frames.push_back(parseFrameBody(body));
    return frames;
}

} // namespace kuzelna::testing
