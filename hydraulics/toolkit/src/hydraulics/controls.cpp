#include "hydraulics/controls.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "hydraulics/trial_log.h"

namespace kvepa2 {

namespace {

// A constant-power pump opened again starts from its initial flow estimate: from the trickle
// it leaked while closed its gain would be unbounded and it would stay shut.
void restartConstantPowerPump(SimulationState& s, int k) {
    const PumpData& pump = s.pumps[s.pumpOf[k]];
    if (pump.kind == PumpCurveKind::ConstantPower)
        s.flow[k] = pump.q0 * s.setting[k];
}

}  // namespace

bool setLinkStatusAction(SimulationState& s, int k, LinkStatus status, ActionBy by) {
    const LinkKind kd = s.kind[k];
    const StatusCode old = s.status[k];
    const double oldSetting = s.setting[k];
    const char oldFixed = s.fixedStatus[k];
    const bool valve = isValveKind(kd);
    s.shownOpen[k] = 0;
    if (by == ActionBy::Rule && status != LinkStatus::Active &&
        isClosedStatus(old) == (status == LinkStatus::Closed))
        return false;
    // A simple control's CLOSED leaves a link that is shut already, and has no setting of its
    // own to lose, as it is: one that a full or empty tank shut stays free to reopen when the
    // tank turns. The toolkit's CLOSED shuts it for good.
    if (by == ActionBy::Control && status == LinkStatus::Closed && isClosedStatus(old) &&
        (kd == LinkKind::Pipe || kd == LinkKind::CvPipe || (valve && oldFixed) ||
         (kd == LinkKind::Pump && oldSetting == 0.0)))
        return false;
    if (status == LinkStatus::Closed) {
        s.status[k] = Status::kClosed;
        if (kd == LinkKind::Pump)
            s.setting[k] = 0.0;
        else if (valve)
            s.fixedStatus[k] = 1;
    } else if (status == LinkStatus::Open) {
        if (kd == LinkKind::Pump) {
            s.setting[k] = 1.0;
            if (isClosedStatus(old)) {
                s.status[k] = Status::kOpen;
                restartConstantPowerPump(s, k);
            }
        } else {
            if (valve)
                s.fixedStatus[k] = 1;
            if (old != Status::kOpen)
                s.status[k] = Status::kOpen;
        }
    } else if (valve) {
        // Active: back under the control of the valve's setting.
        s.fixedStatus[k] = 0;
        s.status[k] = Status::kActive;
    }
    return s.status[k] != old || s.setting[k] != oldSetting || s.fixedStatus[k] != oldFixed;
}

bool setLinkSettingAction(SimulationState& s, int k, double value, ActionBy by) {
    const LinkKind kd = s.kind[k];
    const StatusCode old = s.status[k];
    const double oldSetting = s.setting[k];
    if (kd == LinkKind::Pump) {
        // A rule's speed already in force changes nothing, not even for a pump the solver
        // shut for want of head; a simple control's reopens that pump.
        if (by == ActionBy::Rule && value == oldSetting)
            return false;
        s.setting[k] = value;
        if (value <= 0.0)
            s.status[k] = Status::kClosed;
        else if (isClosedStatus(old)) {
            s.status[k] = Status::kOpen;
            restartConstantPowerPump(s, k);
        }
    } else if (kd == LinkKind::Pipe || kd == LinkKind::CvPipe) {
        return false;
    } else {
        // A rule's setting already in force leaves the valve as the solver has it; a simple
        // control's puts it back under its setting, to be checked again.
        if (!s.fixedStatus[k] && value == oldSetting && (by != ActionBy::Control || old == Status::kActive))
            return false;
        const bool wasFixed = s.fixedStatus[k] != 0;
        s.setting[k] = value;
        s.fixedStatus[k] = 0;
        // A TCV or PBV that a rule's setting reopens follows its setting, but EPANET calls it
        // open ("changed from closed to open"), in its status and in the rules' premises.
        s.shownOpen[k] =
            by == ActionBy::Rule && old == Status::kClosed && (kd == LinkKind::Tcv || kd == LinkKind::Pbv);
        const bool checked = kd == LinkKind::Prv || kd == LinkKind::Psv || kd == LinkKind::Fcv;
        if (by == ActionBy::Rule && checked && (old == Status::kOpen || old == Status::kClosed)) {
            // A rule leaves a pressure valve or FCV open or closed as it stands, to be checked
            // against the new setting after the next trial; one that was fixed shut is opened.
            if (wasFixed)
                s.status[k] = Status::kOpen;
        } else if (old == Status::kClosed || old == Status::kOpen || old == Status::kXFcv ||
                   old == Status::kXPressure || (by == ActionBy::Control && value == oldSetting)) {
            // A simple control puts the valve under its setting at once, as it does a valve that
            // could not hold its setting (an FCV that cannot deliver its flow, a pressure valve
            // released).
            s.status[k] = Status::kActive;
        }
    }
    return s.status[k] != old || s.setting[k] != oldSetting;
}

namespace {

// The head a level control's node is compared with. The reference engine compares a tank's
// volumes, and reads a volume curve as flat past its ends: a threshold beyond the curve is met
// at its last (or first) point. A node of fixed grade holds the same (no) volume at every
// level, so a control on it is met at every check.
bool levelReached(const SimulationState& s, const Control& c) {
    const int n = c.node;
    if (n < 0)
        return false;
    double grade = c.grade;
    if (n >= s.junctions) {
        const Node& t = s.model.nodes[static_cast<size_t>(n)];
        if (s.isReservoir[n])
            return true;
        if (t.volumeCurve != kNone) {
            const Curve& curve = s.model.curves[static_cast<size_t>(t.volumeCurve)];
            if (!curve.x.empty())
                grade = std::clamp(grade, t.elevation + curve.x.front(), t.elevation + curve.x.back());
        }
    }
    return c.type == ControlType::LowLevel ? s.head[n] <= grade + 1.0e-6 : s.head[n] >= grade - 1.0e-6;
}

// What a junction's level control does when the solver finds its condition met. Unlike a
// control at the start of a period it compares a pump's speed or a valve's setting only, so a
// pump the solver shut for want of head, or a valve it shut, is left to the solver.
bool switchOnPressure(SimulationState& s, const Control& c) {
    const int k = c.link;
    const LinkKind kd = s.kind[k];
    if (kd == LinkKind::Pipe || kd == LinkKind::CvPipe) {
        if (!c.setsStatus)
            return false;
        const StatusCode target = c.status == LinkStatus::Closed ? Status::kClosed : Status::kOpen;
        if (s.status[k] == target)
            return false;
        s.status[k] = target;
        return true;
    }
    if (kd == LinkKind::Pump) {
        const double speed = c.setsStatus ? (c.status == LinkStatus::Closed ? 0.0 : 1.0) : c.setting;
        if (s.setting[k] == speed)
            return false;
        return setLinkSettingAction(s, k, speed, ActionBy::Control);
    }
    if (c.setsStatus) {
        const StatusCode target = c.status == LinkStatus::Closed ? Status::kClosed : Status::kOpen;
        if (s.fixedStatus[k] && s.status[k] == target)
            return false;
        s.status[k] = target;
        s.fixedStatus[k] = 1;
        return true;
    }
    if (!s.fixedStatus[k] && s.setting[k] == c.setting)
        return false;
    s.setting[k] = c.setting;
    s.fixedStatus[k] = 0;
    s.status[k] = Status::kActive;
    return true;
}

// A level control on a junction: the solver checks it on the heads it has found.
bool onJunction(const SimulationState& s, const Control& c) {
    return (c.type == ControlType::LowLevel || c.type == ControlType::HiLevel) && c.node >= 0 &&
           c.node < s.junctions;
}

bool controlDue(const SimulationState& s, const Control& c) {
    switch (c.type) {
        case ControlType::LowLevel:
        case ControlType::HiLevel:
            return levelReached(s, c);
        case ControlType::Timer:
            return s.time == c.time;
        case ControlType::TimeOfDay:
            return (s.time + s.model.times.startClockTime) % 86400 == c.time % 86400;
    }
    return false;
}

}  // namespace

bool applyJunctionControls(SimulationState& s) {
    bool changed = false;
    for (const Control& c : s.model.controls) {
        if (!c.enabled || c.link < 0 || !onJunction(s, c))
            continue;
        const double h = s.head[c.node];
        if (c.type == ControlType::LowLevel ? h > c.grade + kHeadTol : h < c.grade - kHeadTol)
            continue;
        const StatusCode before = s.status[c.link];
        changed = switchOnPressure(s, c) || changed;
        if (s.trialLog && s.status[c.link] != before)
            s.trialLog->switched(c.link, before, s.status[c.link]);
    }
    return changed;
}

bool applySimpleControls(SimulationState& s) {
    bool changed = false;
    const auto& controls = s.model.controls;
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        const bool reached = s.controlReached[i] != 0;
        s.controlReached[i] = 0;
        if (!c.enabled || c.link < 0 || onJunction(s, c) || !(reached || controlDue(s, c)))
            continue;
        const bool did = c.setsStatus ? setLinkStatusAction(s, c.link, c.status, ActionBy::Control)
                                      : setLinkSettingAction(s, c.link, c.setting, ActionBy::Control);
        changed = changed || did;
    }
    return changed;
}

namespace {

// A control whose action leaves its link as it is does not shorten the time step.
bool wouldChange(const SimulationState& s, const Control& c) {
    const int k = c.link;
    if (c.setsStatus) {
        const bool closed = isClosedStatus(s.status[k]);
        const bool valve = isValveKind(s.kind[k]);
        // A pump the solver shut for want of head is not closed by a control yet, nor is a
        // valve the solver shut fixed shut.
        if (c.status == LinkStatus::Closed)
            return s.status[k] != Status::kClosed || (s.kind[k] == LinkKind::Pump && s.setting[k] != 0.0) ||
                   (valve && !s.fixedStatus[k]);
        if (c.status == LinkStatus::Open && s.kind[k] == LinkKind::Pump)
            return closed || s.setting[k] != 1.0;
        if (c.status == LinkStatus::Open)
            return closed || (valve && !s.fixedStatus[k]);
        return s.fixedStatus[k] != 0;
    }
    // A setting asks for a valve under its setting, a running pump, or a shut one at speed 0:
    // a valve standing open or shut at that very setting still ends the step.
    if (isValveKind(s.kind[k]))
        return s.setting[k] != c.setting || s.fixedStatus[k] || s.status[k] != Status::kActive;
    if (s.kind[k] == LinkKind::Pump)
        return s.setting[k] != c.setting ||
               (c.setting > 0.0 ? isClosedStatus(s.status[k]) : s.status[k] != Status::kClosed);
    return s.setting[k] != c.setting;
}

}  // namespace

// Seconds until a level control's tank reaches its threshold at the current inflow; -1 if
// it is not heading there.
namespace {

// Seconds (not rounded) until a level control's tank reaches its threshold at the current
// inflow; -1 if it is not heading there.
double secondsToLevel(const SimulationState& s, const Control& c, const std::vector<double>& netInflow) {
    if (c.node < s.junctions || s.isReservoir[c.node])
        return -1.0;
    const double q = netInflow[c.node];
    if (q == 0.0)
        return -1.0;
    const double h = s.head[c.node];
    const bool reaches = (c.type == ControlType::HiLevel && q > 0.0 && h < c.grade) ||
                         (c.type == ControlType::LowLevel && q < 0.0 && h > c.grade);
    if (!reaches)
        return -1.0;
    const double v = s.model.tankVolumeAtHead(c.node, c.grade);
    return (v - s.tankVolume[c.node]) / q;
}

}  // namespace

long levelControlTime(const SimulationState& s, const Control& c, const std::vector<double>& netInflow) {
    const double t = secondsToLevel(s, c, netInflow);
    return t < 0.0 ? -1 : std::lround(t);
}

long timeToNextControl(SimulationState& s, const std::vector<double>& netInflow, long limit) {
    long best = limit;
    const auto& controls = s.model.controls;
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (!c.enabled || c.link < 0 || !wouldChange(s, c))
            continue;
        long t = -1;
        if (c.type == ControlType::Timer) {
            if (c.time > s.time)
                t = c.time - s.time;
        } else if (c.type == ControlType::TimeOfDay) {
            const long clock = (s.time + s.model.times.startClockTime) % 86400;
            t = ((c.time % 86400) - clock + 86400) % 86400;
            if (t == 0)
                t = 86400;
        } else {
            t = levelControlTime(s, c, netInflow);
        }
        if (t > 0 && t < best)
            best = t;
    }
    return best;
}

void markLevelControlsReached(SimulationState& s, const std::vector<double>& netInflow, long step) {
    const auto& controls = s.model.controls;
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        s.controlReached[i] = 0;
        if (!c.enabled || c.link < 0 || c.type == ControlType::Timer || c.type == ControlType::TimeOfDay)
            continue;
        // A step that leaves the tank less than one second's inflow short of the level (a step
        // cut to that second, or one that ends just before it) reaches the level: EPANET acts
        // on the control then, not a second later.
        const double t = secondsToLevel(s, c, netInflow);
        if (t >= 0.0 && t < static_cast<double>(step) + 1.0)
            s.controlReached[i] = 1;
    }
}

namespace {

// SYSTEM DEMAND as the reference engine takes it: the demands asked for (the multiplier
// included, whatever PDA delivers, without emitters), each category counted only if positive.
double systemDemand(const SimulationState& s) {
    const double* pat = s.patternNow.data() + 1;
    double sum = 0.0;
    for (size_t c = 0; c < s.demandBase.size(); ++c)
        sum += std::max(0.0, s.demandBase[c] * pat[s.demandPattern[c]]);
    return sum * s.model.options.demandMultiplier;
}

double premiseValue(const SimulationState& s, const Premise& p, long t) {
    const int i = p.index;
    switch (p.variable) {
        case RuleVariable::Demand:
            if (p.object == RuleObject::System)
                return systemDemand(s);
            if (i < s.junctions)
                return s.pda ? s.delivered[i] + s.emitterQ[i] : s.demand[i] + s.emitterQ[i];
            return 0.0;
        case RuleVariable::Head:
        case RuleVariable::Grade:
            return s.head[i];
        case RuleVariable::Level:
        case RuleVariable::Pressure:
            return s.head[i] - s.elevation[i];
        case RuleVariable::Flow:
            // The size of the flow, whichever way it runs.
            return isClosedStatus(s.status[i]) ? 0.0 : std::fabs(s.flow[i]);
        case RuleVariable::Setting:
            return s.setting[i];
        case RuleVariable::FillTime:
        case RuleVariable::DrainTime: {
            // Seconds to the top (or the bottom) at the present inflow; no value, so that the
            // premise fails, for a tank not filling (or draining) or a node that is no tank.
            if (i < s.junctions || s.isReservoir[i])
                return std::numeric_limits<double>::quiet_NaN();
            const double q = s.netInflow[i];
            const bool fill = p.variable == RuleVariable::FillTime;
            if (fill ? q <= kTankFlowTol : q >= -kTankFlowTol)
                return std::numeric_limits<double>::quiet_NaN();
            const double target = fill ? s.model.tankMaxVolume(i) : s.model.tankMinVolume(i);
            return (target - s.tankVolume[i]) / q;
        }
        case RuleVariable::Time:
            return static_cast<double>(t);
        case RuleVariable::ClockTime:
            return static_cast<double>((t + s.model.times.startClockTime) % 86400);
        default:
            return 0.0;
    }
}

// A value against a premise's, with the reference engine's slack: < and BELOW hold up to tol
// above, > and ABOVE down to tol below, while <= and >= need tol to spare (so ">= 100" does
// not hold at 100).
bool compareValue(double a, RuleOperator op, double b, double tol) {
    switch (op) {
        case RuleOperator::EQ:
        case RuleOperator::IS:
            return std::fabs(a - b) <= tol;
        case RuleOperator::NE:
        case RuleOperator::NOT:
            return std::fabs(a - b) > tol;
        case RuleOperator::LT:
        case RuleOperator::BELOW:
            return a <= b + tol;
        case RuleOperator::GT:
        case RuleOperator::ABOVE:
            return a >= b - tol;
        case RuleOperator::LE:
            return a <= b - tol;
        case RuleOperator::GE:
            return a >= b + tol;
    }
    return false;
}

// Times are whole seconds, compared exactly.
bool compareTime(double a, RuleOperator op, double b) {
    switch (op) {
        case RuleOperator::EQ:
        case RuleOperator::IS:
            return a == b;
        case RuleOperator::NE:
        case RuleOperator::NOT:
            return a != b;
        case RuleOperator::LE:
        case RuleOperator::BELOW:
            return a <= b;
        case RuleOperator::GE:
        case RuleOperator::ABOVE:
            return a >= b;
        case RuleOperator::LT:
            return a < b;
        case RuleOperator::GT:
            return a > b;
    }
    return false;
}

bool premiseHolds(const SimulationState& s, const Premise& p, long t) {
    if (p.comparesStatus && p.object == RuleObject::Link) {
        const StatusCode st = s.status[p.index];
        LinkStatus now = isClosedStatus(st)                               ? LinkStatus::Closed
                         : st == Status::kActive && !s.shownOpen[p.index] ? LinkStatus::Active
                                                                          : LinkStatus::Open;
        const bool same = now == p.status;
        return (p.op == RuleOperator::NOT || p.op == RuleOperator::NE) ? !same : same;
    }
    if (p.variable == RuleVariable::Time || p.variable == RuleVariable::ClockTime) {
        // Time premises hold within the rule step that reaches them.
        const double v = premiseValue(s, p, t);
        return compareTime(v, p.op, p.value) ||
               ((p.op == RuleOperator::EQ || p.op == RuleOperator::IS) && v >= p.value &&
                v < p.value + static_cast<double>(s.model.times.ruleStep));
    }
    return compareValue(premiseValue(s, p, t), p.op, p.value, p.tolerance);
}

}  // namespace

bool applyRules(SimulationState& s, long t) {
    const auto& rules = s.model.rules;
    if (rules.empty())
        return false;
    // Winning action per link: the highest priority, the first rule on ties.
    auto& picks = s.rulePicks;
    picks.assign(static_cast<size_t>(s.links), RulePick{});
    for (const Rule& r : rules) {
        if (!r.enabled || r.premises.empty())
            continue;
        bool result = premiseHolds(s, r.premises[0], t);
        for (size_t i = 1; i < r.premises.size(); ++i) {
            const Premise& p = r.premises[i];
            if (p.logic == RuleLogic::Or)
                result = result || premiseHolds(s, p, t);
            else
                result = result && premiseHolds(s, p, t);
        }
        const auto& actions = result ? r.thenActions : r.elseActions;
        for (const RuleAction& a : actions) {
            if (a.link < 0)
                continue;
            RulePick& pk = picks[a.link];
            if (pk.action == nullptr || r.priority > pk.priority) {
                pk.action = &a;
                pk.priority = r.priority;
            }
        }
    }
    bool changed = false;
    for (int k = 0; k < s.links; ++k) {
        const RuleAction* a = picks[k].action;
        if (a == nullptr)
            continue;
        const bool did = a->setsStatus ? setLinkStatusAction(s, k, a->status, ActionBy::Rule)
                                       : setLinkSettingAction(s, k, a->setting, ActionBy::Rule);
        changed = changed || did;
    }
    return changed;
}

}  // namespace kvepa2
