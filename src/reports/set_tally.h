#pragma once

// The sums of one set of a player, as the workbooks record them: the pins of
// its full half and of its clearing half and the zero-pin throws of each half.

namespace kuzelna {

struct PlayerSlot;

struct SetTally {
    int full = 0;
    int clearing = 0;
    int fullFaults = 0;
    int clearingFaults = 0;
    int faults() const { return fullFaults + clearingFaults; }
};

// Set `set` (1-based) with `throwsPerHalf` throws in each half. Every stored
// throw of the range counts, thrown yet or not: a set not yet played has no
// pins and all its throws count as zero-pin throws.
SetTally tallySet(const PlayerSlot& player, int set, int throwsPerHalf);

} // namespace kuzelna
