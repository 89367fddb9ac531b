#pragma once

// Throw recording, block change and end of match, and the recalculation of a
// slot's totals, set points and duel points.

namespace kuzelna {

struct MatchState;
class MatchEvents;

// Record lane L after its status bytes were stored.
void recordLane(MatchState& state, int lane, MatchEvents& events);

// prepocitej: recalculates slot f and its duel partner's points.
void prepocitej(MatchState& state, int slot);

} // namespace kuzelna
