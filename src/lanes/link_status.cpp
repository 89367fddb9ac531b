#include "lanes/link_status.h"

#include "core/cp1250.h"
#include "core/match_state.h"

namespace kuzelna {

void noteLinkLost(MatchState& state, const std::string& device) {
    state.controls.linkDevice = device;
    state.controls.statusLine = cp1250::fromUtf8("Linka ztracena: ") + device;
    state.controls.linkIndicator = cp1250::fromUtf8("Linka ztracena");
}

void noteLinkRetrying(MatchState& state, const std::string& device, int attempt) {
    state.controls.statusLine =
        cp1250::fromUtf8("Linka: pokus ") + std::to_string(attempt) + " (" + device + ")";
    state.controls.linkIndicator = cp1250::fromUtf8("Linka: zkouším");
}

void noteLinkBack(MatchState& state, const std::string& device) {
    state.controls.statusLine = cp1250::fromUtf8("Linka obnovena: ") + device;
    state.controls.linkIndicator.clear();
}

void noteStartWithoutLink(MatchState& state) {
    state.controls.statusLine = cp1250::fromUtf8("Start bez linky: ") + state.controls.linkDevice;
    if (state.controls.linkIndicator.empty()) state.controls.linkIndicator = cp1250::fromUtf8("Linka chybí");
}

bool linkUp(const MatchState& state) {
    return state.controls.linkIndicator.empty();
}

} // namespace kuzelna
