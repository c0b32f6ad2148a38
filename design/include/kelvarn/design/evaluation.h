// The hydraulic judgement of one candidate design: its cost, the worst
// violation of each kind of limit over the whole simulation period, the
// penalties they cost, and whether the design is feasible.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "kelvarn/design/decoding.h"
#include "kelvarn/design/ga_options.h"

namespace kelvarn::design {

// The penalty weights and tolerances of GaOptions.
struct PenaltySettings {
    float PressurePenalty = 0;
    float WarningPenalty = 0;
    float VelocityPenalty = 0;
    float SourcesPenalty = 0;
    float PressureTolerance = 0;
    float VelocityTolerance = 0;

    static PenaltySettings From(const GaOptions& options);
};

struct Evaluation {
    float cost = 0;
    float warningTerm = 0;           // WarningPenalty once any hydraulic step gave a non-zero code
    float maxPressureViolation = 0;  // worst shortfall below or excess above a junction's limits
    float maxVelocityViolation = 0;  // worst, over pipes flowing above VelocityTolerance
    float maxSourceViolation = 0;    // worst excess of a source's outflow over its MaxFlow
    float pressureTerm = 0;
    float velocityTerm = 0;
    float sourceTerm = 0;
    float fitness = 0;
    bool feasible = false;
    bool unsolved = false;  // the toolkit reported a value that is not a number
};

// A value query of the toolkit failed during an evaluation; the model cannot be
// trusted any more.
class HydraulicQueryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Applies the genes in evaluation mode, simulates every period from the start
// and judges the design. The toolkit project and its hydraulics must be open.
// Throws HydraulicQueryError when a pressure, velocity or demand query fails.
Evaluation SimulateDesign(const DesignLayout& layout, const PenaltySettings& settings, HydraulicModel& model,
                          std::span<const std::int32_t> genes);

}  // namespace kelvarn::design
