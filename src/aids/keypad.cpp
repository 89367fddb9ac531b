#include "aids/keypad.h"

#include "core/match_state.h"

namespace kuzelna {

// The digits form a diamond (9 on top, 1 at the bottom, 0 below right), the
// paired function keys stand to the right, the multiplier groups at the bottom.
const std::array<KeypadKey, 28> kKeypadKeys = {{
    {"9", 0x61, 2, 0},      {"7", 0x54, 1, 1},    {"8", 0x58, 3, 1},      {"4", 0x48, 0, 2},
    {"5", 0x51, 2, 2},      {"6", 0x52, 4, 2},    {"2", 0x42, 1, 3},      {"3", 0x44, 3, 3},
    {"1", 0x41, 2, 4},      {"0", 0x32, 4, 5},    {"Karty", 0x21, 6, 2},  {"CHYBA", 0x08, 8, 0},
    {"NULO.", 0x04, 10, 0}, {"PLNE", 0x01, 8, 1}, {"DORAZ", 0x02, 10, 1}, {"START", 0x11, 8, 2},
    {"STOP", 0x12, 10, 2},  {"HRA", 0x62, 9, 3},  {"x1", 0x14, 0, 6},     {"x10", 0x18, 2, 6},
    {"S/S", 0x78, 0, 7},    {"x1", 0x22, 6, 6},   {"x10", 0x24, 8, 6},    {"x100", 0x28, 10, 6},
    {"x1", 0x68, 6, 7},     {"x10", 0x71, 8, 7},  {"x100", 0x72, 10, 7},  {"Nastav", 0x74, 12, 7},
}};

void pressKeypadKey(MatchState& state, unsigned char code) {
    state.keyCode = code;
    state.keyPending = 1;
}

void requestLaneStartStop(MatchState& state, int lane) {
    if (lane < 1 || lane > kMaxLanes) return;
    state.laneCommand[static_cast<std::size_t>(lane)] = 1;
}

} // namespace kuzelna
