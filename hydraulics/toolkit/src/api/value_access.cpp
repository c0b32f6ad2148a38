// Node and link values through the C functions: model units outside,
// internal units inside.
#include <algorithm>
#include <cmath>

#include "api/project.h"
#include "kvepa2/epanet2_enums.h"

namespace kvepa2 {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Weight of water, lb/ft3, and ft.lbf/s per horsepower: power of a head loss.
constexpr double kWaterWeight = 62.4;
constexpr double kFtLbPerSecPerHp = 550.0;

struct Factors {
    double q, l, d, v, p, power, vel, rough;
    explicit Factors(const Model& m) {
        const FlowUnits f = m.options.flowUnits;
        q = units::flowFactor(f);
        l = units::lengthFactor(f);
        d = units::diameterFactor(f);
        v = units::volumeFactor(f);
        p = units::pressureFactor(m.options.pressureUnits, m.options.specificGravity);
        power = units::powerFactor(f);
        vel = units::velocityFactor(f);
        rough = m.options.headloss == HeadlossFormula::DarcyWeisbach ? units::dwRoughnessFactor(f) : 1.0;
    }
};

// A tank's volumes at its limits after a change of its data (what the C functions were given
// is back in the model's units only to the last bit).
void resetCylinderVolumes(Node& n, const Factors& f) {
    setCylinderVolumes(n, n.diameter * f.l, n.initLevel * f.l, n.minLevel * f.l, n.maxLevel * f.l,
                       n.minVolume * f.v, f.v);
}

double settingOut(const Link& k, double v, const Factors& f) {
    switch (k.type) {
        case LinkType::CVPipe:
        case LinkType::Pipe:
            return v * f.rough;
        case LinkType::PRV:
        case LinkType::PSV:
        case LinkType::PBV:
            return v * f.p;
        case LinkType::FCV:
            return v * f.q;
        default:
            return v;
    }
}

double settingIn(const Link& k, double v, const Factors& f) {
    switch (k.type) {
        case LinkType::CVPipe:
        case LinkType::Pipe:
            return v / f.rough;
        case LinkType::PRV:
        case LinkType::PSV:
        case LinkType::PBV:
            return v / f.p;
        case LinkType::FCV:
            return v / f.q;
        default:
            return v;
    }
}

bool inControl(const Model& m, int node, int link) {
    for (const Control& c : m.controls) {
        if ((node >= 0 && c.node == node) || (link >= 0 && c.link == link))
            return true;
    }
    for (const Rule& r : m.rules) {
        for (const Premise& p : r.premises) {
            if (node >= 0 && p.object == RuleObject::Node && p.index == node)
                return true;
            if (link >= 0 && p.object == RuleObject::Link && p.index == link)
                return true;
        }
        for (const auto* actions : {&r.thenActions, &r.elseActions}) {
            for (const RuleAction& a : *actions) {
                if (link >= 0 && a.link == link)
                    return true;
            }
        }
    }
    return false;
}

// EN_INITSTATUS: 0 closed, 1 open, 2 a valve governed by its setting (not a GPV).
double initialStatusValue(const Link& k) {
    if (k.initStatus == LinkStatus::Closed)
        return 0.0;
    return k.initStatus == LinkStatus::Active && isValve(k.type) && k.type != LinkType::GPV ? 2.0 : 1.0;
}

// Is the link closed in the current solution (EPANET reports no flow then)?
bool closedNow(const Project& p, int i) {
    return p.simulation->linkStatusCode(i) <= HydraulicSimulation::kClosed;
}

}  // namespace

int getNodeValue(const Project& p, int index, int property, double* value) {
    if (!p.open)
        return 102;
    if (value == nullptr)
        return 250;
    *value = 0.0;
    const Model& m = p.model;
    if (index < 1 || index > static_cast<int>(m.nodes.size()))
        return 203;
    const int i = index - 1;
    const Node& n = m.nodes[static_cast<size_t>(i)];
    const Factors f(m);
    const bool solved = p.solved && p.simulation != nullptr;
    const bool tank = n.type == NodeType::Tank && !n.fixedGrade();
    double v = 0.0;
    switch (property) {
        case EN_ELEVATION:
            v = n.elevation * f.l;
            break;
        case EN_BASEDEMAND:
            if (!n.demands.empty())
                v = n.demands[0].base * f.q;
            break;
        case EN_PATTERN:
            if (n.type == NodeType::Junction && !n.demands.empty())
                v = n.demands[0].pattern + 1;
            else if (n.type == NodeType::Reservoir)
                v = n.headPattern + 1;
            break;
        case EN_EMITTER:
            v = n.emitterCoeff * f.q / std::pow(f.p, m.options.emitterExponent);
            break;
        case EN_INITQUAL:
            v = n.initQuality;
            break;
        case EN_SOURCEQUAL:
        case EN_SOURCEPAT:
        case EN_SOURCETYPE:
        case EN_SOURCEMASS:
        case EN_QUALITY:
        case EN_MIXMODEL:
        case EN_MIXZONEVOL:
        case EN_TANK_KBULK:
        case EN_LEAKAGEFLOW:
            break;
        case EN_TANKLEVEL:
            if (tank)
                v = n.initLevel * f.l;
            break;
        case EN_DEMAND:
            if (solved)
                v = p.simulation->nodeDemand(i) * f.q;
            break;
        case EN_HEAD:
            if (solved)
                v = p.simulation->nodeHead(i) * f.l;
            break;
        case EN_PRESSURE:
            v = ((solved ? p.simulation->nodeHead(i) : 0.0) - n.elevation) * f.p;
            break;
        case EN_INITVOLUME:
            if (tank)
                v = m.tankVolume(i, n.initLevel) * f.v;
            break;
        case EN_TANKDIAM:
            if (tank && n.volumeCurve != kNone && n.maxLevel > n.minLevel) {
                // The diameter of the cylinder holding the curve's volume between the limits.
                const double area =
                    (m.tankVolume(i, n.maxLevel) - m.tankVolume(i, n.minLevel)) / (n.maxLevel - n.minLevel);
                v = std::sqrt(4.0 * std::max(area, 0.0) / kPi) * f.l;
            } else if (tank) {
                v = n.diameter * f.l;
            }
            break;
        case EN_MINVOLUME:
            if (tank)
                v = m.tankMinVolume(i) * f.v;
            break;
        case EN_MAXVOLUME:
            if (tank)
                v = m.tankMaxVolume(i) * f.v;
            break;
        case EN_VOLCURVE:
            if (tank)
                v = n.volumeCurve + 1;
            break;
        case EN_MINLEVEL:
            if (tank)
                v = n.minLevel * f.l;
            break;
        case EN_MAXLEVEL:
            if (tank)
                v = n.maxLevel * f.l;
            break;
        case EN_MIXFRACTION:
            if (tank)
                v = 1.0;
            break;
        case EN_TANKVOLUME:
            if (tank)
                v = (solved ? p.simulation->tankVolume(i) : m.tankVolume(i, n.initLevel)) * f.v;
            break;
        case EN_CANOVERFLOW:
            if (tank)
                v = n.canOverflow ? 1.0 : 0.0;
            break;
        case EN_DEMANDDEFICIT:
            if (solved && n.type == NodeType::Junction)
                v = p.simulation->nodeDemandDeficit(i) * f.q;
            break;
        case EN_NODE_INCONTROL:
            v = inControl(m, i, -1) ? 1.0 : 0.0;
            break;
        case EN_EMITTERFLOW:
            if (solved && n.type == NodeType::Junction)
                v = p.simulation->nodeEmitterFlow(i) * f.q;
            break;
        case EN_DEMANDFLOW:
            if (solved) {
                v = (p.simulation->nodeDemand(i) -
                     (n.type == NodeType::Junction ? p.simulation->nodeEmitterFlow(i) : 0.0)) *
                    f.q;
            }
            break;
        case EN_FULLDEMAND:
            if (solved && n.type == NodeType::Junction) {
                v = (p.simulation->nodeDemand(i) - p.simulation->nodeEmitterFlow(i) +
                     p.simulation->nodeDemandDeficit(i)) *
                    f.q;
            }
            break;
        default:
            return 251;
    }
    *value = v;
    return 0;
}

int getLinkValue(const Project& p, int index, int property, double* value) {
    if (!p.open)
        return 102;
    if (value == nullptr)
        return 250;
    *value = 0.0;
    const Model& m = p.model;
    if (index < 1 || index > static_cast<int>(m.links.size()))
        return 204;
    const int i = index - 1;
    const Link& k = m.links[static_cast<size_t>(i)];
    const Factors f(m);
    const bool solved = p.solved && p.simulation != nullptr;
    const bool pump = k.type == LinkType::Pump;
    double v = 0.0;
    switch (property) {
        case EN_DIAMETER:
            if (!pump)
                v = k.diameter * f.d;
            break;
        case EN_LENGTH:
            if (isPipe(k.type))
                v = k.length * f.l;
            break;
        case EN_ROUGHNESS:
            if (isPipe(k.type))
                v = k.roughness * f.rough;
            break;
        case EN_MINORLOSS:
            if (!pump)
                v = k.minorLoss;
            break;
        case EN_INITSTATUS:
            v = initialStatusValue(k);
            break;
        case EN_INITSETTING:
            if (isPipe(k.type))
                v = k.roughness * f.rough;
            else if (k.type == LinkType::GPV)
                v = k.valveCurve + 1;
            else if (pump && k.initStatus == LinkStatus::Closed)
                v = 0.0;  // EPANET reports a pump closed at the start as speed 0
            else
                v = settingOut(k, k.setting, f);
            break;
        case EN_KBULK:
            v = k.kBulk;
            break;
        case EN_KWALL:
            v = k.kWall;
            break;
        case EN_FLOW:
            if (solved && !closedNow(p, i))
                v = p.simulation->linkFlow(i) * f.q;
            break;
        case EN_VELOCITY:
            if (solved && !pump && !closedNow(p, i) && k.diameter > 0.0) {
                const double area = kPi * k.diameter * k.diameter / 4.0;
                v = std::fabs(p.simulation->linkFlow(i)) / area * f.vel;
            }
            break;
        case EN_HEADLOSS:
            if (solved && !closedNow(p, i)) {
                const double h = p.simulation->nodeHead(k.node1) - p.simulation->nodeHead(k.node2);
                v = (pump ? h : std::fabs(h)) * f.l;
            }
            break;
        case EN_STATUS:
            if (!solved)
                v = initialStatusValue(k);
            else if (closedNow(p, i))
                v = 0.0;
            else  // a valve governed by its setting (or failing to meet it) reads 2, as in EPANET 2.3
                v = isValve(k.type) && k.type != LinkType::GPV &&
                            p.simulation->linkStatusCode(i) >= HydraulicSimulation::kActive &&
                            !p.simulation->linkShownOpen(i)
                        ? 2.0
                        : 1.0;
            break;
        case EN_SETTING:
            if (isPipe(k.type))
                v = k.roughness * f.rough;
            else if (k.type == LinkType::GPV)
                v = k.valveCurve + 1;
            else if (isValve(k.type) &&
                     (solved ? p.simulation->linkFixed(i) : k.initStatus != LinkStatus::Active))
                v = 0.0;  // a valve fixed open or closed has no setting in force
            else
                v = settingOut(k, solved ? p.simulation->linkSetting(i) : k.setting, f);
            break;
        case EN_ENERGY:
            if (solved && !closedNow(p, i)) {
                if (pump) {
                    v = p.simulation->linkEnergy(i);
                } else {
                    const double h =
                        std::fabs(p.simulation->nodeHead(k.node1) - p.simulation->nodeHead(k.node2));
                    v = std::fabs(p.simulation->linkFlow(i)) * h * kWaterWeight * m.options.specificGravity /
                        kFtLbPerSecPerHp * units::kKwPerHp;
                }
            }
            break;
        case EN_LINKQUAL:
        case EN_PUMP_EFFIC:
        case EN_PUMP_ECOST:
        case EN_PUMP_EPAT:
        case EN_LEAK_AREA:
        case EN_LEAK_EXPAN:
        case EN_LINK_LEAKAGE:
            break;
        case EN_LINKPATTERN:
            if (pump)
                v = k.speedPattern + 1;
            break;
        case EN_PUMP_STATE:  // EPANET's detailed status code, for any link
            v = solved ? p.simulation->linkStatusCode(i) : (k.initStatus == LinkStatus::Closed ? 2 : 3);
            break;
        case EN_PUMP_POWER:
            if (pump)
                v = k.power * f.power;
            break;
        case EN_PUMP_HCURVE:
            if (pump)
                v = k.headCurve + 1;
            break;
        case EN_PUMP_ECURVE:
            if (pump)
                v = k.efficiencyCurve + 1;
            break;
        case EN_LINK_INCONTROL:
            v = inControl(m, -1, i) ? 1.0 : 0.0;
            break;
        case EN_GPV_CURVE:
            if (k.type == LinkType::GPV)
                v = k.valveCurve + 1;
            break;
        case EN_PCV_CURVE:
            if (k.type == LinkType::PCV)
                v = k.valveCurve + 1;
            break;
        case EN_VALVE_TYPE:
            if (isValve(k.type))
                v = static_cast<int>(k.type);
            break;
        default:
            return 251;
    }
    *value = v;
    return 0;
}

int setLinkValue(Project& p, int index, int property, double v) {
    if (!p.open)
        return 102;
    Model& m = p.model;
    if (index < 1 || index > static_cast<int>(m.links.size()))
        return 204;
    if (!std::isfinite(v))
        return 211;
    const int i = index - 1;
    Link& k = m.links[static_cast<size_t>(i)];
    const Factors f(m);
    const bool pump = k.type == LinkType::Pump;
    switch (property) {
        case EN_DIAMETER:
            if (pump)
                return 0;
            if (v <= 0.0)
                return 211;
            k.diameter = v / f.d;
            return 0;
        case EN_LENGTH:
            if (!isPipe(k.type))
                return 0;
            if (v <= 0.0)
                return 211;
            k.length = v / f.l;
            return 0;
        case EN_ROUGHNESS:
            if (!isPipe(k.type))
                return 0;
            if (v <= 0.0)
                return 211;
            k.roughness = v / f.rough;
            return 0;
        case EN_MINORLOSS:
            if (pump)
                return 0;
            if (v < 0.0)
                return 211;
            k.minorLoss = v;
            return 0;
        case EN_INITSTATUS:
            if (v != 0.0 && v != 1.0)
                return 211;
            if (k.type == LinkType::CVPipe)
                return 207;
            k.initStatus = v == 1.0 ? LinkStatus::Open : LinkStatus::Closed;
            if (pump && v == 1.0 && k.setting == 0.0)
                k.setting = 1.0;
            return 0;
        case EN_INITSETTING:
            if (isPipe(k.type))
                return setLinkValue(p, index, EN_ROUGHNESS, v);
            if (k.type == LinkType::GPV)
                return 207;
            if (v < 0.0 && k.type != LinkType::TCV && k.type != LinkType::PBV)
                return 211;
            k.setting = settingIn(k, v, f);
            if (pump)
                k.initStatus = v == 0.0 ? LinkStatus::Closed : LinkStatus::Open;
            else
                k.initStatus = LinkStatus::Active;
            return 0;
        case EN_KBULK:
            k.kBulk = v;
            k.kBulkGiven = true;
            return 0;
        case EN_KWALL:
            k.kWall = v;
            k.kWallGiven = true;
            return 0;
        case EN_STATUS:
            if (v != 0.0 && v != 1.0)
                return 211;
            if (k.type == LinkType::CVPipe)
                return 207;
            if (p.simulation)
                p.simulation->setLinkStatus(i, static_cast<int>(v));
            return 0;
        case EN_SETTING:
            if (isPipe(k.type))
                return setLinkValue(p, index, EN_ROUGHNESS, v);
            if (k.type == LinkType::GPV)
                return 207;
            if (v < 0.0 && k.type != LinkType::TCV && k.type != LinkType::PBV)
                return 211;
            if (p.simulation)
                p.simulation->setLinkSetting(i, settingIn(k, v, f));
            return 0;
        case EN_LINKPATTERN: {
            if (!pump)
                return 0;
            const int pat = static_cast<int>(v);
            if (pat != v || pat < 0 || pat > static_cast<int>(m.patterns.size()))
                return 205;
            k.speedPattern = pat - 1;
            return 0;
        }
        case EN_PUMP_POWER:
            if (!pump)
                return 0;
            if (v <= 0.0)
                return 202;
            k.power = v / f.power;
            k.headCurve = kNone;
            k.pumpType = PumpType::ConstantPower;
            return 0;
        default:
            return 251;
    }
}

int setNodeValue(Project& p, int index, int property, double v) {
    if (!p.open)
        return 102;
    Model& m = p.model;
    if (index < 1 || index > static_cast<int>(m.nodes.size()))
        return 203;
    if (!std::isfinite(v))
        return 209;
    const int i = index - 1;
    Node& n = m.nodes[static_cast<size_t>(i)];
    const Factors f(m);
    const bool tank = n.type == NodeType::Tank && !n.fixedGrade();
    switch (property) {
        case EN_ELEVATION:
            n.elevation = v / f.l;
            return 0;
        case EN_BASEDEMAND:
            if (n.type != NodeType::Junction)
                return 0;
            if (n.demands.empty())
                n.demands.push_back(Demand{});
            n.demands[0].base = v / f.q;
            return 0;
        case EN_PATTERN: {
            const int pat = static_cast<int>(v);
            if (pat != v || pat < 0 || pat > static_cast<int>(m.patterns.size()))
                return 205;
            if (n.type == NodeType::Junction) {
                if (n.demands.empty())
                    n.demands.push_back(Demand{});
                n.demands[0].pattern = pat - 1;
            } else if (n.type == NodeType::Reservoir) {
                n.headPattern = pat - 1;
            }
            return 0;
        }
        case EN_EMITTER:
            if (n.type != NodeType::Junction)
                return 0;
            if (v < 0.0)
                return 209;
            n.emitterCoeff = v * std::pow(f.p, m.options.emitterExponent) / f.q;
            return 0;
        case EN_INITQUAL:
            n.initQuality = v;
            return 0;
        case EN_TANKLEVEL:
            if (!tank)
                return 263;
            if (v / f.l < n.minLevel || v / f.l > n.maxLevel)
                return 225;
            n.initLevel = v / f.l;
            resetCylinderVolumes(n, f);
            return 0;
        case EN_TANKDIAM:
            if (!tank)
                return 263;
            if (v <= 0.0)
                return 209;
            n.diameter = v / f.l;
            resetCylinderVolumes(n, f);
            return 0;
        case EN_MINVOLUME:
            if (!tank)
                return 263;
            if (v < 0.0)
                return 209;
            n.minVolume = v / f.v;
            resetCylinderVolumes(n, f);
            return 0;
        case EN_MINLEVEL:
            if (!tank)
                return 263;
            if (v < 0.0 || v / f.l > n.initLevel)
                return 225;
            n.minLevel = v / f.l;
            resetCylinderVolumes(n, f);
            return 0;
        case EN_MAXLEVEL:
            if (!tank)
                return 263;
            if (v < 0.0 || v / f.l < n.initLevel)
                return 225;
            n.maxLevel = v / f.l;
            resetCylinderVolumes(n, f);
            return 0;
        case EN_VOLCURVE: {
            if (!tank)
                return 263;
            const int c = static_cast<int>(v);
            if (c != v || c < 0 || c > static_cast<int>(m.curves.size()))
                return 206;
            // A curve held in other units cannot serve as a volume curve.
            if (c > 0 && m.curves[static_cast<size_t>(c - 1)].type != CurveType::Volume)
                return 206;
            n.volumeCurve = c - 1;
            return 0;
        }
        case EN_CANOVERFLOW:
            if (!tank)
                return 263;
            n.canOverflow = v != 0.0;
            return 0;
        case EN_SOURCEQUAL:
        case EN_SOURCEPAT:
        case EN_SOURCETYPE:
        case EN_MIXMODEL:
        case EN_MIXFRACTION:
        case EN_TANK_KBULK:
            return 0;
        default:
            return 251;
    }
}

}  // namespace kvepa2
