#include "console/lane_drawing.h"

#include "core/match_state.h"
#include "core/startup.h"
#include "scoring/rotation.h"
#include "scoring/slots.h"
#include "scoring/throw_recording.h"

namespace kuzelna {

const std::array<LanePoint, 15> kLampPositions = {{{0, 0},
                                                   {30, 50},
                                                   {20, 40},
                                                   {40, 40},
                                                   {10, 30},
                                                   {30, 30},
                                                   {50, 30},
                                                   {20, 20},
                                                   {30, 10},
                                                   {40, 20},
                                                   {50, 60},
                                                   {34, 60},
                                                   {42, 60},
                                                   {10, 60},
                                                   {20, 60}}};

const std::array<LampColour, 15> kLampColours = {
    LampColour::Red,   LampColour::Red,    LampColour::Red, LampColour::Red, LampColour::Red,
    LampColour::Red,   LampColour::Red,    LampColour::Red, LampColour::Red, LampColour::Red,
    LampColour::Green, LampColour::Yellow, LampColour::Red, LampColour::Red, LampColour::Yellow};

const std::array<LanePoint, 6> kFirstRowPositions = {
    {{50, 80}, {45, 80}, {40, 80}, {30, 80}, {20, 80}, {15, 80}}};
const std::array<LanePoint, 6> kSecondRowPositions = {
    {{50, 90}, {45, 90}, {40, 90}, {27, 90}, {20, 90}, {15, 90}}};

LanePoint laneOrigin(int lane, int laneCount, int clientWidth) {
    return {100 * (lane - 1) - 15 + (clientWidth - 100 * laneCount) / 2, 0};
}

bool lampLit(const LaneStatus& status, int lamp) {
    return status.lamp(lamp);
}

std::string displayDigitText(const LaneStatus& status, int byte) {
    if (byte <= 6) return Conv(status.firstRowDigit(byte));
    const int position = byte - 8;
    if (position >= 4 && position <= 6 && !status.secondRowShowsSix()) return "  ";
    return Conv(status.secondRowDigit(position));
}

std::string dotText(const LaneStatus& status) {
    return status.dotShown() ? "." : " ";
}

std::string hundredsText(const LaneStatus& status) {
    return status.plus100() ? "1" : "  ";
}

std::string laneCaption(const MatchState& state, int lane) {
    // A "100 Hs" counter back at 0 after 99 shows the player of throw 100.
    const int counter = laneThrowNumber(state, lane);
    if (counter < 0) return std::to_string(blankLaneSlot(state, lane));
    const int slot = Zjisti_cislo_hrace(state, counter > 0 ? counter - 1 : 0, lane);
    if (slot > kMaxSlots) return {};
    return playerName(slotOrEmpty(state, slot)); // slot 0: the empty slot's blank name
}

std::string teamLine(const MatchState& state) {
    std::string line = shownHomeName(state).substr(0, 9);
    line.resize(9, ' ');
    line += " - " + shownGuestName(state).substr(0, 9);
    if (line.size() < 18) line.resize(18, ' ');
    return line;
}

} // namespace kuzelna
