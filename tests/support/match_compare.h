#pragma once

// Everything of two match states that makes up the match, compared field by
// field: the configuration, what throw recording remembers of every lane, the
// teams, every slot with its throws and totals, and the scoring switches.
// Left out: the link's polling and display cycle, the receive buffer, public
// play, the standings and the settings read from zodided.ini.

#include "core/match_state.h"

#include <string>
#include <vector>

namespace kuzelna::testing {

// The names of the fields that differ ("player[3].throws[17]: 4 / 5"), empty when none.
std::vector<std::string> matchDifferences(const MatchState& a, const MatchState& b);

} // namespace kuzelna::testing
