#pragma once

// The two line-ups of the registry window: adding a player node, removing by a
// click on a grid row, the grid texts, and loading the line-ups into the player
// slots. Home place h is slot 2h - 1, guest place h slot 2h.

#include "core/match_state.h"

#include <string>
#include <vector>

namespace kuzelna {

struct RegistryNode;

enum class LineupSide { Home, Guest };

constexpr int kCaptionedSlots = 16;

u8& lineupCount(MatchState& state, LineupSide side);
OneBased<std::string, kLineupPlaces>& lineupPlaces(MatchState& state, LineupSide side);

// A double click on `node` (nothing unless it is a player): the line goes into
// the first empty place of the active side, or a new last place below 30.
// In a tournament the active side flips at every player, so that consecutive
// players alternate. The first player of a side brings its team's title and name.
void addToLineup(MatchState& state, LineupSide& activeSide, const RegistryNode* node);

// A click on grid row `row` (0-based) of `side`: a player inside the list
// leaves a gap, a gap closes, the last row or any row below removes the last place.
void removeFromLineup(MatchState& state, LineupSide side, int row);

// Text of a cell of a line-up grid (30 rows; column 0 the number, 1 the line).
std::string lineupCellText(const MatchState& state, LineupSide side, int row, int column);

// Loads the places in use into their player slots (an empty place loads empty fields).
void loadLineupsIntoSlots(MatchState& state);

// Registry lines of player slots 1..16, the captions of the tie-break window.
std::vector<std::string> playerCaptions(const MatchState& state);

} // namespace kuzelna
