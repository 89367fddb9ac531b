#pragma once

// Overwriting the pins of one recorded throw from the overview's throw grid.

#include <string_view>

namespace kuzelna {

struct MatchState;
struct OverviewSelection;

// "Ulož" of the throw correction: the text must be exactly one digit "0".."9"
// and the overview's last clicked cell a pin cell of the configured game. Stores
// the digit into that throw of the shown player's slot and recalculates the
// slot. Returns false, changing nothing, when either condition fails.
bool saveThrowCorrection(MatchState& state, const OverviewSelection& selection, std::string_view text);

} // namespace kuzelna
