#include "kelvarn/design/evaluation.h"

#include <cmath>

#include "kelvarn/binding/toolkit.h"

namespace kelvarn::design {

namespace {

float RoundToFloat(double value) {
    return static_cast<float>(value);
}

void Query(int code, const char* what, const std::string& id) {
    if (code != 0) {
        throw HydraulicQueryError("The toolkit could not report the " + std::string(what) + " of " + id +
                                  " (code " + std::to_string(code) + ")");
    }
}

}  // namespace

PenaltySettings PenaltySettings::From(const GaOptions& options) {
    PenaltySettings s;
    s.PressurePenalty = options.PressurePenalty;
    s.WarningPenalty = options.WarningPenalty;
    s.VelocityPenalty = options.VelocityPenalty;
    s.SourcesPenalty = options.SourcesPenalty;
    s.PressureTolerance = options.PressureTolerance;
    s.VelocityTolerance = options.VelocityTolerance;
    return s;
}

Evaluation SimulateDesign(const DesignLayout& layout, const PenaltySettings& settings, HydraulicModel& model,
                          std::span<const std::int32_t> genes) {
    Evaluation e;
    e.cost = ApplyChromosome(layout, model, genes, ApplyMode::Evaluation);
    model.ENinitH(1);
    long t = 0;
    for (;;) {
        if (model.ENrunH(t) != 0) {
            // Set, not added: many warning periods count once.
            e.warningTerm = settings.WarningPenalty;
        }
        for (const DesignedJunction& j : layout.junctions) {
            float p = 0;
            Query(model.ENgetnodevalue(j.index, binding::en::PRESSURE, p), "pressure", j.id);
            if (!std::isfinite(p)) {
                e.unsolved = true;
                continue;
            }
            float violation = 0;
            if (p < j.minPressure) {
                violation = j.minPressure - p;
            }
            if (p > j.maxPressure) {
                violation = p - j.maxPressure;
            }
            if (violation > e.maxPressureViolation) {
                e.maxPressureViolation = violation;
            }
        }
        for (const DesignedPipe& pipe : layout.pipes) {
            float v = 0;
            Query(model.ENgetlinkvalue(pipe.index, binding::en::VELOCITY, v), "velocity", pipe.id);
            if (!std::isfinite(v)) {
                e.unsolved = true;
                continue;
            }
            if (v <= settings.VelocityTolerance) {
                continue;  // nearly stagnant or closed pipes are not held to a minimum velocity
            }
            float violation = 0;
            if (v < pipe.minVelocity) {
                violation = pipe.minVelocity - v;
            }
            if (v > pipe.maxVelocity) {
                violation = v - pipe.maxVelocity;
            }
            if (violation > e.maxVelocityViolation) {
                e.maxVelocityViolation = violation;
            }
        }
        for (const DesignedSource& s : layout.sources) {
            float q = 0;
            Query(model.ENgetnodevalue(s.index, binding::en::DEMAND, q), "outflow", s.id);
            if (!std::isfinite(q)) {
                e.unsolved = true;
                continue;
            }
            q = std::fabs(q);  // a supplying source shows a negative demand
            if (q > s.maxFlow) {
                const float violation = q - s.maxFlow;
                if (violation > e.maxSourceViolation) {
                    e.maxSourceViolation = violation;
                }
            }
        }
        long step = 0;
        const int nextCode = model.ENnextH(step);
        if (nextCode >= 100) {
            // A failed step has no trustworthy length; stop rather than loop on it.
            e.warningTerm = settings.WarningPenalty;
            break;
        }
        if (step == 0) {
            break;
        }
    }
    if (e.unsolved) {
        // Values that are not numbers judge nothing: such a design counts as a
        // solver failure, whatever the warning weight.
        e.warningTerm = settings.WarningPenalty;
    }
    e.pressureTerm = RoundToFloat(static_cast<double>(settings.PressurePenalty) * e.maxPressureViolation);
    e.velocityTerm = RoundToFloat(static_cast<double>(settings.VelocityPenalty) * e.maxVelocityViolation);
    e.sourceTerm = RoundToFloat(static_cast<double>(settings.SourcesPenalty) * e.maxSourceViolation);
    e.fitness = RoundToFloat(static_cast<double>(e.cost) + e.warningTerm + e.pressureTerm + e.velocityTerm +
                             e.sourceTerm);
    e.feasible = !e.unsolved && e.warningTerm == 0.0f &&
                 e.maxPressureViolation <= settings.PressureTolerance &&
                 e.maxVelocityViolation <= settings.VelocityTolerance && e.sourceTerm == 0.0f;
    return e;
}

}  // namespace kelvarn::design
