#pragma once

// Where a board goes on the screens.

namespace kuzelna {

struct MatchState;

struct BoardPosition {
    int left = 0;
    int top = 0;
};

// Automatic placement puts a board just right of the primary screen, on the
// second screen; otherwise the stored position applies.
BoardPosition boardPosition(const MatchState& state, int primaryScreenWidth);

} // namespace kuzelna
