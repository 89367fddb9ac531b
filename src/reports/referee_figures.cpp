#include "reports/referee_figures.h"

#include "core/match_state.h"
#include "scoring/slots.h"
#include "scoring/throw_recording.h"

#include <algorithm>

namespace kuzelna {
namespace {

const PlayerSlot& slotOf(const MatchState& state, int slot) {
    return state.player[static_cast<std::size_t>(std::clamp(slot, 0, kMaxSlots))];
}

} // namespace

bool setPlayed(const MatchState& state, int slot, int set) {
    if (set < 1 || set > kMaxSets) return false;
    const auto k = static_cast<std::size_t>(set);
    return slotOf(state, slot).laneTotal[k] != 0 || slotOf(state, duelPartner(slot)).laneTotal[k] != 0;
}

double setPointsOf(const MatchState& state, int slot, int set) {
    if (set < 1 || set > kMaxSets) return 0;
    const u16 points = slotOf(state, slot).setPoints[static_cast<std::size_t>(set)];
    // Whole-set scoring keeps whole points already.
    return state.controls.tandem ? points : points / 2.0;
}

double duelPointsOf(const MatchState& state, int slot) {
    const u16 points = slotOf(state, slot).duelPoints;
    return state.score16 ? points : points / 2.0;
}

MatchFigures matchFigures(const MatchState& state, int duels) {
    const TeamResult result = teamResult(state, 2 * duels);
    const double scale = state.score16 ? 1.0 : 0.5;
    return {result.homePins, result.guestPins, result.homeMatchPoints * scale, result.guestMatchPoints * scale};
}

} // namespace kuzelna
