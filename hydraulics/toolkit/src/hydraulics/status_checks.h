// Link status logic of the gradient method: pressure valves are re-examined every trial;
// check valves, pumps, flow control valves and links at full or empty tanks at the
// check cadence and after convergence.
#pragma once

#include "hydraulics/simulation_state.h"

namespace kvepa2 {

// PRVs and PSVs governed by their settings; true if any status changed.
bool checkPressureValves(SimulationState& s);
// Check valves, pumps, FCVs and tank links; true if any status changed.
bool checkLinkStatuses(SimulationState& s);
// A running pump whose head gain exceeds its shutoff head at its speed (status checks shut it
// for want of head).
bool pumpBeyondShutoff(const SimulationState& s, int k);

}  // namespace kvepa2
