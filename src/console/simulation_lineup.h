#pragma once

// Players for a match on the virtual alley: two teams and their line-ups, so
// that a simulated match shows names on the console and the lane displays
// without a registry file.

namespace kuzelna {

struct MatchState;

// Names the teams and fills player slots 1 .. 2 x pairCount (surname, first
// name and the 18-character display name).
void fillSimulationLineups(MatchState& state);

} // namespace kuzelna
