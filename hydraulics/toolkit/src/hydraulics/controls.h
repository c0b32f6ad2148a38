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
// Applies the level controls on junctions whose condition the present heads meet, as the
// solver does when a trial converges; true if a link changed, so that the trials go on.
bool applyJunctionControls(SimulationState& s);
// Evaluates all rules at time `t` with the current heads and tank levels; applies the
// winning actions and returns true if any link changed.
bool applyRules(SimulationState& s, long t);
// Who changes a link's status: they differ in what counts as a change.
//  - a simple control acts whenever the link differs from what it asks for, a pump's speed
//    and a valve's setting included (OPEN runs a pump at full speed, CLOSED fixes a valve the
//    solver had shut, a setting puts a valve standing open or shut under it again), but its
//    CLOSED leaves a link a full or empty tank shut free to reopen;
//  - a rule only opens a closed link or closes an open one, and leaves a running pump's speed
//    and an active valve, or one given the setting it has, alone;
//  - the toolkit's EN_STATUS acts as a simple control does, but shuts a link for good; its
//    EN_SETTING acts as a rule's setting does.
enum class ActionBy { Control, Rule, Toolkit };
// Sets a link's status or setting as a control action does; true if anything changed.
bool setLinkStatusAction(SimulationState& s, int link, LinkStatus status, ActionBy by);
bool setLinkSettingAction(SimulationState& s, int link, double setting, ActionBy by);

}  // namespace kvepa2
