#pragma once

// What the console shows of the lane link: a line in the status field and,
// while the link is not up, the link's state on the "Systém běží" indicator.
// The lane port reports; these put the operator's texts into the state and tell
// the console which of its controls changed.

#include <string>

namespace kuzelna {

struct MatchState;
class MatchEvents;

// The device is missing or went away; `device` names it.
void noteLinkLost(MatchState& state, MatchEvents& events, const std::string& device);
// Another attempt to open the device failed; `attempt` counts from 1.
void noteLinkRetrying(MatchState& state, MatchEvents& events, const std::string& device, int attempt);
// The device is open (again).
void noteLinkBack(MatchState& state, MatchEvents& events, const std::string& device);
// "Start" was pressed while the device is not open.
void noteStartWithoutLink(MatchState& state, MatchEvents& events);

// Whether the link is up, as the console last heard.
bool linkUp(const MatchState& state);

} // namespace kuzelna
