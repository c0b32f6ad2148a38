#include "hydraulics/coefficients.h"

#include <cmath>
#include <concepts>

#include "hydraulics/abs_powers.h"
#include "hydraulics/headloss/chezy_manning.h"
#include "hydraulics/headloss/darcy_weisbach.h"
#include "hydraulics/headloss/hazen_williams.h"

namespace kvepa2 {

namespace {

using headloss::kMinGradient;
using headloss::Loss;

inline void closedCoefficients(SimulationState& s, int k) {
    s.p[k] = 1.0 / kBig;
    s.y[k] = s.flow[k];
}

// The pressure-driven demand law's walls at no flow and at full demand: a smooth ramp
// (kPdaWall / 2) (x + sqrt(x^2 + kPdaWallRound)) in the flow x beyond the wall, so its slope is
// 1e9 ft per cfs well beyond, half that on the wall and 2.5e-16 / x^2 inside, as the reference
// engine's trials show (a node exactly at full demand moves by (p - preq) / 5e8 cfs; a node
// 4e-9 cfs above no flow or 1e-8 cfs below full demand is held that much less firmly).
constexpr double kPdaWall = 1.0e9;
constexpr double kPdaWallRound = 1.0e-24;

// An open valve's loss becomes linear below this gradient (measured on the reference
// engine: a loss-free open valve drops 1e-6 ft per cfs).
constexpr double kMinValveGradient = 1.0e-6;

// Makes a vanishing gradient linear, then p and y.
inline void setFromLoss(SimulationState& s, int k, double h, double dh, double minGradient = kMinGradient) {
    if (dh < minGradient) {
        dh = minGradient;
        h = dh * s.flow[k];
    }
    const double pk = 1.0 / dh;
    s.p[k] = pk;
    s.y[k] = h * pk;
}

// A formula whose loss is a power of the flow takes that power of every link's flow in one
// vector pass (other links' values are never read).
template <typename F>
concept PowerLawFormula = requires(double r, double q) {
    { F::kFlowPower } -> std::convertible_to<double>;
    { F::fromFlowPower(r, q, q) } -> std::same_as<Loss>;
};

template <headloss::HeadlossFormula F>
void pipeCoefficients(SimulationState& s) {
    if constexpr (PowerLawFormula<F>)
        absPowers(s.flow.data(), s.links, F::kFlowPower, s.flowPower.data());
    for (int k = 0; k < s.links; ++k) {
        const LinkKind kd = s.kind[k];
        if (kd != LinkKind::Pipe && kd != LinkKind::CvPipe)
            continue;
        if (isClosedStatus(s.status[k])) {
            closedCoefficients(s, k);
            continue;
        }
        const double q = s.flow[k];
        Loss l;
        if constexpr (PowerLawFormula<F>)
            l = F::fromFlowPower(s.resistance[k], q, s.flowPower[k]);
        else
            l = F::friction(s.resistance[k], q, s.diameter[k], s.roughness[k], s.viscosity);
        const double m = s.minorCoeff[k];
        if (m > 0.0) {
            l.h += m * q * std::fabs(q);
            l.dh += 2.0 * m * std::fabs(q);
        }
        if (l.dh < F::kFloorBelow) {
            // Linear: the new flow is the floor's gain times the head difference alone (the
            // reference engine's flow falls to exactly 0 between equal heads).
            s.p[k] = 1.0 / F::kFloorGradient;
            s.y[k] = q;
            continue;
        }
        const double pk = 1.0 / l.dh;
        s.p[k] = pk;
        s.y[k] = l.h * pk;
    }
}

// Piecewise-linear curve: value and slope at x, extended linearly beyond the ends.
inline void curveSegment(const Curve& c, double x, double& v, double& slope) {
    const size_t n = c.x.size();
    if (n == 1) {
        v = c.y[0];
        slope = 0.0;
        return;
    }
    size_t i = 1;
    while (i < n - 1 && x > c.x[i]) ++i;
    const double dx = c.x[i] - c.x[i - 1];
    slope = dx != 0.0 ? (c.y[i] - c.y[i - 1]) / dx : 0.0;
    v = c.y[i - 1] + slope * (x - c.x[i - 1]);
}

void pumpCoefficients(SimulationState& s, int k) {
    const PumpData& pump = s.pumps[s.pumpOf[k]];
    const double speed = s.setting[k];
    if (isClosedStatus(s.status[k]) || speed <= 0.0) {
        closedCoefficients(s, k);
        return;
    }
    double gain = 0.0;
    double g = 0.0;
    pumpGain(s, pump, s.flow[k], speed, gain, g);
    // A constant-power pump starved of flow has a gain without bound; beyond the gradient of a
    // closed link it is solved as one (the reference engine does so, status still open).
    if (g > kBig) {
        closedCoefficients(s, k);
        return;
    }
    if (g < kMinGradient)
        g = kMinGradient;
    s.p[k] = 1.0 / g;
    s.y[k] = -gain / g;
}

}  // namespace

void valveCoefficients(SimulationState& s, int k) {
    const StatusCode st = s.status[k];
    if (isClosedStatus(st)) {
        closedCoefficients(s, k);
        return;
    }
    const double q = s.flow[k];
    const double aq = std::fabs(q);
    const LinkKind kd = s.kind[k];
    // A GPV open or active follows its head-loss curve: opening it keeps its curve, which is
    // its setting.
    if (kd == LinkKind::Gpv) {
        const int c = s.model.links[k].valveCurve;
        if (c >= 0 && !s.model.curves[c].x.empty()) {
            double v = 0.0;
            double slope = 0.0;
            curveSegment(s.model.curves[c], aq, v, slope);
            setFromLoss(s, k, q < 0.0 ? -v : v, slope);
            return;
        }
    }
    if (st == Status::kActive) {
        switch (kd) {
            // An active PSV keeps a closed link's conductance in the matrix, so that a zone fed
            // only through one is solvable as one behind a closed link; the valve's new flow
            // ignores it (updateFlows). An active PRV shows none in EPANET's results: the pipe
            // into it carries exactly the valve's flow.
            case LinkKind::Prv:
                s.p[k] = 0.0;
                s.y[k] = s.to[k] < s.junctions ? q + s.excess[s.to[k]] : 0.0;
                return;
            case LinkKind::Psv:
                s.p[k] = 1.0 / kBig;
                s.y[k] = s.from[k] < s.junctions ? q - s.excess[s.from[k]] : 0.0;
                return;
            case LinkKind::Fcv:
                s.p[k] = 1.0 / kBig;
                s.y[k] = q - s.setting[k];
                if (s.hasPressureValves) {
                    s.excess[s.from[k]] -= s.setting[k];
                    s.excess[s.to[k]] += s.setting[k];
                }
                return;
            case LinkKind::Pbv:
                // Head at the start exceeds head at the end by the setting, whatever way the
                // water flows (the reference engine behaves so, even against the flow).
                s.p[k] = kBig;
                s.y[k] = kBig * s.setting[k];
                return;
            case LinkKind::Tcv: {
                const double m = kMinorLossConstant * s.setting[k] / std::pow(s.diameter[k], 4.0);
                setFromLoss(s, k, m * q * aq, 2.0 * m * aq, kMinValveGradient);
                return;
            }
            default:
                break;
        }
    }
    // Open (or a valve without an active rule): its minor loss only.
    const double m = s.minorCoeff[k];
    setFromLoss(s, k, m * q * aq, 2.0 * m * aq, kMinValveGradient);
}

namespace {

void nodeCoefficients(SimulationState& s) {
    const double expo = s.emitterExponent;
    for (int n = 0; n < s.junctions; ++n) {
        const double ke = s.emitterK[n];
        if (ke > 0.0) {
            const double q = s.emitterQ[n];
            const double aq = std::fabs(q);
            double h = std::pow(aq / ke, 1.0 / expo);
            double g = aq > 0.0 ? h / (expo * aq) : 0.0;
            if (g < kMinGradient) {
                g = kMinGradient;
                h = g * aq;
            }
            s.emP[n] = 1.0 / g;
            s.emY[n] = (q < 0.0 ? -h : h) / g;
        } else {
            s.emP[n] = 0.0;
            s.emY[n] = 0.0;
        }
        if (s.pda) {
            // A pseudo-link to the ground at minimum pressure; beyond no flow and full demand
            // its loss turns steep, so the delivered flow stays within 0..demand.
            const double d = s.demand[n];
            if (d <= 0.0) {
                s.dmP[n] = 0.0;
                s.dmY[n] = 0.0;
                continue;
            }
            const double dp = s.pReq - s.pMin;
            const double q = s.delivered[n];
            // The law dp (q / d)^(1 / exponent), odd in q; it only bends the walls' sides.
            const double n1 = 1.0 / s.pExp;
            const double r = std::fabs(q / d);
            double h = 0.0;
            double g = 0.0;
            if (r > 0.0) {
                h = dp * std::pow(r, n1);
                g = n1 * h / std::fabs(q);
                if (q < 0.0)
                    h = -h;
            }
            if (q > 0.0 && q < d && g < kMinGradient) {
                g = kMinGradient;
                h = g * q;
            }
            const double up = q - d;
            const double upRoot = std::sqrt(up * up + kPdaWallRound);
            const double low = -q;
            const double lowRoot = std::sqrt(low * low + kPdaWallRound);
            h += 0.5 * kPdaWall * (up + upRoot) - 0.5 * kPdaWall * (low + lowRoot);
            g += 0.5 * kPdaWall * (1.0 + up / upRoot) + 0.5 * kPdaWall * (1.0 + low / lowRoot);
            s.dmP[n] = 1.0 / g;
            s.dmY[n] = h / g;
        }
    }
}

}  // namespace

// The junction whose head link k fixes while it is an active pressure valve, else -1.
int fixedByValve(const SimulationState& s, int k) {
    if (s.status[k] != Status::kActive)
        return -1;
    int n = -1;
    if (s.kind[k] == LinkKind::Prv)
        n = s.to[k];
    else if (s.kind[k] == LinkKind::Psv)
        n = s.from[k];
    return n < s.junctions ? n : -1;
}

Loss pipeLoss(const SimulationState& s, int k, double q) {
    Loss l;
    switch (s.formula) {
        case HeadlossFormula::HazenWilliams:
            l = headloss::HazenWilliams::friction(s.resistance[k], q, s.diameter[k], s.roughness[k],
                                                  s.viscosity);
            break;
        case HeadlossFormula::DarcyWeisbach:
            l = headloss::DarcyWeisbach::friction(s.resistance[k], q, s.diameter[k], s.roughness[k],
                                                  s.viscosity);
            break;
        case HeadlossFormula::ChezyManning:
            l = headloss::ChezyManning::friction(s.resistance[k], q, s.diameter[k], s.roughness[k],
                                                 s.viscosity);
            break;
    }
    const double m = s.minorCoeff[k];
    l.h += m * q * std::fabs(q);
    l.dh += 2.0 * m * std::fabs(q);
    return l;
}

void pumpGain(const SimulationState& s, const PumpData& pump, double q, double speed, double& gain,
              double& gradient) {
    switch (pump.kind) {
        case PumpCurveKind::ConstantPower: {
            // Head gain of a constant power P (hp): 550 P / (62.4 q) ft. A speed s scales the
            // power by s^3, as the affinity laws scale a curve (s^2 h(q / s)).
            const double aq = std::max(std::fabs(q), 1.0e-6);
            gain = 8.814 * pump.power * speed * speed * speed / aq;
            gradient = gain / aq;
            return;
        }
        case PumpCurveKind::PowerLaw: {
            // The law keeps the sign of the flow: a pump driven backwards gains more than its
            // shutoff head (the reference engine's trial logs follow this, not |q|).
            const double aq = std::fabs(q) / speed;
            const double t = pump.r * std::pow(aq, pump.n);
            gain = speed * speed * (q < 0.0 ? pump.h0 + t : pump.h0 - t);
            gradient = aq > 0.0 ? speed * pump.n * t / aq : 0.0;
            return;
        }
        case PumpCurveKind::Custom: {
            // The segment is the one of |q|, its line then taken at the signed flow: a pump
            // driven backwards climbs that segment's line (the reference engine's trial logs
            // follow this, not the curve mirrored nor its first segment extended).
            const double x = q / speed;
            double v = 0.0;
            double slope = 0.0;
            curveSegment(s.model.curves[pump.curve], std::fabs(x), v, slope);
            if (x < 0.0)
                v += 2.0 * slope * x;
            gain = speed * speed * v;
            gradient = -speed * slope;
            return;
        }
    }
}

namespace {

// A PRV, PSV or FCV that its setting governs (its status is not fixed by the file or a control).
bool governedBySetting(const SimulationState& s, int k) {
    const LinkKind kd = s.kind[k];
    return (kd == LinkKind::Prv || kd == LinkKind::Psv || kd == LinkKind::Fcv) && !s.fixedStatus[k];
}

}  // namespace

void computeExcessFlows(SimulationState& s) {
    double* x = s.excess.data();
    for (int n = 0; n < s.nodes; ++n) x[n] = 0.0;
    for (int n = 0; n < s.junctions; ++n) {
        x[n] = -(s.pda ? s.delivered[n] : s.demand[n]) - s.emitterQ[n];
    }
    // Valves that their settings govern are left out: EPANET counts only an active FCV among
    // them, with its setting, and only for the valves after it in link order (valveCoefficients
    // adds it). So a PSV fed through an open FCV sees a shortage at its upstream node and closes.
    for (int k = 0; k < s.links; ++k) {
        if (governedBySetting(s, k))
            continue;
        x[s.from[k]] -= s.flow[k];
        x[s.to[k]] += s.flow[k];
    }
}

void computeLinkCoefficients(SimulationState& s) {
    switch (s.formula) {
        case HeadlossFormula::HazenWilliams:
            pipeCoefficients<headloss::HazenWilliams>(s);
            break;
        case HeadlossFormula::DarcyWeisbach:
            pipeCoefficients<headloss::DarcyWeisbach>(s);
            break;
        case HeadlossFormula::ChezyManning:
            pipeCoefficients<headloss::ChezyManning>(s);
            break;
    }
    for (int k : s.nonPipes) {
        const LinkKind kd = s.kind[k];
        if (kd == LinkKind::Pump)
            pumpCoefficients(s, k);
        else
            valveCoefficients(s, k);
    }
    nodeCoefficients(s);
}

void assembleMatrix(SimulationState& s) {
    s.ldl.clearValues();
    double* a = s.ldl.values();
    double* f = s.rhs.data();
    double* g = s.ground.data();
    const int nj = s.junctions;
    for (int n = 0; n < nj; ++n) {
        g[n] = 0.0;
        // Under PDA only positive demands follow the pressure; an inflow stays fixed.
        double fn = s.pda && s.dmP[n] > 0.0 ? 0.0 : -s.demand[n];
        const double pe = s.emP[n];
        if (pe > 0.0) {
            fn += s.emY[n] - s.emitterQ[n] + pe * s.elevation[n];
            a[s.diagSlot[n]] += pe;
            g[n] += pe;
        }
        if (s.pda) {
            const double pd = s.dmP[n];
            if (pd > 0.0) {
                fn += s.dmY[n] - s.delivered[n] + pd * (s.elevation[n] + s.pMin);
                a[s.diagSlot[n]] += pd;
                g[n] += pd;
            }
        }
        f[n] = fn;
    }
    for (int k = 0; k < s.links; ++k) {
        const int i = s.from[k];
        const int j = s.to[k];
        const double pk = s.p[k];
        double c = s.flow[k] - s.y[k];
        // An active pressure valve passes what its fixed-head node lacks. Where that would turn
        // it backwards it passes nothing in the equations, though its own new flow still turns
        // negative (so that the status check closes it), as EPANET's first trials show.
        const bool active = s.status[k] == Status::kActive;
        if (active && c < 0.0 && (s.kind[k] == LinkKind::Prv || s.kind[k] == LinkKind::Psv))
            c = 0.0;
        const int slot = s.linkSlot[k];
        if (i < nj) {
            f[i] -= c;
            a[s.diagSlot[i]] += pk;
            if (j >= nj) {
                f[i] += pk * s.head[j];
                g[i] += pk;
            }
        }
        if (j < nj) {
            f[j] += c;
            a[s.diagSlot[j]] += pk;
            if (i >= nj) {
                f[j] += pk * s.head[i];
                g[j] += pk;
            }
        }
        if (slot >= 0) {
            a[slot] -= pk;
        } else if (i < nj && j < nj) {
            // Both ends on one junction: the link only adds to its diagonal.
            g[i] += 2.0 * pk;
        }
        const int n = active ? fixedByValve(s, k) : -1;
        if (n >= 0) {
            a[s.diagSlot[n]] += kBig;
            g[n] += kBig;
            f[n] += kBig * (s.elevation[n] + s.setting[k]);
        }
    }
}

void matrixResidual(const SimulationState& s, const double* b, const double* x, long double* r) {
    const int nj = s.junctions;
    for (int n = 0; n < nj; ++n) {
        long double d = 0.0L;
        if (s.emP[n] > 0.0)
            d += s.emP[n];
        if (s.pda && s.dmP[n] > 0.0)
            d += s.dmP[n];
        r[n] = static_cast<long double>(b[n]) - d * x[n];
    }
    for (int k = 0; k < s.links; ++k) {
        const int i = s.from[k];
        const int j = s.to[k];
        const long double pk = s.p[k];
        // Heads of fixed-grade ends are on the right-hand side already.
        if (i < nj)
            r[i] -= pk * (static_cast<long double>(x[i]) - (j < nj ? x[j] : 0.0));
        if (j < nj)
            r[j] -= pk * (static_cast<long double>(x[j]) - (i < nj ? x[i] : 0.0));
        const int n = fixedByValve(s, k);
        if (n >= 0)
            r[n] -= static_cast<long double>(kBig) * x[n];
    }
}

}  // namespace kvepa2
