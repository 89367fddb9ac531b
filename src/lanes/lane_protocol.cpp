#include "lanes/lane_protocol.h"

#include "lanes/frame_codec.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

namespace kuzelna {
namespace {

char hi(int value) {
    return static_cast<char>(0x80 | (value & 0xFF));
}

unsigned char at(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

std::string head(unsigned char code, int address, unsigned char mark) {
    return {static_cast<char>(code), hi(address), static_cast<char>(mark)};
}

void appendBytes(std::string& body, const auto& bytes) {
    for (unsigned char b : bytes)
        body.push_back(static_cast<char>(b));
}

bool hasBytesAt(std::string_view body, std::size_t from, const auto& bytes) {
    std::size_t i = from;
    for (unsigned char b : bytes) {
        if (at(body, i++) != b) return false;
    }
    return true;
}

std::string textBytes(std::string_view text) {
    std::string out;
    std::array<int, 3> highBits{};
    for (int i = 0; i < kDisplayTextLength; ++i) {
        if (static_cast<std::size_t>(i) < text.size()) {
            const auto c = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
            out.push_back(hi(c));
            if (c & 0x80) highBits[static_cast<std::size_t>(i / 7)] |= 1 << (i % 7);
        } else {
            out.push_back(static_cast<char>(kTextPad));
        }
    }
    for (int bits : highBits)
        out.push_back(hi(bits));
    return out;
}

std::string pointBytes(int value, PointScale scale) {
    if (scale == PointScale::Sixteen) return {hi(value % 10), hi(value / 10 % 10)};
    return {static_cast<char>(value % 2 ? kHalfPointMark : kWholePointMark), hi(value / 2)};
}

int readPoints(unsigned char first, unsigned char second, PointScale scale) {
    if (scale == PointScale::Sixteen) return 10 * (second & 0x7F) + (first & 0x7F);
    return 2 * (second & 0x7F) + (first == kHalfPointMark ? 1 : 0);
}

std::string padded(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

// The 18 characters after the head, bit 7 restored from the high-bit bytes.
std::string readText(std::string_view body) {
    std::string text;
    for (int i = 0; i < kDisplayTextLength; ++i) {
        const unsigned char c = at(body, 3 + static_cast<std::size_t>(i));
        if ((c & 0x80) == 0) {
            text.push_back(static_cast<char>(c));
            continue;
        }
        const unsigned char high = at(body, 3 + kDisplayTextLength + static_cast<std::size_t>(i / 7));
        const bool bit7 = (high >> (i % 7)) & 1;
        text.push_back(static_cast<char>((c & 0x7F) | (bit7 ? 0x80 : 0)));
    }
    return text;
}

constexpr std::size_t kNumberBodySize = 15;
constexpr std::size_t kSetPointsBodySize = 13; // without its point bytes
constexpr std::size_t kTextBodySize = 3 + kDisplayTextLength + 3;

} // namespace

ScoreDigits scoreDigits(int homePins, int guestPins) {
    ScoreDigits digits{};
    std::size_t next = 0;
    const auto put = [&](int code) { digits[next++] = static_cast<unsigned char>(code); };
    const auto places = [&](int value, std::initializer_list<int> list) {
        for (int place : list)
            put(value / place % 10);
    };
    const int difference = std::abs(homePins - guestPins);
    places(guestPins, {1, 10, 100, 1000});
    if (homePins > guestPins && difference < 1000) {
        put(kMinusDigit);
        places(difference, {1, 10, 100});
    } else {
        places(difference, {1, 10, 100});
        if (guestPins > homePins && difference < 1000 && difference != 0) {
            put(kMinusDigit);
        } else {
            places(difference, {1000});
        }
    }
    places(homePins, {1, 10, 100, 1000});
    return digits;
}

std::string pollFrame(int physicalLane) {
    return encodeSentFrame(head(kPollCode, physicalLane - 1, kRequestMark));
}

std::string keyFrame(int lane, int keyCode) {
    return encodeSentFrame(head(kLaneCommandCode, lane - 1, kCommandMark) + hi(keyCode));
}

std::string laneStartStopFrame(int lane) {
    return encodeSentFrame(head(kLaneCommandCode, lane - 1, kCommandMark) +
                           static_cast<char>(kStartStopCommand));
}

std::string scoreFrame(const ScoreDigits& digits) {
    std::string body = head(kNumberDisplayCode, kScoreAddress, kRequestMark);
    for (unsigned char d : digits)
        body.push_back(hi(d));
    return encodeSentFrame(body);
}

std::string teamNamesFrame(std::string_view home, std::string_view guest) {
    return encodeSentFrame(head(kTextDisplayCode, kTeamNamesAddress, kRequestMark) +
                           textBytes(padded(home, 9) + padded(guest, 9)));
}

std::string matchPointsFrame(int home, int guest, PointScale scale) {
    std::string body = head(kNumberDisplayCode, kMatchPointsAddress, kRequestMark);
    appendBytes(body, kMatchPointsLayout);
    body.append(2, static_cast<char>(scale == PointScale::Sixteen ? kSixteenPointScale : kEightPointScale));
    body += pointBytes(guest, scale);
    body.push_back(static_cast<char>(kMatchPointsSeparator));
    body += pointBytes(home, scale);
    return encodeSentFrame(body);
}

std::string laneNameFrame(int physicalLane, std::string_view name, SetPointOverlay overlay) {
    std::string body = head(kTextDisplayCode, kLaneNameAddress + physicalLane - 1, kRequestMark);
    body += textBytes(name);
    if (overlay.end >= 3 && overlay.end <= kDisplayTextLength) {
        const std::size_t first = 3 + static_cast<std::size_t>(overlay.end) - 3;
        const char whole = static_cast<char>('0' + overlay.halfPoints / 2 % 10);
        if (overlay.halfPoints % 2) {
            body[first] = whole;
            body[first + 1] = '.';
            body[first + 2] = '5';
        } else {
            body[first + 2] = whole;
        }
    }
    return encodeSentFrame(body);
}

std::string laneSetPointsFrame(int physicalLane, int halfPoints) {
    std::string body = head(kNumberDisplayCode, kLaneSetPointsAddress + physicalLane - 1, kRequestMark);
    appendBytes(body, kLaneSetPointsLayout);
    if (halfPoints <= 8) body += pointBytes(halfPoints, PointScale::Eight);
    return encodeSentFrame(body);
}

ServerFrame parseFrameBody(std::string_view body) {
    const std::size_t n = body.size();
    if (n < 3) return UnknownFrame{};
    const unsigned char code = at(body, 0), address = at(body, 1), mark = at(body, 2);
    const int lane = (address & 0x7F) + 1;
    if (code == kPollCode && n == 3 && mark == kRequestMark) return PollFrame{lane};
    if (code == kLaneCommandCode && n == 4 && mark == kCommandMark) {
        const unsigned char command = at(body, 3);
        if (command == kStartStopCommand) return LaneStartStopFrame{lane};
        return KeyFrame{lane, command & 0x7F};
    }
    if (code == kNumberDisplayCode && mark == kRequestMark) {
        // Lane 5's set points share the score board's address: the layout bytes tell them apart.
        if (address >= kLaneSetPointsAddress && address < kLaneSetPointsAddress + 8 &&
            (n == kSetPointsBodySize || n == kSetPointsBodySize + 2) &&
            hasBytesAt(body, 3, kLaneSetPointsLayout)) {
            LaneSetPointsFrame frame{address - kLaneSetPointsAddress + 1, std::nullopt};
            if (n > kSetPointsBodySize)
                frame.halfPoints = readPoints(at(body, 13), at(body, 14), PointScale::Eight);
            return frame;
        }
        if (n != kNumberBodySize) return UnknownFrame{};
        if (address == kScoreAddress) {
            ScoreFrame frame;
            for (std::size_t i = 0; i < frame.digits.size(); ++i)
                frame.digits[i] = at(body, 3 + i) & 0x7F;
            return frame;
        }
        const unsigned char scale = at(body, 8);
        if (address == kMatchPointsAddress && hasBytesAt(body, 3, kMatchPointsLayout) &&
            (scale == kEightPointScale || scale == kSixteenPointScale) && at(body, 9) == scale &&
            at(body, 12) == kMatchPointsSeparator) {
            const PointScale form = scale == kSixteenPointScale ? PointScale::Sixteen : PointScale::Eight;
            return MatchPointsFrame{form, readPoints(at(body, 13), at(body, 14), form),
                                    readPoints(at(body, 10), at(body, 11), form)};
        }
        return UnknownFrame{};
    }
    if (code == kTextDisplayCode && n == kTextBodySize && mark == kRequestMark) {
        if (address == kTeamNamesAddress) return TeamNamesFrame{readText(body)};
        if (address >= kLaneNameAddress && address < kLaneNameAddress + 8)
            return LaneNameFrame{address - kLaneNameAddress + 1, readText(body)};
    }
    return UnknownFrame{};
}

ServerFrame parseServerFrame(std::string_view frame) {
    const auto body = decodeSentFrame(frame);
    return body ? parseFrameBody(*body) : ServerFrame{UnknownFrame{}};
}

} // namespace kuzelna
