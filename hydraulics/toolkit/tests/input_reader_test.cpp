// The input-file reader: sections, units, times, demands, controls, rules and
// EPANET's error codes with their report lines.
#include "input/input_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "input/number_text.h"

namespace kvepa2 {
namespace {

// A small network every case extends.
const std::string kBase =
    "[JUNCTIONS]\n"
    "J1 100 10\n"
    "J2 90 20 P1\n"
    "[RESERVOIRS]\n"
    "R1 200\n"
    "[PIPES]\n"
    "L1 R1 J1 1000 12 100\n"
    "L2 J1 J2 500 8 110 0.5 CV\n"
    "[PATTERNS]\n"
    "P1 1 1.5 0.5\n";

Model read(const std::string& text, ReadResult* result = nullptr) {
    Model m;
    ReadResult r = readInputText(text, m);
    EXPECT_EQ(r.code, 0) << (r.errors.empty() ? "" : r.errors[0].message);
    if (result != nullptr)
        *result = r;
    return m;
}

ReadResult readFailing(const std::string& text) {
    Model m;
    ReadResult r = readInputText(text, m);
    EXPECT_TRUE(m.nodes.empty()) << "a failed read leaves no half-read model";
    return r;
}

TEST(InputReader, NodesAreJunctionsFirstThenTanksAndReservoirsInFileOrder) {
    const Model m = read(
        "[TANKS]\nT1 50 5 0 10 20 0\n[RESERVOIRS]\nR1 100\n[JUNCTIONS]\nB 10\nA 10\n"
        "[TANKS]\nT2 50 5 0 10 20 0\n[VALVES]\nV1 B A 6 TCV 2\n[PIPES]\nP1 R1 B 100 6 100\nP2 T1 A 100 6 "
        "100\n"
        "[PUMPS]\nU1 T2 A POWER 5\n");
    ASSERT_EQ(m.nodes.size(), 5u);
    const char* nodes[] = {"B", "A", "T1", "R1", "T2"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(m.nodes[i].id, nodes[i]);
    EXPECT_EQ(m.junctionCount, 2);
    EXPECT_EQ(m.tankCount, 3);
    const char* links[] = {"V1", "P1", "P2", "U1"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(m.links[i].id, links[i]);
    EXPECT_EQ(m.findNode("T2"), 4);
    EXPECT_EQ(m.findLink("P2"), 2);
    EXPECT_EQ(m.links[3].type, LinkType::Pump);
    EXPECT_EQ(m.links[0].type, LinkType::TCV);
}

TEST(InputReader, PatternsCurvesAndOptionsMayComeAfterTheirUsers) {
    const Model m = read(
        "[JUNCTIONS]\nJ1 10 1 D\n[RESERVOIRS]\nR1 100\n[PUMPS]\nU1 R1 J1 HEAD C1 PATTERN S\n"
        "[CURVES]\nC1 1 50\n[PATTERNS]\nD 1 2\nS 1\n[OPTIONS]\nUNITS LPS\n");
    EXPECT_EQ(m.links[0].headCurve, 0);
    EXPECT_EQ(m.links[0].speedPattern, 1);
    EXPECT_EQ(m.nodes[0].demands[0].pattern, 0);
    // UNITS came last and still governs the junction above it.
    EXPECT_NEAR(m.nodes[0].elevation, 10.0 / 0.3048, 1e-9);
    EXPECT_NEAR(m.nodes[0].demands[0].base, 1.0 / 28.317, 1e-12);
}

struct FlowUnitCase {
    const char* name;
    double perCfs;  // published conversion factor
    bool si;
};

class FlowUnitsTest : public ::testing::TestWithParam<FlowUnitCase> {};

TEST_P(FlowUnitsTest, ConvertsDemandsLengthsAndDiametersOnce) {
    const FlowUnitCase c = GetParam();
    const std::string text = "[OPTIONS]\nUNITS " + std::string(c.name) + "\n[JUNCTIONS]\nJ1 30.48 " +
                             std::to_string(c.perCfs) + "\n[RESERVOIRS]\nR1 100\n[PIPES]\nL1 R1 J1 304.8 " +
                             (c.si ? "304.8" : "12") + " 100\n";
    const Model m = read(text);
    EXPECT_NEAR(m.nodes[0].demands[0].base, 1.0, 1e-6) << c.name;
    EXPECT_NEAR(m.nodes[0].elevation, c.si ? 100.0 : 30.48, 1e-9) << c.name;
    EXPECT_NEAR(m.links[0].length, c.si ? 1000.0 : 304.8, 1e-9) << c.name;
    EXPECT_NEAR(m.links[0].diameter, 1.0, 1e-12) << c.name;
    EXPECT_EQ(m.options.pressureUnits, c.si ? PressureUnits::METERS : PressureUnits::PSI);
}

INSTANTIATE_TEST_SUITE_P(
    AllUnits, FlowUnitsTest,
    ::testing::Values(FlowUnitCase{"CFS", 1.0, false}, FlowUnitCase{"GPM", 448.831, false},
                      FlowUnitCase{"MGD", 0.64632, false}, FlowUnitCase{"IMGD", 0.5382, false},
                      FlowUnitCase{"AFD", 1.9837, false}, FlowUnitCase{"LPS", 28.317, true},
                      FlowUnitCase{"LPM", 1699.0, true}, FlowUnitCase{"MLD", 2.4466, true},
                      FlowUnitCase{"CMH", 101.94, true}, FlowUnitCase{"CMD", 2446.6, true}));

TEST(InputReader, PressuresEmittersAndValveSettingsUseThePressureUnits) {
    // PSI: 0.4333 psi per ft of water. An emitter of K gpm/psi^0.5 delivers
    // K * (0.4333 p)^0.5 gpm at p ft, i.e. K*sqrt(0.4333)/448.831 cfs/ft^0.5.
    const Model m =
        read(kBase +
             "[EMITTERS]\nJ1 2\n[VALVES]\nV1 J1 J2 6 PRV 43.33\nV2 J1 J2 6 FCV 448.831\n"
             "[OPTIONS]\nEMITTER EXPONENT 0.5\nMINIMUM PRESSURE 4.333\nREQUIRED PRESSURE 8.666\n");
    EXPECT_NEAR(m.nodes[0].emitterCoeff, 2.0 * std::sqrt(0.4333) / 448.831, 1e-12);
    EXPECT_NEAR(m.links[2].setting, 100.0, 1e-9);
    EXPECT_NEAR(m.links[3].setting, 1.0, 1e-9);
    EXPECT_NEAR(m.options.minimumPressure, 10.0, 1e-9);
    EXPECT_NEAR(m.options.requiredPressure, 20.0, 1e-9);
}

TEST(InputReader, DarcyWeisbachRoughnessIsHeldInFeet) {
    const Model us = read(kBase + "[OPTIONS]\nHEADLOSS D-W\n");
    EXPECT_NEAR(us.links[0].roughness, 0.1, 1e-12);  // 100 millifeet
    const Model si = read(kBase + "[OPTIONS]\nHEADLOSS D-W\nUNITS LPS\n");
    EXPECT_NEAR(si.links[0].roughness, 100.0 / 304.8, 1e-12);  // 100 mm
    const Model hw = read(kBase);
    EXPECT_EQ(hw.links[0].roughness, 100.0);
}

struct TimeCase {
    const char* value;
    const char* unit;
    long seconds;
};

class TimeTextTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeTextTest, ParsesEveryTimeForm) {
    const TimeCase c = GetParam();
    EXPECT_EQ(parseTime(c.value, c.unit), c.seconds) << c.value << " " << c.unit;
}

INSTANTIATE_TEST_SUITE_P(Forms, TimeTextTest,
                         ::testing::Values(TimeCase{"24", "", 86400}, TimeCase{"1.5", "", 5400},
                                           TimeCase{"1:30", "", 5400}, TimeCase{"1:30:15", "", 5415},
                                           TimeCase{"90", "MIN", 5400}, TimeCase{"90", "minutes", 5400},
                                           TimeCase{"3600", "SEC", 3600}, TimeCase{"2", "DAYS", 172800},
                                           TimeCase{"0.5", "HOURS", 1800}, TimeCase{"12", "AM", 0},
                                           TimeCase{"12", "PM", 43200}, TimeCase{"1:30", "PM", 48600},
                                           TimeCase{"11", "pm", 82800}, TimeCase{"6:00", "am", 21600},
                                           TimeCase{"abc", "", -1}, TimeCase{"13", "PM", -1},
                                           TimeCase{"-1", "", -1}, TimeCase{"1:2:3:4", "", -1},
                                           TimeCase{"5", "FORTNIGHTS", -1}, TimeCase{"", "", -1}));

TEST(InputReader, TimesAndTheirEpanetAdjustments) {
    const Model m =
        read(kBase +
             "[TIMES]\nDuration 48:00\nHydraulic Timestep 2:00\nPattern Timestep 1:00\n"
             "Pattern Start 3:00\nReport Timestep 1:00\nReport Start 0:00\nStart ClockTime 1:30 PM\n"
             "Statistic AVERAGE\n");
    EXPECT_EQ(m.times.duration, 48 * 3600);
    // The hydraulic step never exceeds the pattern or report step.
    EXPECT_EQ(m.times.hydraulicStep, 3600);
    EXPECT_EQ(m.times.patternStart, 3 * 3600);
    EXPECT_EQ(m.times.startClockTime, 13 * 3600 + 1800);
    // Rule and quality steps default to a tenth of the hydraulic step.
    EXPECT_EQ(m.times.ruleStep, 360);
    EXPECT_EQ(m.times.qualityStep, 360);
    EXPECT_EQ(m.times.statistic, "AVERAGE");
}

TEST(InputReader, OptionsAreAllRead) {
    const Model m =
        read(kBase +
             "[OPTIONS]\nUnits CMH\nHeadloss C-M\nSpecific Gravity 1.1\nViscosity 2\nTrials 77\n"
             "Accuracy 0.0005\nUnbalanced Continue 12\nDemand Multiplier 1.25\nEmitter Exponent 0.6\n"
             "Demand Model PDA\nPressure Exponent 0.7\nCHECKFREQ 3\nMAXCHECK 9\nDAMPLIMIT 0.2\n"
             "HEADERROR 0.3048\nFLOWCHANGE 101.94\nQuality None\nPattern P1\n");
    const Options& o = m.options;
    EXPECT_EQ(o.flowUnits, FlowUnits::CMH);
    EXPECT_EQ(o.headloss, HeadlossFormula::ChezyManning);
    EXPECT_DOUBLE_EQ(o.specificGravity, 1.1);
    EXPECT_NEAR(o.viscosity, 2.2e-5, 1e-15);
    EXPECT_EQ(o.trials, 77);
    EXPECT_DOUBLE_EQ(o.accuracy, 0.0005);
    EXPECT_EQ(o.extraTrials, 12);
    EXPECT_DOUBLE_EQ(o.demandMultiplier, 1.25);
    EXPECT_DOUBLE_EQ(o.emitterExponent, 0.6);
    EXPECT_EQ(o.demandModel, DemandModel::PDA);
    EXPECT_DOUBLE_EQ(o.pressureExponent, 0.7);
    EXPECT_EQ(o.checkFrequency, 3);
    EXPECT_EQ(o.maxCheck, 9);
    EXPECT_DOUBLE_EQ(o.dampLimit, 0.2);
    EXPECT_NEAR(o.headError, 1.0, 1e-12);
    EXPECT_NEAR(o.flowChange, 1.0, 1e-12);
    EXPECT_EQ(o.defaultPattern, 0);
    ASSERT_EQ(o.keptLines.size(), 1u);
    EXPECT_EQ(o.keptLines[0], "Quality None");
    EXPECT_EQ(read(kBase + "[OPTIONS]\nUNBALANCED STOP\n").options.extraTrials, -1);
}

TEST(InputReader, ViscosityWithoutTheOptionIsWaters) {
    // A file without VISCOSITY must not scale the default a second time:
    // Darcy-Weisbach losses depend on it through the Reynolds number.
    EXPECT_NEAR(read(kBase).options.viscosity, 1.1e-5, 1e-15);
    EXPECT_NEAR(read(kBase + "[OPTIONS]\nUnits LPS\n").options.viscosity, 1.1e-5, 1e-15);
}

TEST(InputReader, DemandsSectionReplacesTheJunctionDemandWithItsCategories) {
    const Model m =
        read(kBase + "[PATTERNS]\nP2 2\n[DEMANDS]\nJ1 5 P1 ;Domestic\nJ1 7 P2 ; Industry \nJ1 1\n");
    const Node& j1 = m.nodes[0];
    ASSERT_EQ(j1.demands.size(), 3u);
    EXPECT_NEAR(j1.demands[0].base, 5.0 / 448.831, 1e-12);
    EXPECT_EQ(j1.demands[0].pattern, 0);
    EXPECT_EQ(j1.demands[0].category, "Domestic");
    EXPECT_EQ(j1.demands[1].pattern, 1);
    EXPECT_EQ(j1.demands[1].category, "Industry");
    EXPECT_EQ(j1.demands[2].pattern, kNone);
    // J2 has no [DEMANDS] line and keeps its own demand.
    ASSERT_EQ(m.nodes[1].demands.size(), 1u);
    EXPECT_NEAR(m.nodes[1].demands[0].base, 20.0 / 448.831, 1e-12);
}

TEST(InputReader, DefaultPatternIsPatternOneUnlessNamed) {
    const Model withOne = read(kBase + "[PATTERNS]\n1 0.5\n");
    EXPECT_EQ(withOne.options.defaultPattern, withOne.findPattern("1"));
    EXPECT_EQ(withOne.demandPattern(withOne.nodes[0].demands[0]), withOne.findPattern("1"));
    EXPECT_EQ(withOne.demandPattern(withOne.nodes[1].demands[0]), withOne.findPattern("P1"));
    EXPECT_EQ(read(kBase).options.defaultPattern, kNone);
}

TEST(InputReader, PatternFactorFollowsPatternStepAndStart) {
    Model m = read(kBase + "[TIMES]\nPattern Timestep 2:00\nPattern Start 2:00\n");
    // P1 = 1, 1.5, 0.5; start 2 h shifts by one period of 2 h.
    EXPECT_DOUBLE_EQ(m.patternFactor(0, 0), 1.5);
    EXPECT_DOUBLE_EQ(m.patternFactor(0, 7199), 1.5);
    EXPECT_DOUBLE_EQ(m.patternFactor(0, 7200), 0.5);
    EXPECT_DOUBLE_EQ(m.patternFactor(0, 2 * 7200), 1.0);  // wraps round
    EXPECT_DOUBLE_EQ(m.patternFactor(kNone, 100), 1.0);
}

TEST(InputReader, TanksReservoirsPumpsAndValves) {
    const Model m = read(
        "[JUNCTIONS]\nJ1 10\nJ2 10\nJ3 10\n[RESERVOIRS]\nR1 100 PH\n[TANKS]\nT1 50 5 1 20 40 100 VC YES\n"
        "T2 60 3 0 9 30 0 *\n[PIPES]\nL1 R1 J1 100 6 100\nL2 T1 J1 100 6 100 0 CLOSED\nL3 T2 J3 100 6 100\n"
        "[PUMPS]\nU1 J1 J2 HEAD PC SPEED 0.9\nU2 J2 J3 POWER 10\n[VALVES]\nV1 J3 J2 8 GPV HL 0.2\n"
        "[PATTERNS]\nPH 1\n[CURVES]\nPC 448.831 100\nVC 0 0\nVC 30 1000\nHL 0 0\nHL 448.831 10\n"
        "[STATUS]\nU2 CLOSED\nV1 OPEN\n");
    const Node& r1 = m.nodes[3];
    EXPECT_EQ(r1.type, NodeType::Reservoir);
    EXPECT_EQ(r1.headPattern, 0);
    const Node& t1 = m.nodes[4];
    EXPECT_EQ(t1.initLevel, 5.0);
    EXPECT_EQ(t1.minLevel, 1.0);
    EXPECT_EQ(t1.maxLevel, 20.0);
    EXPECT_EQ(t1.diameter, 40.0);
    EXPECT_EQ(t1.minVolume, 100.0);
    EXPECT_EQ(t1.volumeCurve, m.findCurve("VC"));
    EXPECT_TRUE(t1.canOverflow);
    EXPECT_EQ(m.nodes[5].volumeCurve, kNone);
    EXPECT_FALSE(m.nodes[5].canOverflow);
    EXPECT_EQ(m.links[1].initStatus, LinkStatus::Closed);
    const Link& u1 = m.links[3];
    EXPECT_EQ(u1.pumpType, PumpType::PowerFunction);  // a single design point
    EXPECT_DOUBLE_EQ(u1.setting, 0.9);
    const Curve& pc = m.curves[static_cast<size_t>(u1.headCurve)];
    EXPECT_EQ(pc.type, CurveType::Pump);
    EXPECT_NEAR(pc.x[0], 1.0, 1e-12);  // 448.831 gpm
    const Link& u2 = m.links[4];
    EXPECT_EQ(u2.pumpType, PumpType::ConstantPower);
    EXPECT_DOUBLE_EQ(u2.power, 10.0);
    EXPECT_EQ(u2.initStatus, LinkStatus::Closed);
    const Link& v1 = m.links[5];
    EXPECT_EQ(v1.type, LinkType::GPV);
    EXPECT_EQ(v1.initStatus, LinkStatus::Open);
    EXPECT_EQ(m.curves[static_cast<size_t>(v1.valveCurve)].type, CurveType::Headloss);
    EXPECT_NEAR(m.curves[static_cast<size_t>(v1.valveCurve)].x[1], 1.0, 1e-12);
    EXPECT_EQ(m.curves[static_cast<size_t>(t1.volumeCurve)].type, CurveType::Volume);
    // Volume by the curve: half-way between 0 and 30 ft holds 500 ft3.
    EXPECT_NEAR(m.tankVolume(4, 15.0), 500.0, 1e-9);
    EXPECT_NEAR(m.tankLevel(4, 500.0), 15.0, 1e-9);
    // A cylinder of 30 ft above its minimum volume at level 0.
    const double area = 3.14159265358979 * 30.0 * 30.0 / 4.0;
    EXPECT_NEAR(m.tankVolume(5, 3.0), 3.0 * area, 1e-6);
}

TEST(InputReader, PumpCurvesAreClassifiedByTheirPoints) {
    const std::string net = "[JUNCTIONS]\nJ1 10\n[RESERVOIRS]\nR1 100\n[PUMPS]\nU1 R1 J1 HEAD C\n[CURVES]\n";
    EXPECT_EQ(read(net + "C 0 100\nC 10 80\nC 20 40\n").links[0].pumpType, PumpType::PowerFunction);
    EXPECT_EQ(read(net + "C 5 100\nC 10 80\nC 20 40\n").links[0].pumpType, PumpType::Custom);
    EXPECT_EQ(read(net + "C 0 100\nC 10 80\nC 20 40\nC 30 10\n").links[0].pumpType, PumpType::Custom);
}

TEST(InputReader, SimpleControlsOfEveryKind) {
    const Model m =
        read(kBase +
             "[TANKS]\nT1 50 5 0 20 40 0\n[PIPES]\nL3 T1 J2 100 6 100\n[PUMPS]\nU1 J1 J2 POWER 5\n"
             "[VALVES]\nV1 J2 J1 6 PRV 10\n[CONTROLS]\n"
             "LINK L1 CLOSED IF NODE T1 ABOVE 15\n"
             "LINK U1 0.8 IF NODE J1 BELOW 43.33\n"
             "LINK V1 4.333 AT TIME 2:30\n"
             "LINK L1 OPEN AT CLOCKTIME 3 PM\n"
             "Link L1 Open At Time 5\n");
    ASSERT_EQ(m.controls.size(), 5u);
    const Control& c0 = m.controls[0];
    EXPECT_EQ(c0.type, ControlType::HiLevel);
    EXPECT_TRUE(c0.setsStatus);
    EXPECT_EQ(c0.status, LinkStatus::Closed);
    EXPECT_EQ(c0.node, m.findNode("T1"));
    EXPECT_DOUBLE_EQ(c0.grade, 65.0);  // tank elevation 50 + level 15
    const Control& c1 = m.controls[1];
    EXPECT_EQ(c1.type, ControlType::LowLevel);
    EXPECT_FALSE(c1.setsStatus);
    EXPECT_DOUBLE_EQ(c1.setting, 0.8);
    EXPECT_NEAR(c1.grade, 200.0, 1e-9);  // elevation 100 + 43.33 psi = 100 ft
    const Control& c2 = m.controls[2];
    EXPECT_EQ(c2.type, ControlType::Timer);
    EXPECT_EQ(c2.time, 9000);
    EXPECT_NEAR(c2.setting, 10.0, 1e-9);  // 4.333 psi
    EXPECT_EQ(m.controls[3].type, ControlType::TimeOfDay);
    EXPECT_EQ(m.controls[3].time, 15 * 3600);
    EXPECT_EQ(m.controls[4].time, 5 * 3600);
}

TEST(InputReader, RulesWithAllClauses) {
    const Model m =
        read(kBase +
             "[TANKS]\nT1 50 5 0 20 40 0\n[PIPES]\nL3 T1 J2 100 6 100\n[PUMPS]\nU1 J1 J2 POWER 5\n"
             "[RULES]\n"
             "RULE R-1\n"
             "IF TANK T1 LEVEL < 5\n"
             "AND SYSTEM CLOCKTIME >= 8 PM\n"
             "OR JUNCTION J1 PRESSURE ABOVE 43.33\n"
             "AND LINK L1 STATUS IS OPEN\n"
             "THEN PUMP U1 STATUS IS OPEN\n"
             "AND PIPE L3 STATUS IS CLOSED\n"
             "ELSE PUMP U1 SETTING IS 0.5\n"
             "PRIORITY 3\n"
             "\n"
             "RULE 2\nIF SYSTEM TIME > 3:00\nAND LINK L1 FLOW >= 448.831\nTHEN LINK L1 STATUS = CLOSED\n");
    ASSERT_EQ(m.rules.size(), 2u);
    const Rule& r = m.rules[0];
    EXPECT_EQ(r.label, "R-1");
    ASSERT_EQ(r.premises.size(), 4u);
    EXPECT_EQ(r.premises[0].logic, RuleLogic::If);
    EXPECT_EQ(r.premises[0].object, RuleObject::Node);
    EXPECT_EQ(r.premises[0].variable, RuleVariable::Level);
    EXPECT_EQ(r.premises[0].op, RuleOperator::LT);
    EXPECT_DOUBLE_EQ(r.premises[0].value, 5.0);
    EXPECT_EQ(r.premises[1].logic, RuleLogic::And);
    EXPECT_EQ(r.premises[1].object, RuleObject::System);
    EXPECT_EQ(r.premises[1].variable, RuleVariable::ClockTime);
    EXPECT_DOUBLE_EQ(r.premises[1].value, 20.0 * 3600);
    EXPECT_EQ(r.premises[2].logic, RuleLogic::Or);
    EXPECT_EQ(r.premises[2].op, RuleOperator::ABOVE);
    EXPECT_NEAR(r.premises[2].value, 100.0, 1e-9);
    EXPECT_TRUE(r.premises[3].comparesStatus);
    EXPECT_EQ(r.premises[3].status, LinkStatus::Open);
    ASSERT_EQ(r.thenActions.size(), 2u);
    EXPECT_EQ(r.thenActions[1].link, m.findLink("L3"));
    EXPECT_EQ(r.thenActions[1].status, LinkStatus::Closed);
    ASSERT_EQ(r.elseActions.size(), 1u);
    EXPECT_FALSE(r.elseActions[0].setsStatus);
    EXPECT_DOUBLE_EQ(r.elseActions[0].setting, 0.5);
    EXPECT_DOUBLE_EQ(r.priority, 3.0);
    EXPECT_DOUBLE_EQ(m.rules[1].premises[0].value, 3.0 * 3600);
    EXPECT_NEAR(m.rules[1].premises[1].value, 1.0, 1e-12);
}

TEST(InputReader, IdsOfThirtyOneCharactersAndUnusualFirstCharacters) {
    const std::string id31(31, 'x');
    const Model m = read("[JUNCTIONS]\n" + id31 +
                         " 10\n~J1 10\n@J2 10\n\"J 3\" 10\n[RESERVOIRS]\n#R 100\n"
                         "[PIPES]\n~P #R " +
                         id31 +
                         " 1 1 1\n"
                         "~P2 ~J1 @J2 1 1 1\n~P3 \"J 3\" " +
                         id31 +
                         " 1 1 1\n"
                         "~P4 #R ~J1 1 1 1\n");
    EXPECT_EQ(m.findNode(id31), 0);
    EXPECT_EQ(m.findNode("~J1"), 1);
    EXPECT_EQ(m.findNode("@J2"), 2);
    EXPECT_EQ(m.findNode("J 3"), 3);
    EXPECT_EQ(m.links[1].node1, 1);
    EXPECT_EQ(m.links[2].node2, 0);
}

TEST(InputReader, IdsAreCaseSensitiveKeywordsAreNot) {
    const Model m = read(
        "[junctions]\nj1 10\nJ1 10\n[Reservoirs]\nR 100\n[pipes]\nP R j1 1 1 1 0 open\n"
        "P2 j1 J1 1 1 1 0 Cv\n[options]\nunits lps\n");
    EXPECT_EQ(m.nodes.size(), 3u);
    EXPECT_EQ(m.links[1].type, LinkType::CVPipe);
    EXPECT_EQ(m.options.flowUnits, FlowUnits::LPS);
}

TEST(InputReader, CommentsBlankLinesAndWindowsLineEnds) {
    const Model m = read(
        "; heading comment\r\n[TITLE]\r\nA title line\r\n\r\n[JUNCTIONS]\r\n;ID Elev\r\n"
        "J1\t10\t; trailing\r\n[RESERVOIRS]\r\nR 100\r\n[PIPES]\r\nP R J1 1 1 1\r\n[END]\r\n"
        "anything after END is ignored\r\n");
    ASSERT_EQ(m.title.size(), 1u);
    EXPECT_EQ(m.title[0], "A title line");
    EXPECT_EQ(m.nodes[0].elevation, 10.0);
}

TEST(InputReader, KeptSectionsAreStoredVerbatim) {
    const Model m = read(kBase +
                         "[COORDINATES]\n;Node X Y\nJ1 1.5 2.5\n[REPORT]\nStatus Yes\n[COORDINATES]\nJ2 3 4\n"
                         "[TAGS]\nNODE J1 tag\n");
    ASSERT_EQ(m.kept.size(), 3u);
    EXPECT_EQ(m.kept[0].name, "COORDINATES");
    ASSERT_EQ(m.kept[0].lines.size(), 3u);
    EXPECT_EQ(m.kept[0].lines[0], ";Node X Y");
    EXPECT_EQ(m.kept[0].lines[2], "J2 3 4");
    EXPECT_EQ(m.kept[1].name, "REPORT");
    EXPECT_EQ(m.kept[2].name, "TAGS");
}

constexpr const char* kId32 = "abcdefghijklmnopqrstuvwxyz012345";  // 32 characters

struct ErrorCase {
    const char* name;
    std::string text;  // a whole input file
    int code;
    const char* named;  // the token the message names
    const char* line;   // the offending line
};

class InputErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(InputErrorTest, ReportsEpanetsCodeAndTheOffendingLine) {
    const ErrorCase& c = GetParam();
    const ReadResult r = readFailing(c.text);
    EXPECT_EQ(r.code, 200) << c.name;
    ASSERT_FALSE(r.errors.empty()) << c.name;
    EXPECT_EQ(r.errors[0].code, c.code) << c.name << ": " << r.errors[0].message;
    const std::string prefix = "Error " + std::to_string(c.code) + ": ";
    EXPECT_EQ(r.errors[0].message.rfind(prefix, 0), 0u) << r.errors[0].message;
    EXPECT_NE(r.errors[0].message.find(c.named), std::string::npos) << r.errors[0].message;
    EXPECT_NE(r.errors[0].message.find(c.line), std::string::npos) << r.errors[0].message;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, InputErrorTest,
    ::testing::Values(
        ErrorCase{"syntax", kBase + "[PIPES]\nL9 J1 J2\n", 201, "[PIPES]", "L9 J1 J2"},
        ErrorCase{"number", kBase + "[JUNCTIONS]\nJ3 1O0\n", 202, "1O0", "J3 1O0"},
        ErrorCase{"not a number: nan", kBase + "[JUNCTIONS]\nJ3 nan\n", 202, "nan", "J3 nan"},
        ErrorCase{"not a number: inf", kBase + "[RESERVOIRS]\nR2 inf\n", 202, "inf", "R2 inf"},
        ErrorCase{"not a number: hex", kBase + "[JUNCTIONS]\nJ3 0x10\n", 202, "0x10", "J3 0x10"},
        ErrorCase{"negative length", kBase + "[PIPES]\nL9 J1 J2 -5 6 100\n", 202, "-5", "L9 J1 J2 -5"},
        ErrorCase{"node", kBase + "[PIPES]\nL9 J1 J9 1 1 1\n", 203, "J9", "L9 J1 J9"},
        ErrorCase{"link", kBase + "[STATUS]\nL9 CLOSED\n", 204, "L9", "L9 CLOSED"},
        ErrorCase{"pattern", kBase + "[JUNCTIONS]\nJ3 1 1 NOPAT\n", 205, "NOPAT", "J3 1 1 NOPAT"},
        ErrorCase{"curve", kBase + "[PUMPS]\nU1 J1 J2 HEAD NOC\n", 206, "NOC", "U1 J1 J2 HEAD NOC"},
        ErrorCase{"check valve", kBase + "[STATUS]\nL2 CLOSED\n", 207, "[STATUS]", "L2 CLOSED"},
        ErrorCase{"option value", kBase + "[OPTIONS]\nUNITS XYZ\n", 213, "XYZ", "UNITS XYZ"},
        ErrorCase{"time value", kBase + "[TIMES]\nDURATION soon\n", 213, "soon", "DURATION soon"},
        ErrorCase{"valve type", kBase + "[VALVES]\nV1 J1 J2 6 XYZ 1\n", 213, "XYZ", "V1 J1 J2 6 XYZ 1"},
        ErrorCase{"long line", kBase + "[JUNCTIONS]\nJ3 1 " + std::string(1100, '1') + "\n", 214,
                  "[JUNCTIONS]", "J3 1 111"},
        ErrorCase{"duplicate", kBase + "[RESERVOIRS]\nJ1 5\n", 215, "J1", "J1 5"},
        ErrorCase{"duplicate link", kBase + "[PUMPS]\nL1 J1 J2 POWER 1\n", 215, "L1", "L1 J1 J2 POWER 1"},
        ErrorCase{"valve at tank", kBase + "[VALVES]\nV1 R1 J2 6 PRV 10\n", 219, "R1", "V1 R1 J2 6 PRV 10"},
        ErrorCase{"valves sharing downstream node",
                  kBase + "[VALVES]\nV1 J1 J2 6 PRV 10\nV2 R1 J2 6 PBV 1\n"
                          "V3 J1 J2 6 PRV 5\n",
                  220, "[VALVES]", "V3 J1 J2 6 PRV 5"},
        ErrorCase{
            "FCV below a PRV",
            kBase + "[VALVES]\nV1 R1 J1 6 PBV 1\nV2 J1 J2 6 PRV 10\nV3 J2 J1 6 TCV 1\nV4 J2 J1 6 FCV 5\n",
            220, "[VALVES]", "V4 J2 J1 6 FCV 5"},
        ErrorCase{"misplaced clause", kBase + "[RULES]\nRULE 1\nTHEN LINK L1 STATUS IS OPEN\n", 221,
                  "[RULES]", "THEN LINK L1"},
        ErrorCase{"same nodes", kBase + "[PIPES]\nL9 J1 J1 1 1 1\n", 222, "L9", "L9 J1 J1"},
        ErrorCase{"id too long", kBase + "[JUNCTIONS]\n" + kId32 + " 1\n", 252, kId32, kId32},
        ErrorCase{"section", kBase + "[XYZZY]\nsomething\n", 299, "[XYZZY]", "[XYZZY]"},
        ErrorCase{"control of undefined node", kBase + "[CONTROLS]\nLINK L1 OPEN IF NODE Q BELOW 1\n", 203,
                  "Q", "LINK L1 OPEN IF NODE Q BELOW 1"},
        ErrorCase{"rule of undefined link", kBase + "[RULES]\nRULE 1\nIF LINK Q STATUS IS OPEN\n", 204, "Q",
                  "IF LINK Q STATUS"},
        // Nodes and links are known from the line that defines them on (EPANET 2.3.5).
        ErrorCase{"link before its nodes", "[PIPES]\nL1 R1 J1 1 1 1\n" + kBase, 203, "R1", "L1 R1 J1"},
        ErrorCase{"status before its link", "[STATUS]\nL1 CLOSED\n" + kBase, 204, "L1", "L1 CLOSED"},
        ErrorCase{"control before its link", "[CONTROLS]\nLINK L1 CLOSED AT TIME 1\n" + kBase, 204, "L1",
                  "LINK L1 CLOSED"},
        ErrorCase{"quality before its node", "[QUALITY]\nJ1 1\n" + kBase, 203, "J1", "J1 1"},
        ErrorCase{"source of no node", kBase + "[SOURCES]\nJ9 CONCEN 1\n", 203, "J9", "J9 CONCEN 1"},
        ErrorCase{"tag of no link", kBase + "[TAGS]\nLINK L9 x\n", 203, "LINK", "LINK L9 x"},
        ErrorCase{"report keyword", kBase + "[REPORT]\nFRICTION YES\n", 201, "[REPORT]", "FRICTION YES"},
        ErrorCase{"report of no node", kBase + "[REPORT]\nNODES J1 J9\n", 203, "J9", "NODES J1 J9"},
        ErrorCase{"report limit", kBase + "[REPORT]\nPRESSURE BELOW low\n", 202, "low", "PRESSURE BELOW low"},
        ErrorCase{"energy without value", kBase + "[ENERGY]\nGLOBAL EFFIC\n", 201, "[ENERGY]",
                  "GLOBAL EFFIC"},
        ErrorCase{"energy keyword", kBase + "[ENERGY]\nCOST 1 2\n", 213, "COST", "COST 1 2"},
        ErrorCase{"pattern without factors", kBase + "[PATTERNS]\nP2\n", 201, "[PATTERNS]", "P2"},
        ErrorCase{"quality value", kBase + "[QUALITY]\nJ1 1 OPEN\n", 202, "OPEN", "J1 1 OPEN"},
        ErrorCase{"source type", kBase + "[SOURCES]\nJ1 DOSE 1\n", 213, "DOSE", "J1 DOSE 1"},
        ErrorCase{"reaction keyword", kBase + "[REACTIONS]\nGLOBAL TANK 1\n", 213, "TANK", "GLOBAL TANK 1"},
        ErrorCase{"reaction coefficient", kBase + "[REACTIONS]\nBULK L1 fast\n", 202, "fast", "BULK L1 fast"},
        ErrorCase{"report page", kBase + "[REPORT]\nPAGE 0 OPEN\n", 202, "OPEN", "PAGE 0 OPEN"},
        // Where a line has more words than it needs, the reference engine reads the last ones.
        ErrorCase{"status word last", kBase + "[STATUS]\nL1 CLOSED extra\n", 202, "extra", "L1 CLOSED extra"},
        ErrorCase{"time unit last", kBase + "[TIMES]\nDURATION 5 HOURS x\n", 213, "HOURS",
                  "DURATION 5 HOURS x"},
        ErrorCase{"rule label of two words", kBase + "[RULES]\nRULE R 1\nIF SYSTEM TIME > 1\n", 201,
                  "[RULES]", "RULE R 1"},
        ErrorCase{"rule action with more words",
                  kBase + "[RULES]\nRULE R\nIF SYSTEM TIME > 1\nTHEN LINK L1 STATUS IS OPEN x\n", 201,
                  "[RULES]", "THEN LINK L1 STATUS IS OPEN x"},
        ErrorCase{"node premise with more words", kBase + "[RULES]\nRULE R\nIF NODE J1 PRESSURE > 1 x\n", 201,
                  "[RULES]", "IF NODE J1 PRESSURE > 1 x"},
        // POWER is refused on every object, fill and drain times on a junction.
        ErrorCase{"pump power premise", kBase + "[RULES]\nRULE R\nIF LINK L1 POWER > 1\n", 201, "POWER",
                  "IF LINK L1 POWER > 1"},
        ErrorCase{"junction fill time", kBase + "[RULES]\nRULE R\nIF NODE J1 FILLTIME > 1\n", 201, "FILLTIME",
                  "IF NODE J1 FILLTIME > 1"},
        ErrorCase{"negative quality", kBase + "[QUALITY]\nJ1 -1\n", 209, "-1", "J1 -1"},
        ErrorCase{"reservoir with more words", kBase + "[RESERVOIRS]\nR2 1 P1 x\n", 201, "[RESERVOIRS]",
                  "R2 1 P1 x"},
        ErrorCase{"report page size", kBase + "[REPORT]\nPAGE 256\n", 213, "256", "PAGE 256"},
        ErrorCase{"trace node", kBase + "[OPTIONS]\nQUALITY TRACE J9\n", 212, "J9", "QUALITY TRACE J9"},
        ErrorCase{"diffusivity", kBase + "[OPTIONS]\nDIFFUSIVITY high\n", 202, "high", "DIFFUSIVITY high"},
        ErrorCase{"tag without its text", kBase + "[TAGS]\nNODE J1\n", 201, "[TAGS]", "NODE J1"},
        ErrorCase{"source pattern", kBase + "[SOURCES]\nJ1 1 NOPAT\n", 205, "NOPAT", "J1 1 NOPAT"},
        ErrorCase{"negative emitter", kBase + "[EMITTERS]\nJ1 -1\n", 209, "-1", "J1 -1"},
        ErrorCase{"ACTIVE is no status word", kBase + "[STATUS]\nL1 ACTIVE\n", 202, "ACTIVE", "L1 ACTIVE"},
        ErrorCase{"GPV setting",
                  kBase + "[VALVES]\nV1 J1 J2 6 GPV C\n[CURVES]\nC 0 0\nC 1 1\n[STATUS]\nV1 0.5\n", 207,
                  "[STATUS]", "V1 0.5"},
        ErrorCase{"negative pump speed", kBase + "[PUMPS]\nU J1 J2 POWER 1\n[STATUS]\nU -1\n", 211, "-1",
                  "U -1"},
        ErrorCase{"overflow word", kBase + "[TANKS]\nT 1 1 0 2 3 0 * maybe\n", 213, "maybe", "T 1 1 0 2 3 0"},
        ErrorCase{"no trials", kBase + "[OPTIONS]\nTRIALS 0\n", 213, "0", "TRIALS 0"},
        ErrorCase{"PDA limits", kBase + "[OPTIONS]\nMINIMUM PRESSURE 10\nREQUIRED PRESSURE 5\n", 208, "208",
                  ""}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) {
        std::string s = info.param.name;
        for (char& ch : s) {
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        }
        return s;
    });

TEST(InputReader, EnergySectionIsReadAndKept) {
    const Model m = read(kBase +
                         "[PUMPS]\nU J1 J2 POWER 3\n[CURVES]\nE 1 60\n[ENERGY]\nGlobal Efficiency 65\n"
                         "Global Price 0.2\nGlobal Pattern P1\nDemand Charge 5\nPump U Efficiency E\n"
                         "Pump U Price 0.3\nPump U Pattern P1\n");
    EXPECT_DOUBLE_EQ(m.options.globalEfficiency, 65.0);
    EXPECT_DOUBLE_EQ(m.options.globalPrice, 0.2);
    EXPECT_EQ(m.options.globalPricePattern, 0);
    EXPECT_DOUBLE_EQ(m.options.demandCharge, 5.0);
    EXPECT_EQ(m.links[2].efficiencyCurve, m.findCurve("E"));
    EXPECT_DOUBLE_EQ(m.links[2].energyPrice, 0.3);
    EXPECT_EQ(m.links[2].energyPattern, 0);
    ASSERT_EQ(m.kept.size(), 1u);
    EXPECT_EQ(m.kept[0].lines.size(), 7u);
    EXPECT_EQ(readFailing(kBase + "[ENERGY]\nPump L1 Efficiency E\n").errors[0].code, 216);
}

TEST(InputReader, WhatEpanetAcceptsQuietly) {
    // A number as a pipe's status, a lone option keyword, a pipe made ACTIVE by
    // a rule, demands and emitters at a reservoir: accepted and without effect.
    const Model m = read(kBase +
                         "[STATUS]\nL1 0.5\n[OPTIONS]\nFOO\nUNITS\n[RULES]\nRULE 1\nIF LINK L1 FLOW > 5\n"
                         "THEN LINK L1 STATUS IS ACTIVE\n[DEMANDS]\nR1 5\n[EMITTERS]\nR1 1\n");
    EXPECT_EQ(m.links[0].initStatus, LinkStatus::Open);
    EXPECT_EQ(m.options.flowUnits, FlowUnits::GPM);
    EXPECT_EQ(m.rules[0].thenActions[0].status, LinkStatus::Active);
    EXPECT_TRUE(m.nodes[2].demands.empty());
    EXPECT_EQ(m.nodes[2].emitterCoeff, 0.0);
}

TEST(InputReader, AValveIsNotComparedWithTheLinkReadJustBeforeIt) {
    // EPANET 2.3.5 opens PRVs in series and a PSV behind a PRV when each follows the other
    // directly, but refuses the same PRVs (220) with a valve, a pipe or a pump read between them.
    const std::string extra = "[JUNCTIONS]\nJ3 0 0\nJ4 0 0\n[PIPES]\nL3 J4 J2 100 8 100\n[VALVES]\n";
    const Model m = read(kBase + extra + "V1 J1 J3 6 PRV 10\nV2 J3 J4 6 PRV 5\nV3 J4 J2 6 PSV 5\n");
    EXPECT_EQ(m.links.size(), 6u);
    for (const std::string between : {"V2 J4 J2 6 TCV 8\n", "[PIPES]\nL4 J4 J2 100 8 100\n[VALVES]\n",
                                      "[PUMPS]\nU1 J4 J2 POWER 1\n[VALVES]\n"}) {
        const ReadResult r =
            readFailing(kBase + extra + "V1 J1 J3 6 PRV 10\n" + between + "V3 J3 J4 6 PRV 5\n");
        ASSERT_EQ(r.errors.size(), 1u) << between;
        EXPECT_EQ(r.errors[0].code, 220) << between;
        EXPECT_NE(r.errors[0].message.find("V3 J3 J4 6 PRV 5"), std::string::npos) << r.errors[0].message;
    }
}

TEST(InputReader, EveryBadLineIsReportedInFileOrder) {
    const ReadResult r =
        readFailing(kBase + "[JUNCTIONS]\nJ3 abc\n[PIPES]\nL9 J1 J9 1 1 1\nL1 J1 J2 1 1 1\n");
    ASSERT_EQ(r.errors.size(), 3u);
    EXPECT_EQ(r.errors[0].code, 202);
    EXPECT_EQ(r.errors[1].code, 203);
    EXPECT_EQ(r.errors[2].code, 215);
    EXPECT_LT(r.errors[0].line, r.errors[1].line);
    EXPECT_LT(r.errors[1].line, r.errors[2].line);
}

TEST(InputReader, MissingFileIs302) {
    Model m;
    EXPECT_EQ(readInputFile("/nonexistent/dir/none.inp", m).code, 302);
}

TEST(InputReader, ReadsEverySharedNetwork) {
    struct Expect {
        const char* file;
        size_t nodes, links;
        int tanks;
        FlowUnits units;
    };
    const Expect cases[] = {
        {"Net1.inp", 11, 13, 2, FlowUnits::GPM},  {"Net2.inp", 36, 40, 1, FlowUnits::GPM},
        {"Net3.inp", 97, 119, 5, FlowUnits::GPM}, {"ky4.inp", 964, 1158, 5, FlowUnits::GPM},
        {"TLN.inp", 7, 8, 1, FlowUnits::CMH},     {"HAN.inp", 32, 34, 1, FlowUnits::CMH},
    };
    for (const Expect& e : cases) {
        Model m;
        const ReadResult r = readInputFile(std::string(KELVARN_NETWORKS_DIR) + "/" + e.file, m);
        ASSERT_EQ(r.code, 0) << e.file << (r.errors.empty() ? "" : r.errors[0].message);
        EXPECT_EQ(m.nodes.size(), e.nodes) << e.file;
        EXPECT_EQ(m.links.size(), e.links) << e.file;
        EXPECT_EQ(m.tankCount, e.tanks) << e.file;
        EXPECT_EQ(m.options.flowUnits, e.units) << e.file;
    }
}

}  // namespace
}  // namespace kvepa2
