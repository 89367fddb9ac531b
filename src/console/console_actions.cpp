#include "console/console_actions.h"

#include "core/match_state.h"
#include "lanes/link_status.h"

namespace kuzelna {

std::string pressStart(MatchState& state) {
    // Once the last block is over nothing may be sent again; saying "Pracuje"
    // then would tell the operator a link runs that never will.
    if (state.matchOver) return kMatchEndCaption;
    std::string caption;
    if (state.running == 0) {
        caption = "Pracuje";
        state.linkPaused = 0;
        // The link starts as soon as the device is back; the operator must not
        // take "Pracuje" for a working line meanwhile.
        if (!linkUp(state)) noteStartWithoutLink(state);
    } else {
        caption = "Zastaveno";
        state.linkPaused = 1;
    }
    state.running = state.running ? 0 : 1;
    return caption;
}

void releaseNameSwap(MatchState& state) {
    state.nameSwapCountdown = 1;
}

std::string toggleAdvertising(MatchState& state) {
    if (state.advertNumber != 0) {
        state.advertNumber = 0;
        return "Zobraz reklamu";
    }
    state.advertNumber = 1;
    state.advertTicks = 0;
    return "Vypni reklamu";
}

void printLanePlayer(MatchState& state, int lane, const PlayerExport& exportPlayer) {
    if (lane < 1 || lane > 4) return;
    const int shown = state.laneShownPlayer[static_cast<std::size_t>(lane)];
    if (shown == 0) return;
    state.controls.statusLine = "Tisk " + std::to_string(lane) + " drahy";
    const int slot = shown - 1;
    exportPlayer(slot, slot % 2 == 1);
    state.controls.statusLine = "Tisk OK";
}

MatchReportRequest matchReportRequest(const MatchState& state, ReportButton button) {
    const int duels = state.pairCount;
    switch (button) {
    case ReportButton::New:
        return {0, duels, "N "};
    case ReportButton::Old:
        return {1, duels, "S "};
    case ReportButton::Youth:
        return {2, 3, "D "};
    case ReportButton::Special:
        return {3, duels, "Sp "};
    case ReportButton::ZlinDivision:
        return {4, duels, "ND "};
    case ReportButton::Monitor:
        return {5, duels, "N "};
    case ReportButton::Women:
        return {5, duels, "Z "};
    }
    return {0, duels, "N "};
}

} // namespace kuzelna
