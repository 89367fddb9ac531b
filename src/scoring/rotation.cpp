#include "scoring/rotation.h"

#include "core/match_state.h"
#include "scoring/game_kinds.h"
#include "scoring/slots.h"

#include <algorithm>

namespace kuzelna {
namespace {

constexpr int kFourLane[4][4] = {{1, 2, 4, 3}, {2, 1, 3, 4}, {3, 4, 2, 1}, {4, 3, 1, 2}};
constexpr int kTwoLane[2][4] = {{1, 2, 1, 2}, {2, 1, 2, 1}};
constexpr int kSixLane[6][6] = {{1, 2, 6, 5, 3, 4}, {2, 1, 5, 6, 4, 3}, {3, 4, 2, 1, 5, 6},
                                {4, 3, 1, 2, 6, 5}, {5, 6, 4, 3, 1, 2}, {6, 5, 3, 4, 2, 1}};

int rows(int laneLayout) { return laneCountFor(laneLayout); }

} // namespace

int rotationPosition(int laneLayout, int lane, int segment) {
    if (lane < 1 || lane > rows(laneLayout)) return 0;
    const int column = std::clamp(segment, 0, rotationColumns(laneLayout) - 1);
    switch (laneLayout) {
    case 1:
        return kFourLane[lane - 1][column];
    case 2:
        return kTwoLane[lane - 1][column];
    default:
        return kSixLane[lane - 1][column];
    }
}

int laneOfSet(int laneLayout, int position, int set) {
    if (set < 1 || set > rotationColumns(laneLayout)) return 0;
    for (int lane = 1; lane <= rows(laneLayout); ++lane) {
        if (rotationPosition(laneLayout, lane, set - 1) == position) return lane;
    }
    return 0;
}

int Zjisti_cislo_hrace(const MatchState& state, int throwIndex, int lane) {
    const int segment = std::min(throwIndex / throwsPerLane(state.gameKind), kMostLanesPerPlayer - 1);
    const int position = rotationPosition(state.laneLayout, lane, segment);
    return slotAtBlockPosition(state.firstPairOfBlock, position);
}

} // namespace kuzelna
