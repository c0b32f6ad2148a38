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

// A matrix that cannot be factorised at node n: an active PRV, PSV or FCV at n is taken as
// unable to hold its setting (solved as open, reported as such) so that the trial can be
// solved again. False if there is none, and the matrix is singular in earnest.
bool releaseValveAt(SimulationState& s, int n);
// Active PRVs whose upstream side is tied to no fixed grade (its only supply is an inflow
// behind the valve) leave that side's heads undetermined; they are released as above.
// True if any was.
bool releaseFloatingPrvs(SimulationState& s);

}  // namespace kvepa2
