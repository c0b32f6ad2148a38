#include "hydraulics/status_checks.h"

#include <cmath>

#include "hydraulics/coefficients.h"
#include "hydraulics/trial_log.h"

namespace kvepa2 {

namespace {

StatusCode prvStatus(StatusCode st, double q, double h1, double h2, double hset) {
    switch (st) {
        case Status::kActive:
            if (q < -kFlowTol)
                return Status::kClosed;
            if (h1 < hset - kHeadTol)
                return Status::kOpen;
            return Status::kActive;
        case Status::kOpen:
            if (q < -kFlowTol)
                return Status::kClosed;
            if (h2 >= hset + kHeadTol)
                return Status::kActive;
            return Status::kOpen;
        case Status::kClosed:
            if (h1 >= hset + kHeadTol && h2 < hset - kHeadTol)
                return Status::kActive;
            if (h1 < hset - kHeadTol && h1 > h2 + kHeadTol)
                return Status::kOpen;
            return Status::kClosed;
        case Status::kXPressure:
            if (q < -kFlowTol)
                return Status::kClosed;
            return st;
        default:
            return st;
    }
}

StatusCode psvStatus(StatusCode st, double q, double h1, double h2, double hset) {
    switch (st) {
        case Status::kActive:
            if (q < -kFlowTol)
                return Status::kClosed;
            if (h2 > hset + kHeadTol)
                return Status::kOpen;
            return Status::kActive;
        case Status::kOpen:
            if (q < -kFlowTol)
                return Status::kClosed;
            if (h1 < hset - kHeadTol)
                return Status::kActive;
            return Status::kOpen;
        case Status::kClosed:
            if (h2 > hset + kHeadTol && h1 > h2 + kHeadTol)
                return Status::kOpen;
            if (h1 >= hset + kHeadTol && h2 < hset - kHeadTol)
                return Status::kActive;
            return Status::kClosed;
        case Status::kXPressure:
            if (q < -kFlowTol)
                return Status::kClosed;
            return st;
        default:
            return st;
    }
}

// A check valve closes against reverse head or flow and opens again on forward head.
StatusCode cvStatus(StatusCode st, double dh, double q) {
    if (std::fabs(dh) > kHeadTol) {
        if (dh < -kHeadTol)
            return Status::kClosed;
        if (q < -kFlowTol)
            return Status::kClosed;
        return Status::kOpen;
    }
    if (q < -kFlowTol)
        return Status::kClosed;
    return st;
}

// Flow (cfs) below which an open constant-power pump counts as carrying none.
constexpr double kZeroFlow = 1.0e-6;

// Full and empty are plain comparisons of the head worked out from the volume with the limits,
// as the reference engine has them: a tank filled to its maximum volume whose head rounds a bit
// below the maximum takes water on (and spills it) as if it could overflow, and one that a step
// cut to whole seconds leaves a hair above its minimum goes on supplying.
bool tankFull(const SimulationState& s, int n) {
    return !s.isReservoir[n] && s.head[n] >= s.tankLevelMax[n] && !s.model.nodes[n].canOverflow;
}
bool tankEmpty(const SimulationState& s, int n) {
    return !s.isReservoir[n] && s.head[n] <= s.tankLevelMin[n];
}

}  // namespace

bool checkPressureValves(SimulationState& s) {
    bool changed = false;
    for (int k = 0; k < s.links; ++k) {
        const LinkKind kd = s.kind[k];
        if ((kd != LinkKind::Prv && kd != LinkKind::Psv) || s.fixedStatus[k])
            continue;
        const int i = s.from[k];
        const int j = s.to[k];
        const StatusCode old = s.status[k];
        StatusCode st;
        if (kd == LinkKind::Prv)
            st = prvStatus(old, s.flow[k], s.head[i], s.head[j], s.elevation[j] + s.setting[k]);
        else
            st = psvStatus(old, s.flow[k], s.head[i], s.head[j], s.elevation[i] + s.setting[k]);
        if (st != old) {
            if (s.trialLog)
                s.trialLog->switched(k, old, st);
            s.status[k] = st;
            changed = true;
        }
    }
    return changed;
}

bool pumpBeyondShutoff(const SimulationState& s, int k) {
    const double speed = s.setting[k];
    const double hmax = speed * speed * s.pumps[s.pumpOf[k]].hMax;
    return s.head[s.to[k]] - s.head[s.from[k]] > hmax + kHeadTol;
}

bool checkLinkStatuses(SimulationState& s) {
    bool changed = false;
    for (int k = 0; k < s.links; ++k) {
        const int i = s.from[k];
        const int j = s.to[k];
        const double dh = s.head[i] - s.head[j];
        const double q = s.flow[k];
        const StatusCode old = s.status[k];
        StatusCode st = old;
        switch (s.kind[k]) {
            case LinkKind::CvPipe:
                if (old != Status::kTempClosed)
                    st = cvStatus(old, dh, q);
                break;
            case LinkKind::Pump: {
                // A pump at speed 0 (from a speed pattern) is not checked against its curve: one
                // shut for want of head stands open again, solved as closed, until the pattern
                // shuts it at the next period.
                if (s.setting[k] <= 0.0 && (old == Status::kXHead || old == Status::kXFlow)) {
                    st = Status::kOpen;
                } else if (s.setting[k] > 0.0 &&
                           (old == Status::kOpen || old == Status::kXHead || old == Status::kXFlow)) {
                    const PumpData& pump = s.pumps[s.pumpOf[k]];
                    const double hmax = s.setting[k] * s.setting[k] * pump.hMax;
                    if (pumpBeyondShutoff(s, k))
                        st = Status::kXHead;
                    else if (old == Status::kXHead && -dh < hmax - kHeadTol)
                        st = Status::kOpen;
                    else if (old == Status::kXHead)
                        st = Status::kXHead;
                    else
                        st = Status::kOpen;
                    // A constant-power pump whose flow has dwindled to nothing (it feeds a dead
                    // end) is shut for the rest of the run, until a control opens it again.
                    if (st == Status::kOpen && pump.kind == PumpCurveKind::ConstantPower && q < kZeroFlow)
                        st = Status::kTempClosed;
                }
                break;
            }
            case LinkKind::Fcv:
                if (!s.fixedStatus[k]) {
                    // No tolerance here: an active FCV whose downstream head stands above its
                    // upstream head by any amount is pushing its flow uphill.
                    if (old == Status::kActive && dh < 0.0)
                        st = Status::kXFcv;
                    else if (old == Status::kXFcv && q >= s.setting[k])
                        st = Status::kActive;
                }
                break;
            default:
                break;
        }
        // Links that would overfill a full tank or drain an empty one are closed for now.
        const bool toTank = j >= s.junctions;
        const bool fromTank = i >= s.junctions;
        if ((toTank || fromTank) && !isClosedStatus(st) && st != Status::kTempClosed) {
            if (toTank && ((tankFull(s, j) && q > 0.0) || (tankEmpty(s, j) && q < 0.0)))
                st = Status::kTempClosed;
            if (fromTank && ((tankFull(s, i) && q < 0.0) || (tankEmpty(s, i) && q > 0.0)))
                st = Status::kTempClosed;
        } else if (old == Status::kTempClosed &&
                   ((toTank && !s.isReservoir[j]) || (fromTank && !s.isReservoir[i]))) {
            // Reopen when the head difference would move water the permitted way.
            bool reopen = true;
            if (toTank && ((tankFull(s, j) && dh > 0.0) || (tankEmpty(s, j) && dh < 0.0)))
                reopen = false;
            if (fromTank && ((tankFull(s, i) && dh < 0.0) || (tankEmpty(s, i) && dh > 0.0)))
                reopen = false;
            if (s.kind[k] == LinkKind::Pump && ((toTank && tankFull(s, j)) || (fromTank && tankEmpty(s, i))))
                reopen = false;
            if (reopen) {
                const LinkKind kd = s.kind[k];
                const bool governed = isValveKind(kd) && kd != LinkKind::Tcv && !s.fixedStatus[k];
                st = governed ? Status::kActive : Status::kOpen;
            }
        }
        if (st != old) {
            if (s.trialLog)
                s.trialLog->switched(k, old, st);
            s.status[k] = st;
            changed = true;
        }
    }
    return changed;
}

namespace {

void release(SimulationState& s, int k) {
    s.status[k] = s.kind[k] == LinkKind::Fcv ? Status::kXFcv : Status::kXPressure;
    valveCoefficients(s, k);
}

int zoneOf(std::vector<int>& zone, int n) {
    while (zone[n] != n) n = zone[n] = zone[zone[n]];
    return n;
}

}  // namespace

bool releaseValveAt(SimulationState& s, int n) {
    for (int k : s.nonPipes) {
        const LinkKind kd = s.kind[k];
        if ((s.from[k] == n || s.to[k] == n) &&
            (kd == LinkKind::Prv || kd == LinkKind::Psv || kd == LinkKind::Fcv) &&
            s.status[k] == Status::kActive) {
            release(s, k);
            return true;
        }
    }
    return false;
}

bool releaseFloatingPrvs(SimulationState& s) {
    bool any = false;
    for (int k : s.nonPipes) any = any || (s.kind[k] == LinkKind::Prv && s.status[k] == Status::kActive);
    if (!any)
        return false;
    // Zones joined by every link with a conductance (closed links keep a small one); a zone
    // is anchored by a fixed grade, an emitter, a pressure-driven demand or a valve's fixed head.
    std::vector<int>& zone = s.zone;
    zone.resize(static_cast<size_t>(s.nodes));
    for (int n = 0; n < s.nodes; ++n) zone[n] = n;
    for (int k = 0; k < s.links; ++k)
        if (s.p[k] != 0.0)
            zone[zoneOf(zone, s.from[k])] = zoneOf(zone, s.to[k]);
    std::vector<char>& anchored = s.zoneAnchored;
    anchored.assign(static_cast<size_t>(s.nodes), 0);
    for (int n = 0; n < s.nodes; ++n)
        if (n >= s.junctions || s.emP[n] > 0.0 || (s.pda && s.dmP[n] > 0.0))
            anchored[zoneOf(zone, n)] = 1;
    for (int k : s.nonPipes) {
        const int n = fixedByValve(s, k);
        if (n >= 0)
            anchored[zoneOf(zone, n)] = 1;
    }
    bool released = false;
    for (int k : s.nonPipes) {
        const int n = s.from[k];
        if (s.kind[k] == LinkKind::Prv && s.status[k] == Status::kActive && n < s.junctions &&
            !anchored[zoneOf(zone, n)]) {
            release(s, k);
            released = true;
        }
    }
    return released;
}

}  // namespace kvepa2
