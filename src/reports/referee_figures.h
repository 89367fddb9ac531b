#pragma once

// The referee's figures of a match as the report writes them: the points the
// engine keeps on the doubled scale, in the points the referee counts (a set
// won 1, drawn 0.5; a duel won 1, or 2 with 16-point scoring; the pin bonus
// 2 points, 4 with 16-point scoring).

namespace kuzelna {

struct MatchState;

// Whether set `set` of the duel of `slot` has been played (either player has pins in it).
bool setPlayed(const MatchState& state, int slot, int set);
double setPointsOf(const MatchState& state, int slot, int set);
double duelPointsOf(const MatchState& state, int slot);

struct MatchFigures {
    int homePins = 0, guestPins = 0;
    double homeMatchPoints = 0, guestMatchPoints = 0;
};
// Over the first `duels` duels.
MatchFigures matchFigures(const MatchState& state, int duels);

} // namespace kuzelna
