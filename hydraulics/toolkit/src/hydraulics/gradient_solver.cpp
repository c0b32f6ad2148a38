#include "hydraulics/gradient_solver.h"

#include <algorithm>
#include <cmath>

#include "hydraulics/coefficients.h"
#include "hydraulics/controls.h"
#include "hydraulics/status_checks.h"
#include "hydraulics/trial_log.h"

namespace kvepa2 {

namespace {

constexpr double kPdaStepShare = 0.4;

struct Progress {
    double relError = 0.0;
    double maxFlowChange = 0.0;
    double maxHeadError = 0.0;
};

// New flows from the new heads; returns the accuracy measures of the trial.
Progress updateFlows(SimulationState& s, double damping) {
    double sumDq = 0.0;
    double sumQ = 0.0;
    double maxDq = 0.0;
    double maxHerr = 0.0;
    const double* h = s.head.data();
    for (int k = 0; k < s.links; ++k) {
        const double dh = h[s.from[k]] - h[s.to[k]];
        // An active PRV's or PSV's flow comes from its excess flow alone.
        const bool pressureFixed =
            s.status[k] == Status::kActive && (s.kind[k] == LinkKind::Prv || s.kind[k] == LinkKind::Psv);
        const double pk = pressureFixed ? 0.0 : s.p[k];
        double dq = s.y[k] - pk * dh;
        dq *= damping;
        // A constant-power pump's flow never turns negative: a step that would reverse it
        // halves it instead. So it does when the pump is closed; the flow of a closed link
        // plays no part in the balances, but the reference engine counts its change in the
        // trial's relative change, which may take it more trials.
        if (s.pumpOf[k] >= 0 && dq > s.flow[k] && s.pumps[s.pumpOf[k]].kind == PumpCurveKind::ConstantPower)
            dq = s.flow[k] / 2.0;
        s.flow[k] -= dq;
        if (s.headError > 0.0 && !isClosedStatus(s.status[k])) {
            // Head loss at the new flow against the new head difference.
            double herr = 0.0;
            const LinkKind kd = s.kind[k];
            if (kd == LinkKind::Pipe || kd == LinkKind::CvPipe) {
                herr = std::fabs(pipeLoss(s, k, s.flow[k]).h - dh);
            } else if (kd == LinkKind::Pump && s.setting[k] > 0.0) {
                double gain = 0.0;
                double g = 0.0;
                pumpGain(s, s.pumps[s.pumpOf[k]], s.flow[k], s.setting[k], gain, g);
                herr = std::fabs(-gain - dh);
            }
            if (herr > maxHerr)
                maxHerr = herr;
        }
        sumDq += std::fabs(dq);
        sumQ += std::fabs(s.flow[k]);
        if (std::fabs(dq) > maxDq)
            maxDq = std::fabs(dq);
    }
    for (int n = 0; n < s.junctions; ++n) {
        if (s.emP[n] > 0.0) {
            double dq = (s.emY[n] - s.emP[n] * (h[n] - s.elevation[n])) * damping;
            if (!s.model.options.emitterBackflow && s.emitterQ[n] - dq < 0.0)
                dq = s.emitterQ[n];
            s.emitterQ[n] -= dq;
            sumDq += std::fabs(dq);
            sumQ += std::fabs(s.emitterQ[n]);
            if (std::fabs(dq) > maxDq)
                maxDq = std::fabs(dq);
        }
        if (s.pda && s.dmP[n] > 0.0) {
            const double p = h[n] - s.elevation[n];
            double dq = (s.dmY[n] - s.dmP[n] * (p - s.pMin)) * damping;
            // A trial moves a delivered demand by at most 40 % of the full demand, as the
            // reference engine does; it keeps the steep branches from overshooting.
            const double cap = kPdaStepShare * s.demand[n];
            dq = std::clamp(dq, -cap, cap);
            s.delivered[n] -= dq;
            sumDq += std::fabs(dq);
            sumQ += std::fabs(s.delivered[n]);
            if (std::fabs(dq) > maxDq)
                maxDq = std::fabs(dq);
        }
    }
    Progress pr;
    // A network that carries almost nothing is judged by the absolute change, as the reference
    // engine does (measured: the threshold is the accuracy itself, in cfs).
    pr.relError = sumQ > s.accuracy ? sumDq / sumQ : sumDq;
    pr.maxFlowChange = maxDq;
    pr.maxHeadError = maxHerr;
    return pr;
}

// Largest flow (cfs) by which a delivered demand may miss the pressure-demand law at its
// node's pressure for the solution to count as converged (EPANET's bound lies between 9e-5
// and 1.7e-4 cfs on Net3 under pressure-driven demands).
constexpr double kPdaTolerance = 1.0e-4;

// Whether every pressure-driven demand agrees with its node's pressure: the relative flow
// change of a large network can pass while a few demands are still far off their law.
bool pdaConverged(const SimulationState& s) {
    const double dp = s.pReq - s.pMin;
    for (int n = 0; n < s.junctions; ++n) {
        const double d = s.demand[n];
        if (d <= 0.0)
            continue;
        const double p = s.head[n] - s.elevation[n];
        double law = d;
        if (p <= s.pMin)
            law = 0.0;
        else if (p < s.pReq)
            law = d * std::pow((p - s.pMin) / dp, s.pExp);
        if (std::fabs(s.delivered[n] - law) > kPdaTolerance)
            return false;
    }
    return true;
}

}  // namespace

int solveSteadyState(SimulationState& s) {
    int limit = s.maxTrials;
    bool extraPhase = false;
    double relErr = 1.0;
    // Periodic status checks; a converged trial whose checks changed something restarts the
    // count from there (EPANET's trial logs show the next check CHECKFREQ trials later).
    int nextCheck = s.checkFreq;
    for (int iter = 1;; ++iter) {
        if (s.hasPressureValves)
            computeExcessFlows(s);
        computeLinkCoefficients(s);
        if (s.hasPressureValves)
            releaseFloatingPrvs(s);
        assembleMatrix(s);
        // A valve that cannot hold its setting is released and the trial solved again, as the
        // reference engine does; a pivot lost to cancellation is worked out again from the
        // rows' excesses; only a matrix singular in earnest gives up.
        const int bad = s.ldl.factorise();
        if (bad >= 0 && releaseValveAt(s, bad)) {
            --iter;
            continue;
        }
        if (bad >= 0 && (assembleMatrix(s), s.ldl.factoriseDominant(s.ground.data()) >= 0)) {
            s.lastIterations = iter;
            return 110;
        }
        const bool refine = s.refinement.needed(s);
        if (refine)
            s.refinement.keep(s);
        s.ldl.solve(s.rhs.data());
        if (refine)
            s.refinement.refine(s);
        for (int n = 0; n < s.junctions; ++n) s.head[n] = s.rhs[n];

        const double damping = (s.dampLimit > 0.0 && relErr <= s.dampLimit) ? 0.6 : 1.0;
        const Progress pr = updateFlows(s, damping);
        relErr = pr.relError;
        if (s.trialLog)
            s.trialLog->trial(iter, relErr);
        s.lastIterations = iter;
        s.lastRelError = relErr;

        bool changed = false;
        // PRVs and PSVs are re-examined every trial, the extra trials included.
        if (s.dampLimit <= 0.0 || relErr <= s.dampLimit)
            changed = checkPressureValves(s);

        bool converged = relErr <= s.accuracy;
        if (s.headError > 0.0 && pr.maxHeadError > s.headError)
            converged = false;
        if (s.flowChange > 0.0 && pr.maxFlowChange > s.flowChange)
            converged = false;
        if (converged && s.pda && !pdaConverged(s))
            converged = false;

        if (converged) {
            if (extraPhase)
                return 2;
            if (checkLinkStatuses(s))
                changed = true;
            if (applyJunctionControls(s))
                changed = true;
            if (!changed)
                return 0;
            nextCheck = iter + s.checkFreq;
        } else if (!extraPhase && iter <= s.maxCheck && iter == nextCheck) {
            checkLinkStatuses(s);
            nextCheck += s.checkFreq;
        }

        if (iter >= limit) {
            if (extraPhase || s.extraTrials <= 0) {
                // Counted as the reference engine counts a failed solve. A solve whose flows
                // settled but whose demands or head errors did not is unstable, not unbalanced,
                // so the warnings of its state may still replace it.
                s.lastIterations = iter + 1;
                return relErr <= s.accuracy ? 2 : 1;
            }
            extraPhase = true;
            limit = iter + s.extraTrials;
        }
    }
}

}  // namespace kvepa2
