#pragma once

// What the console shows of the lane link: a line in the status field and,
// while the link is not up, the link's state on the "Systém běží" indicator.
// The lane port reports; these put the operator's texts into the state.

#include <string>

namespace kuzelna {

struct MatchState;

// The device is missing or went away; `device` names it.
void noteLinkLost(MatchState& state, const std::string& device);
// Another attempt to open the device failed; `attempt` counts from 1.
void noteLinkRetrying(MatchState& state, const std::string& device, int attempt);
// The device is open (again).
void noteLinkBack(MatchState& state, const std::string& device);
// "Start" was pressed while the device is not open.
void noteStartWithoutLink(MatchState& state);

// Whether the link is up, as the console last heard.
bool linkUp(const MatchState& state);

} // namespace kuzelna
