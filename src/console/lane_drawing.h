#pragma once

// What the operator's console draws for a lane and below the lanes: where a
// lane stands, which lamps are lit, the texts of its display and the name of
// the player on it, and the team line. The window only paints these.

#include <array>
#include <string>

namespace kuzelna {

struct MatchState;
struct LaneStatus;

constexpr int kConsoleWidth = 792;
constexpr int kConsoleHeight = 550;

// A point of the lane drawing, in units of 2 pixels from the lane origin.
struct LanePoint {
    int x;
    int y;
};

enum class LampColour { Red, Green, Yellow };

// Lamps 1..14 (index 0 unused): 1-9 the pins, 10-14 the lane's signal lamps.
extern const std::array<LanePoint, 15> kLampPositions;
extern const std::array<LampColour, 15> kLampColours;
// Display digits: status bytes 1-6 (first row) and 9-14 (second row), each
// array in byte order.
extern const std::array<LanePoint, 6> kFirstRowPositions;
extern const std::array<LanePoint, 6> kSecondRowPositions;

// Side of a lamp circle in pixels.
constexpr int kLampSize = 10;

// Top left of lane L's drawing: the lanes stand 100 pixels apart, centred.
LanePoint laneOrigin(int lane, int laneCount, int clientWidth = kConsoleWidth);

// Lamp i (1..14) of a lane status is lit.
bool lampLit(const LaneStatus& status, int lamp);

// The display text of status byte k (1..6 or 9..14); bytes 12-14 show only
// when the lane says the second row has all six digits.
std::string displayDigitText(const LaneStatus& status, int byte);

// The dot of the second row (" " when off) and the hundreds of the throw counter ("  " when off).
std::string dotText(const LaneStatus& status);
std::string hundredsText(const LaneStatus& status);

// The caption under lane L: the name of the player on it, or, while its counter
// is blank, the number of the slot the block on the lanes would put first on it.
// Windows-1250 bytes.
std::string laneCaption(const MatchState& state, int lane);

// "HOME     - GUEST" from the first 9 characters of each name, padded to 18
// characters when shorter. Windows-1250 bytes.
std::string teamLine(const MatchState& state);

} // namespace kuzelna
