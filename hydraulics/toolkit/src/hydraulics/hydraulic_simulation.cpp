#include "hydraulics/hydraulic_simulation.h"

#include <algorithm>
#include <cmath>

#include "hydraulics/coefficients.h"
#include "hydraulics/controls.h"
#include "hydraulics/gradient_solver.h"
#include "hydraulics/headloss/chezy_manning.h"
#include "hydraulics/headloss/darcy_weisbach.h"
#include "hydraulics/headloss/hazen_williams.h"
#include "hydraulics/simulation_state.h"
#include "hydraulics/status_checks.h"
#include "hydraulics/trial_log.h"

namespace kvepa2 {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTankSnap = 1.0e-5;  // ft

LinkKind kindOf(LinkType t) {
    switch (t) {
        case LinkType::CVPipe:
            return LinkKind::CvPipe;
        case LinkType::Pipe:
            return LinkKind::Pipe;
        case LinkType::Pump:
            return LinkKind::Pump;
        case LinkType::PRV:
            return LinkKind::Prv;
        case LinkType::PSV:
            return LinkKind::Psv;
        case LinkType::PBV:
            return LinkKind::Pbv;
        case LinkType::FCV:
            return LinkKind::Fcv;
        case LinkType::TCV:
        case LinkType::PCV:
            return LinkKind::Tcv;
        case LinkType::GPV:
            return LinkKind::Gpv;
    }
    return LinkKind::Pipe;
}

// Pump curve of a link: constant power, a power law through one or three points, or the
// points themselves.
PumpData pumpFrom(const Model& m, int k) {
    const Link& l = m.links[k];
    PumpData p;
    p.link = k;
    p.speedPattern = l.speedPattern;
    if (l.pumpType == PumpType::ConstantPower || l.headCurve < 0) {
        p.kind = PumpCurveKind::ConstantPower;
        p.power = l.power;
        p.hMax = 1.0e10;
        p.qMax = 1.0e10;
        p.q0 = 1.0;
        return p;
    }
    const Curve& c = m.curves[l.headCurve];
    const size_t n = c.x.size();
    double h0 = 0.0, h1 = 0.0, h2 = 0.0, q1 = 0.0, q2 = 0.0;
    bool powerLaw = false;
    if (n == 1) {
        q1 = c.x[0];
        h1 = c.y[0];
        h0 = 1.33334 * h1;
        q2 = 2.0 * q1;
        h2 = 0.0;
        powerLaw = true;
    } else if (n == 3 && c.x[0] == 0.0) {
        h0 = c.y[0];
        q1 = c.x[1];
        h1 = c.y[1];
        q2 = c.x[2];
        h2 = c.y[2];
        powerLaw = true;
    }
    if (powerLaw && h0 > h1 && h1 > h2 && q1 > 0.0 && q2 > q1) {
        p.kind = PumpCurveKind::PowerLaw;
        p.h0 = h0;
        p.n = std::log((h0 - h2) / (h0 - h1)) / std::log(q2 / q1);
        p.r = (h0 - h1) / std::pow(q1, p.n);
        p.hMax = h0;
        p.qMax = std::pow(h0 / p.r, 1.0 / p.n);
        p.q0 = q1;
        return p;
    }
    p.kind = PumpCurveKind::Custom;
    p.curve = l.headCurve;
    // Shutoff head and maximum flow of the curve extended to the axes.
    double v0 = c.y[0];
    if (n > 1 && c.x[1] != c.x[0])
        v0 = c.y[0] - c.x[0] * (c.y[1] - c.y[0]) / (c.x[1] - c.x[0]);
    p.hMax = v0;
    p.qMax = c.x[n - 1];
    p.q0 = (c.x[0] + c.x[n - 1]) / 2.0;
    return p;
}

}  // namespace

HydraulicSimulation::HydraulicSimulation(Model& model) : state_(std::make_unique<SimulationState>(model)) {
    SimulationState& s = *state_;
    s.nodes = static_cast<int>(model.nodes.size());
    s.junctions = model.junctionCount;
    s.links = static_cast<int>(model.links.size());
    const int nn = s.nodes;
    const int nl = s.links;
    s.from.resize(nl);
    s.to.resize(nl);
    s.kind.resize(nl);
    s.pumpOf.assign(nl, -1);
    s.isReservoir.assign(nn, 0);
    for (int n = s.junctions; n < nn; ++n) {
        s.tanks.push_back(n);
        s.isReservoir[n] = model.nodes[n].fixedGrade();
    }
    std::vector<std::pair<int, int>> edges;
    for (int k = 0; k < nl; ++k) {
        const Link& l = model.links[k];
        s.from[k] = l.node1;
        s.to[k] = l.node2;
        s.kind[k] = kindOf(l.type);
        if (!isPipe(l.type))
            s.nonPipes.push_back(k);
        if (s.kind[k] == LinkKind::Prv || s.kind[k] == LinkKind::Psv)
            s.hasPressureValves = true;
        if (l.node1 < s.junctions && l.node2 < s.junctions)
            edges.emplace_back(l.node1, l.node2);
    }
    s.ldl.analyse(s.junctions, edges);
    s.linkSlot.assign(nl, -1);
    for (int k = 0; k < nl; ++k)
        if (s.from[k] < s.junctions && s.to[k] < s.junctions && s.from[k] != s.to[k])
            s.linkSlot[k] = s.ldl.offDiagonalSlot(s.from[k], s.to[k]);
    s.diagSlot.resize(s.junctions);
    for (int n = 0; n < s.junctions; ++n) s.diagSlot[n] = s.ldl.diagonalSlot(n);

    s.resistance.assign(nl, 0.0);
    s.minorCoeff.assign(nl, 0.0);
    s.diameter.assign(nl, 0.0);
    s.roughness.assign(nl, 0.0);
    s.cachedLength.assign(nl, -1.0);
    s.cachedDiameter.assign(nl, -1.0);
    s.cachedRoughness.assign(nl, -1.0);
    s.head.assign(nn, 0.0);
    s.elevation.assign(nn, 0.0);
    s.emitterK.assign(nn, 0.0);
    s.demand.assign(nn, 0.0);
    s.delivered.assign(nn, 0.0);
    s.emitterQ.assign(nn, 0.0);
    s.flow.assign(nl, 0.0);
    s.status.assign(nl, Status::kOpen);
    s.setting.assign(nl, 0.0);
    s.fixedStatus.assign(nl, 0);
    s.shownOpen.assign(nl, 0);
    s.tankVolume.assign(nn, 0.0);
    s.tankLevelMin.assign(nn, 0.0);
    s.tankLevelMax.assign(nn, 0.0);
    s.tankReached.assign(nn, 0);
    s.p.assign(nl, 0.0);
    s.y.assign(nl, 0.0);
    s.flowPower.assign(nl, 0.0);
    s.rhs.assign(std::max(s.junctions, 1), 0.0);
    s.excess.assign(nn, 0.0);
    s.ground.assign(std::max(s.junctions, 1), 0.0);
    s.emP.assign(nn, 0.0);
    s.emY.assign(nn, 0.0);
    s.dmP.assign(nn, 0.0);
    s.dmY.assign(nn, 0.0);
    s.netInflow.assign(nn, 0.0);
    s.refinement.prepare(s);
}

HydraulicSimulation::~HydraulicSimulation() = default;

namespace {

// What steers the solve; a caller may change it between periods and the next period follows,
// as the reference engine's do.
void readSolverOptions(SimulationState& s) {
    const Options& o = s.model.options;
    s.accuracy = o.accuracy;
    s.maxTrials = std::max(o.trials, 1);
    s.extraTrials = o.extraTrials;
    s.checkFreq = std::max(o.checkFrequency, 1);
    s.maxCheck = o.maxCheck;
    s.dampLimit = o.dampLimit;
    s.headError = o.headError;
    s.flowChange = o.flowChange;
    s.pda = o.demandModel == DemandModel::PDA;
    s.pMin = o.minimumPressure;
    s.pReq = std::max(o.requiredPressure, o.minimumPressure + 0.1);
    s.pExp = o.pressureExponent > 0.0 ? o.pressureExponent : 0.5;
}

}  // namespace

int HydraulicSimulation::init(int /*saveFlag*/) {
    SimulationState& s = *state_;
    const Model& m = s.model;
    const Options& o = m.options;
    readSolverOptions(s);
    s.emitterExponent = o.emitterExponent > 0.0 ? o.emitterExponent : 0.5;
    s.formula = o.headloss;
    s.viscosity = o.viscosity;

    // Pumps and link properties a caller may have changed since the last run.
    s.pumps.clear();
    for (int k = 0; k < s.links; ++k) {
        const Link& l = m.links[k];
        s.diameter[k] = l.diameter;
        s.roughness[k] = l.roughness;
        const double d = l.diameter > 0.0 ? l.diameter : 1.0;
        s.minorCoeff[k] = kMinorLossConstant * l.minorLoss / (d * d * d * d);
        double r = 0.0;
        const bool same = s.cachedLength[k] == l.length && s.cachedDiameter[k] == l.diameter &&
                          s.cachedRoughness[k] == l.roughness &&
                          s.cachedFormula == static_cast<int>(s.formula);
        if (same) {
            r = s.resistance[k];
        } else if (isPipe(l.type) && l.diameter > 0.0) {
            switch (s.formula) {
                case HeadlossFormula::HazenWilliams:
                    r = headloss::HazenWilliams::resistance(l.length, l.diameter, l.roughness, s.powMemo);
                    break;
                case HeadlossFormula::DarcyWeisbach:
                    r = headloss::DarcyWeisbach::resistance(l.length, l.diameter, l.roughness, s.powMemo);
                    break;
                case HeadlossFormula::ChezyManning:
                    r = headloss::ChezyManning::resistance(l.length, l.diameter, l.roughness, s.powMemo);
                    break;
            }
        }
        s.resistance[k] = r;
        // Resistances depend only on these, so unchanged pipes keep theirs between runs.
        s.cachedLength[k] = l.length;
        s.cachedDiameter[k] = l.diameter;
        s.cachedRoughness[k] = l.roughness;
        s.fixedStatus[k] = 0;
        s.shownOpen[k] = 0;
        if (s.kind[k] == LinkKind::Pump) {
            s.pumpOf[k] = static_cast<int>(s.pumps.size());
            s.pumps.push_back(pumpFrom(m, k));
            const PumpData& pd = s.pumps.back();
            s.setting[k] = l.initStatus == LinkStatus::Closed ? 0.0 : (l.setting > 0.0 ? l.setting : 1.0);
            s.status[k] = l.initStatus == LinkStatus::Closed ? Status::kClosed : Status::kOpen;
            s.flow[k] = pd.q0 * (s.setting[k] > 0.0 ? s.setting[k] : 1.0);
        } else if (isPipe(l.type)) {
            s.status[k] = l.initStatus == LinkStatus::Closed ? Status::kClosed : Status::kOpen;
            s.setting[k] = l.roughness;
            s.flow[k] = kPi * d * d / 4.0;
        } else {
            s.setting[k] = l.setting;
            if (l.initStatus == LinkStatus::Active) {
                s.status[k] = Status::kActive;
            } else {
                s.fixedStatus[k] = 1;
                s.status[k] = l.initStatus == LinkStatus::Closed ? Status::kClosed : Status::kOpen;
            }
            s.flow[k] = kPi * d * d / 4.0;
        }
        if (isClosedStatus(s.status[k]))
            s.flow[k] = 1.0e-6;
    }
    s.cachedFormula = static_cast<int>(s.formula);
    s.demandStart.clear();
    s.demandBase.clear();
    s.demandPattern.clear();
    for (int n = 0; n < s.nodes; ++n) {
        const Node& nd = m.nodes[n];
        s.elevation[n] = nd.elevation;
        s.emitterK[n] = n < s.junctions ? nd.emitterCoeff : 0.0;
        if (n < s.junctions) {
            s.demandStart.push_back(static_cast<int>(s.demandBase.size()));
            for (const Demand& dm : nd.demands) {
                s.demandBase.push_back(dm.base);
                s.demandPattern.push_back(m.demandPattern(dm));
            }
        }
    }
    s.demandStart.push_back(static_cast<int>(s.demandBase.size()));
    s.patternNow.assign(m.patterns.size() + 1, 1.0);
    for (int n = 0; n < s.nodes; ++n) {
        const Node& nd = m.nodes[n];
        s.head[n] = nd.elevation;
        s.emitterQ[n] = s.emitterK[n] > 0.0 ? 1.0 : 0.0;  // 1 cfs start, as the reference engine
        s.delivered[n] = 0.0;
        if (nd.type == NodeType::Tank) {
            s.tankLevelMin[n] = nd.elevation + nd.minLevel;
            s.tankLevelMax[n] = nd.elevation + nd.maxLevel;
            s.head[n] = nd.elevation + nd.initLevel;
            s.tankVolume[n] = m.tankInitVolume(n);
        }
    }
    s.controlReached.assign(m.controls.size(), 0);
    s.time = 0;
    s.hydStep = std::max(m.times.hydraulicStep, 1L);
    s.nextReport = m.times.reportStart;
    s.halted = false;
    s.haveRun = false;
    s.started = true;
    s.lastCode = 0;
    return 0;
}

namespace {

// Demands, fixed grades and pump speeds of the current time.
void setTimeDependentValues(SimulationState& s) {
    const Model& m = s.model;
    const double mult = m.options.demandMultiplier;
    // Slot 0 stands for "no pattern".
    const int np = static_cast<int>(m.patterns.size());
    for (int p = 0; p < np; ++p) s.patternNow[p + 1] = m.patternFactor(p, s.time);
    const double* pat = s.patternNow.data() + 1;
    for (int n = 0; n < s.junctions; ++n) {
        double d = 0.0;
        for (int c = s.demandStart[n]; c < s.demandStart[n + 1]; ++c)
            d += s.demandBase[c] * pat[s.demandPattern[c]];
        s.demand[n] = d * mult;
        // Each period's solve starts from full demand, as the reference engine's does.
        if (s.pda)
            s.delivered[n] = s.demand[n];
    }
    // Tank heads follow their volumes as advanceTanks changes them.
    for (int n : s.tanks) {
        const Node& nd = m.nodes[n];
        if (nd.type == NodeType::Reservoir)
            s.head[n] = nd.elevation * m.patternFactor(nd.headPattern, s.time);
    }
    // A speed pattern sets its pump's speed at every solve, before the controls: a zero
    // closes an open pump, anything else opens a closed one, whoever closed it (the reference
    // engine does so even against [STATUS] or a control of the previous step).
    for (const PumpData& p : s.pumps) {
        if (p.speedPattern < 0)
            continue;
        const double speed = m.patternFactor(p.speedPattern, s.time);
        StatusCode& st = s.status[p.link];
        if (speed <= 0.0 && !isClosedStatus(st))
            st = Status::kClosed;
        else if (speed > 0.0 && isClosedStatus(st))
            st = Status::kOpen;
        s.setting[p.link] = speed;
    }
}

// Warnings of a solved period, as the reference engine ranks them: negative pressures (6)
// give way to valves that cannot deliver (5), and those to pumps that cannot (4).
int periodWarnings(const SimulationState& s) {
    int code = 0;
    // Under pressure-driven demands a node short of pressure takes less, as the law says; the
    // reference engine warns of negative pressures only under demand-driven analysis (a
    // node a hair below zero may still show a trickle from the trial's slack).
    if (!s.pda) {
        for (int n = 0; n < s.junctions; ++n)
            if (s.head[n] < s.elevation[n] && s.demand[n] > 0.0) {
                code = 6;
                break;
            }
    }
    for (int k : s.nonPipes) {
        const StatusCode st = s.status[k];
        if (st == Status::kXFcv || st == Status::kXPressure) {
            code = 5;
            break;
        }
    }
    // A solve that ran out of trials ends without a status check: a running pump beyond its
    // shutoff head is then reported (though not shut), as the reference engine does.
    for (int k : s.nonPipes) {
        const StatusCode st = s.status[k];
        // An open pump driven backwards is reported too, though it stays open, even at speed 0
        // (one beyond its curve's largest flow is marked XFlow after the solve).
        const bool open = st == Status::kOpen;
        const bool running = open && s.setting[k] > 0.0;
        if (s.kind[k] == LinkKind::Pump &&
            (st == Status::kXHead || st == Status::kXFlow || (running && pumpBeyondShutoff(s, k)) ||
             (open && s.flow[k] < 0.0))) {
            code = 4;
            break;
        }
    }
    return code;
}

void computeNetInflow(SimulationState& s) {
    std::fill(s.netInflow.begin(), s.netInflow.end(), 0.0);
    for (int k = 0; k < s.links; ++k) {
        if (isClosedStatus(s.status[k]))
            continue;
        s.netInflow[s.from[k]] -= s.flow[k];
        s.netInflow[s.to[k]] += s.flow[k];
    }
}

// Seconds until tank n fills or empties at its current inflow; -1 if it does neither.
long tankFillTime(const SimulationState& s, int n) {
    if (s.isReservoir[n])
        return -1;
    const double q = s.netInflow[n];
    if (std::fabs(q) <= kTankFlowTol)
        return -1;
    double v = 0.0;
    if (q > 0.0 && s.head[n] < s.tankLevelMax[n])
        v = s.model.tankMaxVolume(n);
    else if (q < 0.0 && s.head[n] > s.tankLevelMin[n])
        v = s.model.tankMinVolume(n);
    else
        return -1;
    return std::lround((v - s.tankVolume[n]) / q);
}

// Seconds until some tank fills or empties at its current inflow.
long tankTimeStep(const SimulationState& s, long limit) {
    long best = limit;
    for (int n : s.tanks) {
        const long t = tankFillTime(s, n);
        if (t > 0 && t < best)
            best = t;
    }
    return best;
}

// A step cut to the second a tank fills or empties ends with that tank at its limit, though
// the whole second may leave it a little short.
void markTanksReached(SimulationState& s, long step) {
    for (int n : s.tanks) s.tankReached[n] = tankFillTime(s, n) == step ? 1 : 0;
}

void advanceTanks(SimulationState& s, long dt, bool stepEnd) {
    for (int n : s.tanks) {
        if (s.isReservoir[n])
            continue;
        const double q = std::fabs(s.netInflow[n]) <= kTankFlowTol ? 0.0 : s.netInflow[n];
        double v = s.tankVolume[n] + q * static_cast<double>(dt);
        const double vmin = s.model.tankMinVolume(n);
        const double vmax = s.model.tankMaxVolume(n);
        const bool emptied = stepEnd && s.tankReached[n] && s.netInflow[n] < 0.0;
        if (stepEnd && s.tankReached[n] && s.netInflow[n] > 0.0)
            v = vmax;
        // An overflowing tank spills what it cannot hold, so it too stays at its top. A step
        // rounded to whole seconds may leave a tank a hair short of its top: within 1e-5 ft
        // the reference engine takes it as full, and so do we. A tank emptied at the end of
        // the step keeps what the whole seconds left it, a hair above or below its bottom,
        // as the reference engine's does, and stays there while it is empty.
        // A tank a second's inflow short of its top is full, as in the reference engine (a
        // step ending at a pattern change 0.8 s before the tank fills leaves it full).
        if (q > 0.0 && vmax - v < q)
            v = vmax;
        v = std::min(v, vmax);
        if (!emptied)
            v = std::max(v, std::min(vmin, s.tankVolume[n]));
        // A tank that drains from its top leaves it, however little it loses.
        if (q >= 0.0 && s.tankLevelMax[n] - s.model.tankHeadAtVolume(n, v) < kTankSnap)
            v = vmax;
        s.tankVolume[n] = v;
        s.head[n] = s.model.tankHeadAtVolume(n, v);
    }
}

}  // namespace

int HydraulicSimulation::run(long& currentTime) {
    SimulationState& s = *state_;
    currentTime = s.time;
    if (!s.started)
        return 103;
    readSolverOptions(s);
    setTimeDependentValues(s);
    // Rules first act at the first rule step after the start, on the solved state.
    applySimpleControls(s);
    if (s.trialLog)
        s.trialLog->balancing(s.time);
    int code = solveSteadyState(s);
    if (s.trialLog)
        s.trialLog->solved(s.time, code == 0, s.lastIterations, s.lastRelError);
    s.haveRun = true;
    if (code >= 100) {
        s.lastCode = code;
        s.halted = true;
        return code;
    }
    if (code == 1 && s.extraTrials < 0)
        s.halted = true;
    // An open pump driven beyond the end of its curve cannot deliver the flow asked of it.
    for (const PumpData& p : s.pumps) {
        const int k = p.link;
        const StatusCode st = s.status[k];
        if (st != Status::kOpen && st != Status::kXFlow)
            continue;
        const bool beyond = p.kind != PumpCurveKind::ConstantPower && s.flow[k] > s.setting[k] * p.qMax;
        s.status[k] = beyond ? Status::kXFlow : Status::kOpen;
    }
    // Warnings of the solved state replace "may be unstable"; "unbalanced" stands.
    if (code != 1) {
        const int w = periodWarnings(s);
        if (w != 0)
            code = w;
    }
    s.lastCode = code;
    computeNetInflow(s);
    return code;
}

int HydraulicSimulation::next(long& timeStep) {
    SimulationState& s = *state_;
    timeStep = 0;
    const Model& m = s.model;
    if (s.halted || s.time >= m.times.duration)
        return 0;
    // The reference engine does not cut the last step at the duration: a run of 1.5 h with
    // hourly steps ends at 2 h.
    long t = s.hydStep;
    // Next pattern period. The reference engine finds the time the multipliers next change
    // (pattern start included) but takes it as a time from 0: with a pattern start of 30 min and
    // hourly periods, a step from 0 ends at 1 h, not at 30 min.
    const long pstep = m.times.patternStep > 0 ? m.times.patternStep : 0;
    if (pstep > 0) {
        const long elapsed = s.time + m.times.patternStart;
        t = std::min(t, (elapsed / pstep + 1) * pstep - s.time);
    }
    // Next report time: the reference engine counts report periods from time 0, whatever
    // the report start.
    if (m.times.reportStep > 0)
        t = std::min(t, m.times.reportStep - s.time % m.times.reportStep);
    t = tankTimeStep(s, t);
    t = timeToNextControl(s, s.netInflow, t);
    markLevelControlsReached(s, s.netInflow, t);
    markTanksReached(s, t);
    if (!m.rules.empty() && m.times.ruleStep > 0) {
        // Rules act at rule steps within the hydraulic step; an action ends the step there.
        long done = 0;
        const long rstep = m.times.ruleStep;
        while (done < t) {
            long dt = std::min(rstep - (s.time + done) % rstep, t - done);
            advanceTanks(s, dt, done + dt == t);
            done += dt;
            if (applyRules(s, s.time + done))
                break;
        }
        if (done < t)
            std::fill(s.controlReached.begin(), s.controlReached.end(), 0);
        t = done;
    } else {
        advanceTanks(s, t, true);
    }
    s.time += t;
    timeStep = t;
    return 0;
}

double HydraulicSimulation::nodeHead(int i) const {
    return state_->head[i];
}
double HydraulicSimulation::nodePressure(int i) const {
    return state_->head[i] - state_->elevation[i];
}
double HydraulicSimulation::nodeDemand(int i) const {
    const SimulationState& s = *state_;
    if (i < s.junctions)
        return (s.pda ? s.delivered[i] : s.demand[i]) + s.emitterQ[i];
    // A fixed-grade node's demand is the network's inflow into it; negative when it supplies.
    return s.netInflow[i];
}
double HydraulicSimulation::nodeEmitterFlow(int i) const {
    return state_->emitterQ[i];
}
double HydraulicSimulation::nodeDemandDeficit(int i) const {
    const SimulationState& s = *state_;
    return s.pda && i < s.junctions ? s.demand[i] - s.delivered[i] : 0.0;
}
double HydraulicSimulation::tankVolume(int i) const {
    const SimulationState& s = *state_;
    return s.model.nodes[i].type == NodeType::Tank ? s.tankVolume[i] : 0.0;
}
double HydraulicSimulation::tankLevel(int i) const {
    return state_->head[i] - state_->elevation[i];
}
double HydraulicSimulation::linkFlow(int i) const {
    const SimulationState& s = *state_;
    return isClosedStatus(s.status[i]) ? 0.0 : s.flow[i];
}
double HydraulicSimulation::linkVelocity(int i) const {
    const SimulationState& s = *state_;
    if (s.kind[i] == LinkKind::Pump || s.diameter[i] <= 0.0)
        return 0.0;
    return std::fabs(linkFlow(i)) / (kPi * s.diameter[i] * s.diameter[i] / 4.0);
}
double HydraulicSimulation::linkHeadloss(int i) const {
    const SimulationState& s = *state_;
    return s.head[s.from[i]] - s.head[s.to[i]];
}
int HydraulicSimulation::linkStatus(int i) const {
    return isClosedStatus(state_->status[i]) ? 0 : 1;
}
int HydraulicSimulation::linkStatusCode(int i) const {
    return state_->status[i];
}
double HydraulicSimulation::linkSetting(int i) const {
    return state_->setting[i];
}
bool HydraulicSimulation::linkFixed(int i) const {
    return state_->fixedStatus[i] != 0;
}
bool HydraulicSimulation::linkShownOpen(int i) const {
    return state_->shownOpen[i] != 0;
}
double HydraulicSimulation::linkEnergy(int i) const {
    const SimulationState& s = *state_;
    if (s.kind[i] != LinkKind::Pump || isClosedStatus(s.status[i]))
        return 0.0;
    // Water power q * gain * 62.4 lb/ft3 in kW (no efficiency curve applied here).
    const double gain = s.head[s.to[i]] - s.head[s.from[i]];
    return std::fabs(s.flow[i]) * gain * 62.4 * s.model.options.specificGravity / 550.0 * 0.7457;
}
void HydraulicSimulation::setLinkStatus(int i, int open) {
    setLinkStatusAction(*state_, i, open ? LinkStatus::Open : LinkStatus::Closed, ActionBy::Toolkit);
}
void HydraulicSimulation::setLinkSetting(int i, double value) {
    setLinkSettingAction(*state_, i, value, ActionBy::Toolkit);
}
void HydraulicSimulation::setTrialLog(TrialLog* log) {
    state_->trialLog = log;
}
long HydraulicSimulation::currentTime() const {
    return state_->time;
}
int HydraulicSimulation::iterations() const {
    return state_->lastIterations;
}
double HydraulicSimulation::relativeError() const {
    return state_->lastRelError;
}
bool HydraulicSimulation::started() const {
    return state_->started;
}

}  // namespace kvepa2
