// How a design process tells a window or a terminal where it stands.
#pragma once

#include <cstdint>

namespace kelvarn::design {

// Where a design process stands; every notification carries a full copy.
struct DesignProgress {
    std::int32_t run = 0;           // genetic run in progress, from 1
    std::int32_t numberOfRuns = 0;  // runs of the process
    std::int32_t generation = 0;    // last reported generation of the run, from 1; 0 before the first
    float bestFitness = 0.0f;       // best fitness of the last reported generation
    bool bestIsFeasible = false;    // whether that chromosome is feasible
    bool feasibleFound = false;     // whether bestFeasibleCost holds a design yet
    float bestFeasibleCost = 0.0f;  // cheapest feasible design so far, once feasibleFound
    float runsProgress = 0.0f;      // progress over the runs, 0 to 100
    float runProgress = 0.0f;       // progress of the current run over its generations, 0 to 100
    std::int64_t evaluations = 0;   // fitness evaluations of the process so far
    std::int64_t simulations = 0;   // complete hydraulic simulations of the process so far
    double elapsedSeconds = 0.0;    // wall time since the process started
};

// Implemented by whatever shows a design process. Every function is called on
// the thread that runs the process; none is required.
class ProgressObserver {
  public:
    virtual ~ProgressObserver() = default;

    // A genetic run is about to start; runsProgress is that of the runs before it.
    virtual void runStarted(const DesignProgress& progress) { (void)progress; }
    // After every generation of a run.
    virtual void generationReported(const DesignProgress& progress) { (void)progress; }
    // After the last run (or the stopped one), before the final pass; both
    // progress fractions are 100.
    virtual void runsEnded(const DesignProgress& progress) { (void)progress; }
};

}  // namespace kelvarn::design
