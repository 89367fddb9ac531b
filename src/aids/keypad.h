#pragma once

// The on-screen copy of a lane controller's keypad. A key only records what
// waits to be sent; the match cycle sends it at its next turn.

#include <array>

namespace kuzelna {

struct MatchState;

struct KeypadKey {
    const char* caption;
    unsigned char code; // 16 x row + 2^column of the controller's key matrix
    // Place on the keypad in half key widths from the left and key heights from the top.
    int halfColumn;
    int row;
};

extern const std::array<KeypadKey, 28> kKeypadKeys;

// A keypad key: replaces any key still waiting.
void pressKeypadKey(MatchState& state, unsigned char code);

// The "S/S" button of lane L (1..8): several lanes may wait at once.
void requestLaneStartStop(MatchState& state, int lane);

} // namespace kuzelna
