#include "boards/board_position.h"

#include "core/match_state.h"

namespace kuzelna {

BoardPosition boardPosition(const MatchState& state, int primaryScreenWidth) {
    if (state.boardAutoPosition != 0) return {primaryScreenWidth, 0};
    return {state.boardLeft, state.boardTop};
}

} // namespace kuzelna
