#include "reports/throw_correction.h"

#include "core/match_state.h"
#include "reports/overview.h"
#include "scoring/slots.h"
#include "scoring/throw_recording.h"

namespace kuzelna {

bool saveThrowCorrection(MatchState& state, const OverviewSelection& selection, std::string_view text) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '9') return false;
    // A click on a header, the label column or a blank cell names no throw of the
    // grid (or a different one than the cell shows); storing there would write
    // a throw the operator never saw.
    if (!isPinCell(state, selection.clickedColumn, selection.clickedRow)) return false;
    const int slot = selection.shownSlot();
    if (!validSlot(slot)) return false;
    const int t = throwOfCell(state.gameKind, selection.clickedColumn, selection.clickedRow);
    PlayerSlot& player = state.player[static_cast<std::size_t>(slot)];
    player.throws[static_cast<std::size_t>(t)] = static_cast<u8>(text[0] - '0');
    player.throwUnseen[static_cast<std::size_t>(t)] = 0; // the referee has put it right
    prepocitej(state, slot);
    return true;
}

} // namespace kuzelna
