// Coefficient assembly of the gradient method: for every link the inverse head-loss
// gradient p and the flow correction y = p h(q), for emitters and pressure-driven demands
// the same as links to the ground, then the node matrix and right-hand side.
#pragma once

#include "hydraulics/simulation_state.h"

namespace kvepa2 {

// Flow imbalance at every junction with the current flows (inflow minus outflow).
void computeExcessFlows(SimulationState& s);
// p and y of every link, emitter and pressure-driven demand.
void computeLinkCoefficients(SimulationState& s);
// p and y of valve k in its current status.
void valveCoefficients(SimulationState& s, int k);
// The junction whose head link k fixes while it is an active pressure valve, else -1.
int fixedByValve(const SimulationState& s, int k);
// Fills s.ldl values and s.rhs from the coefficients.
void assembleMatrix(SimulationState& s);
// r = b - A x for the matrix assembleMatrix builds from the current coefficients, in extended
// precision.
void matrixResidual(const SimulationState& s, const double* b, const double* x, long double* r);
// Head loss (ft) and its gradient of an open pipe at flow q, by the model's formula.
headloss::Loss pipeLoss(const SimulationState& s, int link, double q);
// Head gain of a pump at flow q and speed; also its gradient (positive).
void pumpGain(const SimulationState& s, const PumpData& pump, double q, double speed, double& gain,
              double& gradient);

}  // namespace kvepa2
