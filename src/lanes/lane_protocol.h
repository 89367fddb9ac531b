#pragma once

// The words of the lane line: the code of every frame the server sends, one
// builder per frame (returning the whole frame, framed by frame_codec), and one
// parser that reads a frame body back into what it says. The server only
// builds; the virtual alley and the tests parse.
//
// A body is three bytes that say what follows — what kind of frame, which
// display or lane controller, and a mark — and then its data, every byte with
// bit 7 set (lane names may carry plain characters, see laneNameFrame).
//
//     poll              84, lane − 1, 81
//     key               85, lane − 1, 82, key code
//     lane start/stop   85, lane − 1, 82, F8
//     score             90, 94, 81, 12 digit codes
//     match points      90, 95, 81, 81 82 83 84 85, scale, scale, 2 guest bytes, 81, 2 home bytes
//     lane set points   90, 90 + lane − 1, 81, 81 .. 89, 8B, 2 point bytes (none above 8 points)
//     team names        99, 9E, 81, 18 text bytes, 3 high-bit bytes
//     lane name         99, C0 + lane − 1, 81, 18 text bytes, 3 high-bit bytes
//
// (lane − 1 and the other values with bit 7 set.)

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace kuzelna {

// First body byte: what the frame is.
constexpr unsigned char kPollCode = 0x84;
constexpr unsigned char kLaneCommandCode = 0x85;   // a key or a start/stop for one lane controller
constexpr unsigned char kNumberDisplayCode = 0x90; // score, match points, lane set points
constexpr unsigned char kTextDisplayCode = 0x99;   // team names, lane names

// Second body byte of a display frame: the display addressed. The lane
// displays' addresses are those of lane 1, plus physical lane − 1.
constexpr unsigned char kScoreAddress = 0x94;
constexpr unsigned char kMatchPointsAddress = 0x95;
constexpr unsigned char kTeamNamesAddress = 0x9E;
constexpr unsigned char kLaneSetPointsAddress = 0x90;
constexpr unsigned char kLaneNameAddress = 0xC0;

// Third body byte.
constexpr unsigned char kRequestMark = 0x81; // polls and display frames
constexpr unsigned char kCommandMark = 0x82; // keys and start/stop

// The lane command that starts or stops a lane (in place of a key code).
constexpr unsigned char kStartStopCommand = 0xF8;

// Fixed bytes in front of the values of the match-points and lane set-points frames.
constexpr std::array<unsigned char, 5> kMatchPointsLayout = {0x81, 0x82, 0x83, 0x84, 0x85};
constexpr std::array<unsigned char, 10> kLaneSetPointsLayout = {0x81, 0x82, 0x83, 0x84, 0x85,
                                                                0x86, 0x87, 0x88, 0x89, 0x8B};
// Between the guest and the home value of the match-points frame.
constexpr unsigned char kMatchPointsSeparator = 0x81;

// Point bytes. 8-point form: a half-point mark, then the whole points; it
// counts in half points. 16-point form: ones, then tens.
enum class PointScale { Eight, Sixteen };
constexpr unsigned char kEightPointScale = 0x8B;
constexpr unsigned char kSixteenPointScale = 0x8C;
constexpr unsigned char kHalfPointMark = 0x85;
constexpr unsigned char kWholePointMark = 0x80;

// Text of the name displays: 18 characters, a position past the text sent as
// A0 (a space with bit 7), then three bytes that carry the characters' own
// bit 7 (characters 1-7, 8-14, 15-18).
constexpr int kDisplayTextLength = 18;
constexpr unsigned char kTextPad = 0xA0;

// The score board's 12 digit codes (7-bit) in the order sent: guest pins, the
// difference field, home pins, each ones digit first. 0..9 are digits.
using ScoreDigits = std::array<unsigned char, 12>;
constexpr unsigned char kMinusDigit = 10; // sent as 8A
// What the score board shows in a tournament, in place of the pins.
constexpr ScoreDigits kTournamentScore = {11, 12, 13, 14, 15, 11, 12, 13, 14, 15, 11, 12};

// The digits of the score board for these pins: the difference field holds
// |home − guest| with a minus sign on the side of the leader (in front for a
// home lead, behind for a guest lead), where four places leave room for it.
ScoreDigits scoreDigits(int homePins, int guestPins);

// Set points written over the last three of the first `end` characters (12,
// 15 or 18; 0: none) of a lane name, as plain characters without bit 7: "2.5"
// for 5 half points; for 4 only the last of the three places becomes "2".
struct SetPointOverlay {
    int end = 0;
    int halfPoints = 0;
};

// The frames, each complete with start, check and end byte. Lanes are physical
// lanes 1..8, apart from the key's and the start/stop's, which are sent as
// given.
std::string pollFrame(int physicalLane);
std::string keyFrame(int lane, int keyCode);
std::string laneStartStopFrame(int lane);
std::string scoreFrame(const ScoreDigits& digits);
// The first 9 characters of each name, each padded to 9.
std::string teamNamesFrame(std::string_view home, std::string_view guest);
// Values in the display's units: half points in the 8-point form.
std::string matchPointsFrame(int home, int guest, PointScale scale);
// The first 18 characters of `name`; the high-bit bytes come from the name,
// not from the overlay.
std::string laneNameFrame(int physicalLane, std::string_view name, SetPointOverlay overlay = {});
// Above 8 half points the frame goes out without point bytes.
std::string laneSetPointsFrame(int physicalLane, int halfPoints);

// What a frame body says, one alternative per kind of frame. Texts are the 18
// characters with their bit 7 restored; a character sent without bit 7 (a
// set-point overlay) is taken as sent. Point values are in the display's units.
struct UnknownFrame {
    bool operator==(const UnknownFrame&) const = default;
};
struct PollFrame {
    int physicalLane = 0;
    bool operator==(const PollFrame&) const = default;
};
struct KeyFrame {
    int lane = 0;
    int keyCode = 0; // 7-bit
    bool operator==(const KeyFrame&) const = default;
};
struct LaneStartStopFrame {
    int lane = 0;
    bool operator==(const LaneStartStopFrame&) const = default;
};
struct ScoreFrame {
    ScoreDigits digits{};
    bool operator==(const ScoreFrame&) const = default;
};
struct MatchPointsFrame {
    PointScale scale = PointScale::Eight;
    int home = 0;
    int guest = 0;
    bool operator==(const MatchPointsFrame&) const = default;
};
struct LaneSetPointsFrame {
    int physicalLane = 0;
    std::optional<int> halfPoints; // none: the frame carried no point bytes
    bool operator==(const LaneSetPointsFrame&) const = default;
};
struct TeamNamesFrame {
    std::string text;
    bool operator==(const TeamNamesFrame&) const = default;
};
struct LaneNameFrame {
    int physicalLane = 0;
    std::string text;
    bool operator==(const LaneNameFrame&) const = default;
};

using ServerFrame = std::variant<UnknownFrame, PollFrame, KeyFrame, LaneStartStopFrame, ScoreFrame,
                                 MatchPointsFrame, LaneSetPointsFrame, TeamNamesFrame, LaneNameFrame>;

// A body of a frame to the lanes (without start, check and end byte). A body
// of the wrong length, an unknown address or a layout byte out of place reads
// as UnknownFrame.
ServerFrame parseFrameBody(std::string_view body);
// A whole frame; one that fails its check byte reads as UnknownFrame.
ServerFrame parseServerFrame(std::string_view frame);

} // namespace kuzelna
