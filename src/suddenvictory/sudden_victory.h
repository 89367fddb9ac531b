#pragma once

// The Sudden Victory tie-break of the three lane pairs: the single throws the
// operator types for both sides, and the marks that decide tied sets in
// whole-set scoring.

#include "core/match_state.h"

#include <array>
#include <string>
#include <string_view>

namespace kuzelna {

constexpr int kTieBreakPairs = 3;
constexpr int kTieBreakRows = 16; // player slots 1..16 can be marked
constexpr int kTieBreakSets = 2;  // sets 1 and 2 can be marked

// The pins of a typed throw: its first character "1".."9", anything else 0.
u8 svThrowValue(std::string_view text);

struct TieBreakSums {
    int first = 0;
    int second = 0;
};

TieBreakSums tieBreakSums(const SuddenVictoryState& sv, int pair);

// "Draha 1-2" / "Draha 3-4" / "Draha 5-6": the tie-break of pair q on or off.
void setTieBreakOn(MatchState& state, int pair, bool on);

// "uloz": the three throws of each side of pair q, in row order; gives the sums.
TieBreakSums storeTieBreak(MatchState& state, int pair, const std::array<std::string, 3>& first,
                           const std::array<std::string, 3>& second);

// "Smazat": the six stored throws of pair q become 0.
void clearTieBreak(MatchState& state, int pair);

// "B1"/"B2" of row r: the tie-break point of set 1 or 2 of player slot r. The
// duel is recalculated at once: a mark comes after its tied set is over, and
// after the last set no further throw would bring it into the score.
void markTieBreak(MatchState& state, int row, int set, bool won);

// "Tandem": whole-set scoring on or off. Every duel of the match is
// recalculated, so that no set points stay on the other scale.
void setWholeSetScoring(MatchState& state, bool on);

} // namespace kuzelna
