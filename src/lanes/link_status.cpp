#include "lanes/link_status.h"

#include "core/cp1250.h"
#include "core/match_events.h"
#include "core/match_state.h"

namespace kuzelna {

namespace {

void tell(MatchEvents& events) {
    events.statusLineChanged();
    events.runningIndicatorChanged();
}

} // namespace

void noteLinkLost(MatchState& state, MatchEvents& events, const std::string& device) {
    state.controls.linkDevice = device;
    state.controls.statusLine = cp1250::fromUtf8("Linka ztracena: ") + device;
    state.controls.linkIndicator = cp1250::fromUtf8("Linka ztracena");
    tell(events);
}

void noteLinkRetrying(MatchState& state, MatchEvents& events, const std::string& device, int attempt) {
    state.controls.statusLine =
        cp1250::fromUtf8("Linka: pokus ") + std::to_string(attempt) + " (" + device + ")";
    state.controls.linkIndicator = cp1250::fromUtf8("Linka: zkouším");
    tell(events);
}

void noteLinkBack(MatchState& state, MatchEvents& events, const std::string& device) {
    state.controls.statusLine = cp1250::fromUtf8("Linka obnovena: ") + device;
    state.controls.linkIndicator.clear();
    tell(events);
}

void noteStartWithoutLink(MatchState& state, MatchEvents& events) {
    state.controls.statusLine = cp1250::fromUtf8("Start bez linky: ") + state.controls.linkDevice;
    if (state.controls.linkIndicator.empty()) state.controls.linkIndicator = cp1250::fromUtf8("Linka chybí");
    tell(events);
}

bool linkUp(const MatchState& state) {
    return state.controls.linkIndicator.empty();
}

} // namespace kuzelna
