#pragma once

// Throw recording, block change and end of match, and the recalculation of a
// slot's totals, set points and duel points.

namespace kuzelna {

struct MatchState;
struct LaneStatus;
class MatchEvents;

// The throw counter shown by a lane's status bytes (0..199, with the +100 bit),
// or -1 when the counter is blank (a digit above 9).
int laneCounter(const LaneStatus& status);

// The throw number lane L is at as throw recording sees it: the counter, except
// that a counter which fell to 0 right after the game's last throw but one
// ("100 Hs": 99 to 0) stands for the game's last throw. -1 when blank.
int laneThrowNumber(const MatchState& state, int lane);

// Record lane L after its status bytes were stored: store the throw, move the
// block when every lane has gone blank, end the match after the last block.
// The lane is reported changed unless `statusChanged` says the bytes repeat
// the lane's last answer and recording them changed nothing the lane shows.
void recordLane(MatchState& state, int lane, MatchEvents& events, bool statusChanged = true);

// Throws slot `slot` has made so far: its throw count, within the game's throws.
int throwsMade(const MatchState& state, int slot);
// Zero-pin throws among those made so far, in set `set` (1-based) or, with 0, in
// every set. At the end of a game this equals the slot's `faults`, which counts
// the throws not yet made as well.
int faultsMade(const MatchState& state, int slot, int set = 0);

// prepocitej: recalculates slot f and its duel partner's points.
void prepocitej(MatchState& state, int slot);

// Pins, duel points and match points of the two teams over slots 1..lastSlot
// (home = odd slots). Match points are on the doubled scale: duel points plus
// the pin bonus of 4 to the side with more pins, 2 each on equal pins.
struct TeamResult {
    int homePins = 0, guestPins = 0;
    int homeDuelPoints = 0, guestDuelPoints = 0;
    int homeMatchPoints = 0, guestMatchPoints = 0;
};
TeamResult teamResult(const MatchState& state, int lastSlot);

} // namespace kuzelna
