// The steady-state solve of one period by Todini and Pilati's global gradient method.
#pragma once

#include "hydraulics/simulation_state.h"

namespace kvepa2 {

// Solves heads and flows for the current demands, fixed grades and statuses. Returns 0,
// 1 (unbalanced after the extra trials), 2 (converged only with statuses frozen) or 110
// (the equations cannot be solved).
int solveSteadyState(SimulationState& s);

}  // namespace kvepa2
