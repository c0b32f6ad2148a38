// The in-memory network model shared by the reader, the writer, the C API and
// the hydraulics. All indexes are zero-based; all physical values are in the
// internal units of units.h (ft, cfs, s) unless a field says otherwise.
#pragma once

#include <cmath>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/units.h"

namespace kvepa2 {

inline constexpr int kMaxIdLength = 31;
inline constexpr int kNone = -1;  // "no pattern / no curve / no node"

enum class NodeType { Junction = 0, Reservoir = 1, Tank = 2 };
// Numbered as EPANET's link type codes.
enum class LinkType {
    CVPipe = 0,
    Pipe = 1,
    Pump = 2,
    PRV = 3,
    PSV = 4,
    PBV = 5,
    FCV = 6,
    TCV = 7,
    GPV = 8,
    PCV = 9
};
// Status a link starts a simulation with. Active: a valve governed by its
// setting; Open/Closed: fixed by the user.
enum class LinkStatus { Closed = 0, Open = 1, Active = 2 };
enum class HeadlossFormula { HazenWilliams = 0, DarcyWeisbach = 1, ChezyManning = 2 };
enum class DemandModel { DDA = 0, PDA = 1 };
enum class CurveType { Volume = 0, Pump = 1, Efficiency = 2, Headloss = 3, Generic = 4, Valve = 5 };
enum class PumpType { ConstantPower = 0, PowerFunction = 1, Custom = 2, NoCurve = 3 };

constexpr bool isValve(LinkType t) {
    return t >= LinkType::PRV;
}
constexpr bool isPipe(LinkType t) {
    return t == LinkType::Pipe || t == LinkType::CVPipe;
}

struct Demand {
    double base = 0.0;     // cfs
    int pattern = kNone;   // kNone: the default pattern (options.defaultPattern) applies
    std::string category;  // name given after ';' in [DEMANDS]
};

struct Node {
    std::string id;
    NodeType type = NodeType::Junction;
    double elevation = 0.0;  // ft

    // Junctions.
    std::vector<Demand> demands;  // categories in file order
    double emitterCoeff = 0.0;    // q[cfs] = emitterCoeff * p[ft]^options.emitterExponent

    // Reservoirs: head = elevation * pattern multiplier.
    int headPattern = kNone;

    // Tanks (levels are above the elevation).
    double initLevel = 0.0;  // ft
    double minLevel = 0.0;   // ft
    double maxLevel = 0.0;   // ft
    double diameter = 0.0;   // ft
    double minVolume = 0.0;  // ft3 (as given; the volume at minLevel when no curve)
    int volumeCurve = kNone;
    bool canOverflow = false;
    // Volumes (ft3) of a cylindrical tank at its minimum, initial and maximum level, set by
    // setCylinderVolumes from the values in the model's units.
    double volumeAtMinLevel = 0.0;
    double volumeAtInitLevel = 0.0;
    double volumeAtMaxLevel = 0.0;

    // Water quality, kept for writing back.
    double initQuality = 0.0;

    // A tank of no diameter holds no water whatever its volume curve says: it keeps its
    // initial head as a reservoir would, and the reference engine reports it as one.
    bool fixedGrade() const {
        return type == NodeType::Reservoir || (type == NodeType::Tank && diameter <= 0.0);
    }
};

struct Link {
    std::string id;
    LinkType type = LinkType::Pipe;
    int node1 = kNone;
    int node2 = kNone;
    double length = 0.0;     // ft (pipes)
    double diameter = 0.0;   // ft (pipes and valves)
    double roughness = 0.0;  // HW: C; CM: Manning n; DW: absolute roughness in ft
    double minorLoss = 0.0;  // loss coefficient K (dimensionless, as given)
    // Valves: whether the file gave a minor loss; the writer leaves out what
    // the file left out, so that a written file reads as its source does.
    bool minorLossGiven = false;
    LinkStatus initStatus = LinkStatus::Open;
    // Pumps: relative speed. PRV/PSV/PBV: ft of pressure head. FCV: cfs.
    // TCV: loss coefficient. GPV: unused (see curve). PCV: percent open.
    // Pipes: unused; their roughness is their setting.
    double setting = 0.0;
    double kBulk = 0.0;  // kept for writing back
    double kWall = 0.0;
    bool kBulkGiven = false;
    bool kWallGiven = false;

    // Pumps.
    PumpType pumpType = PumpType::NoCurve;
    int headCurve = kNone;  // pump curve (cfs, ft)
    double power = 0.0;     // hp, constant-power pumps
    int speedPattern = kNone;
    int efficiencyCurve = kNone;  // from [ENERGY]; kNone: options.globalEfficiency
    double energyPrice = 0.0;     // from [ENERGY]; 0: options.globalPrice
    int energyPattern = kNone;
    // Valves.
    int valveCurve = kNone;  // GPV headloss curve (cfs, ft) or PCV curve
};

struct Pattern {
    std::string id;
    std::vector<double> factors;
};

struct Curve {
    std::string id;
    CurveType type = CurveType::Generic;
    // Internal units by type: Pump/Headloss (cfs, ft); Volume (ft, ft3);
    // Efficiency (cfs, percent); Valve and Generic as given.
    std::vector<double> x;
    std::vector<double> y;
};

enum class ControlType { LowLevel = 0, HiLevel = 1, Timer = 2, TimeOfDay = 3 };

// A line of [CONTROLS].
struct Control {
    ControlType type = ControlType::Timer;
    int link = kNone;
    bool setsStatus = true;  // true: status below; false: setting
    LinkStatus status = LinkStatus::Open;
    double setting = 0.0;  // internal units as Link::setting
    int node = kNone;      // level controls
    double grade = 0.0;    // level controls: head threshold in ft (elevation included)
    long time = 0;         // Timer: seconds from start; TimeOfDay: seconds after midnight
    bool enabled = true;
};

enum class RuleObject { Node = 6, Link = 7, System = 8 };
enum class RuleVariable {
    Demand = 0,
    Head,
    Grade,
    Level,
    Pressure,
    Flow,
    Status,
    Setting,
    Power,
    Time,
    ClockTime,
    FillTime,
    DrainTime
};
enum class RuleOperator { EQ = 0, NE, LE, GE, LT, GT, IS, NOT, BELOW, ABOVE };
enum class RuleLogic { If, And, Or };

struct Premise {
    RuleLogic logic = RuleLogic::If;
    RuleObject object = RuleObject::System;
    int index = kNone;  // node or link index
    RuleVariable variable = RuleVariable::Time;
    RuleOperator op = RuleOperator::EQ;
    // Status comparisons (IS/NOT/=/<>) against OPEN, CLOSED or ACTIVE.
    bool comparesStatus = false;
    LinkStatus status = LinkStatus::Open;
    // Internal units: Demand/Flow cfs; Head/Grade/Level ft (Level: tank level
    // above elevation); Pressure ft of head; Time/ClockTime/FillTime/DrainTime s;
    // Setting as Link::setting; Power hp.
    double value = 0.0;
    // Values are compared with a slack of 0.001 in the units of the file, here in internal units.
    double tolerance = 0.001;
};

struct RuleAction {
    int link = kNone;
    bool setsStatus = true;
    LinkStatus status = LinkStatus::Open;
    double setting = 0.0;  // internal units as Link::setting
};

struct Rule {
    std::string label;
    std::vector<Premise> premises;
    std::vector<RuleAction> thenActions;
    std::vector<RuleAction> elseActions;
    double priority = 0.0;
    bool enabled = true;
};

struct Options {
    FlowUnits flowUnits = FlowUnits::GPM;
    PressureUnits pressureUnits = PressureUnits::PSI;
    bool pressureUnitsGiven = false;
    HeadlossFormula headloss = HeadlossFormula::HazenWilliams;
    double accuracy = 0.001;
    int trials = 200;
    int extraTrials = -1;  // UNBALANCED: -1 stop; n >= 0 continue n more trials
    double demandMultiplier = 1.0;
    int defaultPattern = kNone;  // pattern of demands without one
    std::string defaultPatternId = "1";
    double viscosity = units::kWaterViscosity;  // ft2/s
    double specificGravity = 1.0;
    double emitterExponent = 0.5;
    bool emitterBackflow = true;
    // From [ENERGY] (the section is also kept verbatim for writing back).
    double globalEfficiency = 75.0;  // percent
    double globalPrice = 0.0;
    int globalPricePattern = kNone;
    double demandCharge = 0.0;
    DemandModel demandModel = DemandModel::DDA;
    double minimumPressure = 0.0;   // ft
    double requiredPressure = 0.1;  // ft (the reader sets 0.1 pressure units by default)
    double pressureExponent = 0.5;
    int checkFrequency = 2;
    int maxCheck = 10;
    double dampLimit = 0.0;
    double headError = 0.0;   // ft
    double flowChange = 0.0;  // cfs
    // [REPORT] STATUS: NO, YES, or FULL for the trials of every solve in the report file.
    enum class StatusReport { No = 0, Yes = 1, Full = 2 } statusReport = StatusReport::No;
    // Water quality and other options that do not touch the hydraulics, kept
    // as option lines for writing back.
    std::vector<std::string> keptLines;
};

struct Times {
    long duration = 0;
    long hydraulicStep = 3600;
    long qualityStep = 360;
    long patternStep = 3600;
    long patternStart = 0;
    long reportStep = 3600;
    long reportStart = 0;
    long ruleStep = 360;
    long startClockTime = 0;  // seconds after midnight
    bool qualityStepGiven = false;
    bool ruleStepGiven = false;
    std::string statistic = "NONE";
};

// A section the hydraulics do not use, kept line by line for writing back.
struct KeptSection {
    std::string name;  // without brackets, upper case, e.g. "COORDINATES"
    std::vector<std::string> lines;
};

class Model {
  public:
    std::vector<std::string> title;
    std::vector<Node> nodes;  // junctions, then tanks and reservoirs in file order
    std::vector<Link> links;  // pipes, pumps and valves in file order
    std::vector<Pattern> patterns;
    std::vector<Curve> curves;
    std::vector<Control> controls;
    std::vector<Rule> rules;
    std::vector<std::string> ruleLines;  // [RULES] as read, for writing back
    Options options;
    Times times;
    std::vector<KeptSection> kept;
    int junctionCount = 0;
    int tankCount = 0;  // tanks and reservoirs

    std::unordered_map<std::string, int> nodeIndex;
    std::unordered_map<std::string, int> linkIndex;
    std::unordered_map<std::string, int> patternIndex;
    std::unordered_map<std::string, int> curveIndex;

    int findNode(const std::string& id) const { return find(nodeIndex, id); }
    int findLink(const std::string& id) const { return find(linkIndex, id); }
    int findPattern(const std::string& id) const { return find(patternIndex, id); }
    int findCurve(const std::string& id) const { return find(curveIndex, id); }

    // Demand pattern actually used by a demand category.
    int demandPattern(const Demand& d) const {
        return d.pattern != kNone ? d.pattern : options.defaultPattern;
    }

    // Multiplier of a pattern at a simulation time (the pattern step and start
    // applied); 1 for kNone.
    double patternFactor(int pattern, long time) const {
        if (pattern < 0 || pattern >= static_cast<int>(patterns.size()))
            return 1.0;
        const auto& f = patterns[pattern].factors;
        if (f.empty())
            return 1.0;
        long step = times.patternStep > 0 ? times.patternStep : 1;
        long period = (time + times.patternStart) / step;
        return f[static_cast<size_t>(period % static_cast<long>(f.size()))];
    }

    // Tank volume (ft3) at a level above the tank's elevation.
    double tankVolume(int node, double level) const;
    // Tank level (ft) holding a volume (ft3).
    double tankLevel(int node, double volume) const;
    // The same by heads (ft), rounded as the reference engine rounds them: whether a tank
    // is full is a plain comparison of such a head with the maximum, so the last bit counts.
    double tankVolumeAtHead(int node, double head) const;
    double tankHeadAtVolume(int node, double volume) const;
    // Volumes (ft3) at the minimum, initial and maximum level.
    double tankMinVolume(int node) const;
    double tankInitVolume(int node) const;
    double tankMaxVolume(int node) const;

  private:
    static int find(const std::unordered_map<std::string, int>& m, const std::string& id) {
        auto it = m.find(id);
        return it == m.end() ? kNone : it->second;
    }
};

// Sets a cylindrical tank's volumes at its minimum, initial and maximum level from its
// diameter, levels and minimum volume in the model's units (vcf: model volume units per ft3).
// The reference engine works them out in those units before converting, and both its full
// test and the heads of its first step hang on their last bit.
void setCylinderVolumes(Node& n, double diameter, double initLevel, double minLevel, double maxLevel,
                        double minVolume, double vcf);

}  // namespace kvepa2
