// Everything one hydraulic simulation keeps: compact arrays built from the model once, the
// per-run link properties, the current solution and the clock. Flat arrays only, so the
// iteration loop touches contiguous memory and allocates nothing.
#pragma once

#include <vector>

#include "hydraulics/headloss/headloss_formula.h"
#include "hydraulics/hydraulic_simulation.h"
#include "hydraulics/pow_memo.h"
#include "hydraulics/solution_refinement.h"
#include "hydraulics/sparse_ldl.h"
#include "model/model.h"

namespace kvepa2 {

class TrialLog;

// Kind of link as the solver treats it.
enum class LinkKind : unsigned char { Pipe, CvPipe, Pump, Prv, Psv, Pbv, Fcv, Tcv, Gpv };
constexpr bool isValveKind(LinkKind k) {
    return k != LinkKind::Pipe && k != LinkKind::CvPipe && k != LinkKind::Pump;
}

// How a pump turns flow into head.
enum class PumpCurveKind : unsigned char { ConstantPower, PowerLaw, Custom };

struct PumpData {
    int link = -1;
    PumpCurveKind kind = PumpCurveKind::PowerLaw;
    double h0 = 0.0;  // shutoff head, ft (power law)
    double r = 0.0;   // gain = h0 - r q^n
    double n = 1.0;
    double qMax = 0.0;   // flow at zero head, cfs
    double hMax = 0.0;   // shutoff head, ft (all kinds)
    double q0 = 0.0;     // design flow, initial estimate
    double power = 0.0;  // hp, constant power pumps
    int curve = -1;      // custom curve index
    int speedPattern = -1;
};

// The action a rule evaluation picked for a link.
struct RulePick {
    const RuleAction* action = nullptr;
    double priority = 0.0;
};

// Statuses use HydraulicSimulation::LinkStatusCode values.
using StatusCode = unsigned char;

struct SimulationState {
    explicit SimulationState(Model& m) : model(m) {}

    Model& model;
    int nodes = 0;
    int junctions = 0;
    int links = 0;

    // Topology.
    std::vector<int> from, to;
    std::vector<LinkKind> kind;
    std::vector<int> pumpOf;  // link -> index into pumps, -1 for other links
    std::vector<PumpData> pumps;
    std::vector<int> nonPipes;  // pumps and valves
    bool hasPressureValves = false;
    std::vector<int> tanks;         // node indexes of reservoirs and tanks
    std::vector<char> isReservoir;  // by node

    // Matrix slots: per link the off-diagonal slot (-1 when an end is fixed-grade).
    SparseLdl ldl;
    SolutionRefinement refinement;
    std::vector<int> linkSlot;
    std::vector<int> diagSlot;  // per junction

    // Per-run link data (re-read from the model at init()).
    std::vector<double> resistance;  // friction resistance
    std::vector<double> minorCoeff;  // 0.02517 K / d^4
    std::vector<double> diameter, roughness;
    // Pipe data the resistances were last computed from.
    std::vector<double> cachedLength, cachedDiameter, cachedRoughness;
    PowMemo powMemo;
    int cachedFormula = -1;

    // Node data re-read at init(): flat copies for the iteration loop.
    std::vector<double> elevation;  // ft
    std::vector<double> emitterK;   // cfs / ft^exponent, junctions
    std::vector<int> demandStart;   // per junction into demandBase / demandPattern
    std::vector<double> demandBase;
    std::vector<int> demandPattern;
    std::vector<double> patternNow;  // multiplier of every pattern at the current time

    // Current state.
    std::vector<double> head;       // ft, all nodes
    std::vector<double> demand;     // required demand at the current time, cfs (junctions)
    std::vector<double> delivered;  // delivered demand (PDA), cfs
    std::vector<double> emitterQ;   // emitter outflow, cfs
    std::vector<double> flow;       // cfs
    std::vector<StatusCode> status;
    std::vector<double> setting;     // current setting (speed, valve setting)
    std::vector<char> fixedStatus;   // valve fixed open/closed by the user (setting ignored)
    std::vector<char> shownOpen;     // TCV or PBV a rule's setting reopened: under its setting, reads open
    std::vector<double> tankVolume;  // by node (tanks only)
    std::vector<double> tankLevelMin, tankLevelMax;  // heads, ft, by node
    std::vector<char> tankReached;  // by node: fills or empties exactly at the end of the step

    // Scratch of the iteration.
    std::vector<double> p, y;
    std::vector<double> flowPower;  // |flow|^(exponent - 1) by link, for formulas with a power law
    std::vector<double> rhs;
    std::vector<double> excess;  // flow imbalance per node
    // Per junction, the part of the matrix diagonal that ties it to the fixed grades (links to
    // tanks and reservoirs, emitters, pressure-driven demands, fixed valve heads), summed from
    // its terms: the diagonal less the off-diagonals loses it beside a huge conductance.
    std::vector<double> ground;
    std::vector<double> emP, emY;
    std::vector<double> dmP, dmY;
    std::vector<double> netInflow;  // inflow minus outflow by node, cfs

    // Options converted once.
    double accuracy = 0.001;
    int maxTrials = 200;
    int extraTrials = -1;
    int checkFreq = 2;
    int maxCheck = 10;
    double dampLimit = 0.0;
    double headError = 0.0;
    double flowChange = 0.0;
    double emitterExponent = 0.5;
    bool pda = false;
    double pMin = 0.0, pReq = 0.1, pExp = 0.5;
    HeadlossFormula formula = HeadlossFormula::HazenWilliams;
    double viscosity = 1.1e-5;

    std::vector<RulePick> rulePicks;   // scratch of rule evaluation
    std::vector<char> controlReached;  // per simple control, see markLevelControlsReached
    std::vector<int> zone;             // scratch of releaseFloatingPrvs
    std::vector<char> zoneAnchored;

    // Clock.
    long time = 0;
    long hydStep = 3600;
    long nextReport = 0;
    long nextRule = 0;
    bool haveRun = false;
    bool halted = false;  // an unbalanced period stopped the run
    bool started = false;
    int lastIterations = 0;
    double lastRelError = 0.0;
    TrialLog* trialLog = nullptr;  // the full status report's lines, when asked for
    int lastCode = 0;
};

// Loss coefficient constant of minor losses: h = 0.02517 K q^2 / d^4 (ft, cfs).
inline constexpr double kMinorLossConstant = 0.02517;
// Resistance that stands for a closed link, and the head tolerance and flow tolerance of
// the status checks.
inline constexpr double kBig = 1.0e8;
inline constexpr double kHeadTol = 0.0005;
inline constexpr double kFlowTol = 0.0001;
// A tank whose net inflow is within this (cfs) neither rises nor falls, nor cuts the step.
inline constexpr double kTankFlowTol = 1.0e-6;

using Status = HydraulicSimulation::LinkStatusCode;

inline bool isClosedStatus(StatusCode s) {
    return s == Status::kXHead || s == Status::kTempClosed || s == Status::kClosed;
}

}  // namespace kvepa2
