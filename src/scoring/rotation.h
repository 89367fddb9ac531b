#pragma once

// The lane rotation: which player of a block throws on which lane in which
// segment. The tables exist once, here; the per-player lane sequence used by the
// overview, the player sheets and the reports is derived from them.

namespace kuzelna {

struct MatchState;

// Position within the block (1 = home player of the block's first duel, 2 = its
// guest, ...) of the player on logical lane `lane` in segment `segment` (0-based).
// Segments beyond the table's last column are clamped to it; lanes outside the
// table give 0.
int rotationPosition(int laneLayout, int lane, int segment);

// The lane on which the player at block position `position` plays set `set`
// (1-based), or 0 when the table has no such position or set.
int laneOfSet(int laneLayout, int position, int set);

// Zjisti_cislo_hrace: the player slot throwing throw index `throwIndex` (0-based)
// on logical lane `lane`, with the block now on the lanes.
int Zjisti_cislo_hrace(const MatchState& state, int throwIndex, int lane);

} // namespace kuzelna
