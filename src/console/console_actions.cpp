#include "console/console_actions.h"

#include "core/match_events.h"
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
        if (!linkUp(state)) {
            MatchEvents console; // the console shows the status line itself after Start
            noteStartWithoutLink(state, console);
        }
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

std::optional<LaneExport> lanePlayerExport(const MatchState& state, int lane) {
    if (lane < 1 || lane > 4) return std::nullopt;
    const int shown = state.laneShownPlayer[static_cast<std::size_t>(lane)];
    if (shown == 0) return std::nullopt;
    const int slot = shown - 1;
    return LaneExport{slot, slot % 2 == 1, "Tisk " + std::to_string(lane) + " drahy"};
}

void printLanePlayer(MatchState& state, int lane, const PlayerExport& exportPlayer) {
    const std::optional<LaneExport> request = lanePlayerExport(state, lane);
    if (!request) return;
    state.controls.statusLine = request->status;
    exportPlayer(request->slot, request->home);
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
        // The duels played: the form writes at most its three and says so.
        return {2, duels, "D "};
    case ReportButton::Special:
        return {3, duels, "Sp "};
    case ReportButton::ZlinDivision:
        return {4, duels, "ND "};
    case ReportButton::Monitor:
        // A file of its own: the official report "N ..." stays as it was saved.
        return {5, duels, "Monitor "};
    case ReportButton::Women:
        return {5, duels, "Z "};
    }
    return {0, duels, "N "};
}

} // namespace kuzelna
