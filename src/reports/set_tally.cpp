#include "reports/set_tally.h"

#include "core/match_state.h"

namespace kuzelna {

SetTally tallySet(const PlayerSlot& player, int set, int throwsPerHalf) {
    SetTally tally;
    const int fullStart = (2 * set - 2) * throwsPerHalf;
    const int clearingStart = fullStart + throwsPerHalf;
    for (int j = 1; j <= throwsPerHalf && clearingStart + j <= kMaxThrows; ++j) {
        const int full = player.throws[static_cast<std::size_t>(fullStart + j)];
        const int clearing = player.throws[static_cast<std::size_t>(clearingStart + j)];
        tally.full += full;
        tally.clearing += clearing;
        tally.fullFaults += full == 0 ? 1 : 0;
        tally.clearingFaults += clearing == 0 ? 1 : 0;
    }
    return tally;
}

} // namespace kuzelna
