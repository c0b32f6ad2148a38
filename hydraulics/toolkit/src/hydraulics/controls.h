// Simple controls ([CONTROLS]) and rule-based controls ([RULES]): what they change and
// when they next act.
#pragma once

#include "hydraulics/simulation_state.h"

namespace kvepa2 {

// Applies the simple controls due at the current time with the current heads; true if a
// link status or setting changed.
bool applySimpleControls(SimulationState& s);
// Shortest time (s) from now until a timer, clock-time or tank-level control acts, or
// `limit` if none acts sooner. `netInflow` is the tank inflow by node (cfs).
long timeToNextControl(SimulationState& s, const std::vector<double>& netInflow, long limit);
// Remembers the level controls whose tanks reach their levels exactly at the end of `step`,
// so that the next solve applies them.
void markLevelControlsReached(SimulationState& s, const std::vector<double>& netInflow, long step);
// Evaluates all rules at time `t` with the current heads and tank levels; applies the
// winning actions and returns true if any link changed.
bool applyRules(SimulationState& s, long t);
// Sets a link's status or setting as a control action does; true if anything changed. A simple
// control's or the toolkit's OPEN also runs a pump at full speed (`fullSpeed`); a rule's OPEN
// only starts a closed pump and leaves a running one at its speed.
bool setLinkStatusAction(SimulationState& s, int link, LinkStatus status, bool fullSpeed);
bool setLinkSettingAction(SimulationState& s, int link, double setting);

}  // namespace kvepa2
