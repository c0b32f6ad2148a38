// The input-file writer: read -> write -> read gives the same model, also
// after changes, and a written file is whole or absent.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "input/input_reader.h"
#include "output/input_writer.h"

namespace kvepa2 {
namespace {

bool near(double a, double b) {
    return std::fabs(a - b) <= 1e-12 * std::max({1.0, std::fabs(a), std::fabs(b)});
}

#define EXPECT_NEAR_REL(a, b, what) EXPECT_TRUE(near((a), (b))) << what << ": " << (a) << " vs " << (b)

void expectSameModel(const Model& a, const Model& b) {
    ASSERT_EQ(a.nodes.size(), b.nodes.size());
    ASSERT_EQ(a.links.size(), b.links.size());
    ASSERT_EQ(a.patterns.size(), b.patterns.size());
    ASSERT_EQ(a.curves.size(), b.curves.size());
    ASSERT_EQ(a.controls.size(), b.controls.size());
    ASSERT_EQ(a.rules.size(), b.rules.size());
    EXPECT_EQ(a.junctionCount, b.junctionCount);
    EXPECT_EQ(a.tankCount, b.tankCount);
    EXPECT_EQ(a.title, b.title);
    for (size_t i = 0; i < a.nodes.size(); ++i) {
        const Node &x = a.nodes[i], &y = b.nodes[i];
        const std::string w = "node " + x.id;
        EXPECT_EQ(x.id, y.id);
        EXPECT_EQ(x.type, y.type) << w;
        EXPECT_NEAR_REL(x.elevation, y.elevation, w);
        ASSERT_EQ(x.demands.size(), y.demands.size()) << w;
        for (size_t d = 0; d < x.demands.size(); ++d) {
            EXPECT_NEAR_REL(x.demands[d].base, y.demands[d].base, w);
            EXPECT_EQ(x.demands[d].pattern, y.demands[d].pattern) << w;
            EXPECT_EQ(x.demands[d].category, y.demands[d].category) << w;
        }
        EXPECT_NEAR_REL(x.emitterCoeff, y.emitterCoeff, w);
        EXPECT_EQ(x.headPattern, y.headPattern) << w;
        EXPECT_NEAR_REL(x.initLevel, y.initLevel, w);
        EXPECT_NEAR_REL(x.minLevel, y.minLevel, w);
        EXPECT_NEAR_REL(x.maxLevel, y.maxLevel, w);
        EXPECT_NEAR_REL(x.diameter, y.diameter, w);
        EXPECT_NEAR_REL(x.minVolume, y.minVolume, w);
        EXPECT_EQ(x.volumeCurve, y.volumeCurve) << w;
        EXPECT_EQ(x.canOverflow, y.canOverflow) << w;
    }
    for (size_t i = 0; i < a.links.size(); ++i) {
        const Link &x = a.links[i], &y = b.links[i];
        const std::string w = "link " + x.id;
        EXPECT_EQ(x.id, y.id);
        EXPECT_EQ(x.type, y.type) << w;
        EXPECT_EQ(x.node1, y.node1) << w;
        EXPECT_EQ(x.node2, y.node2) << w;
        EXPECT_NEAR_REL(x.length, y.length, w);
        EXPECT_NEAR_REL(x.diameter, y.diameter, w);
        EXPECT_NEAR_REL(x.roughness, y.roughness, w);
        EXPECT_NEAR_REL(x.minorLoss, y.minorLoss, w);
        EXPECT_EQ(x.minorLossGiven, y.minorLossGiven) << w;
        EXPECT_EQ(x.initStatus, y.initStatus) << w;
        EXPECT_NEAR_REL(x.setting, y.setting, w);
        EXPECT_EQ(x.pumpType, y.pumpType) << w;
        EXPECT_EQ(x.headCurve, y.headCurve) << w;
        EXPECT_NEAR_REL(x.power, y.power, w);
        EXPECT_EQ(x.speedPattern, y.speedPattern) << w;
        EXPECT_EQ(x.valveCurve, y.valveCurve) << w;
    }
    for (size_t i = 0; i < a.patterns.size(); ++i) {
        EXPECT_EQ(a.patterns[i].id, b.patterns[i].id);
        EXPECT_EQ(a.patterns[i].factors, b.patterns[i].factors) << a.patterns[i].id;
    }
    for (size_t i = 0; i < a.curves.size(); ++i) {
        const Curve &x = a.curves[i], &y = b.curves[i];
        EXPECT_EQ(x.id, y.id);
        EXPECT_EQ(x.type, y.type) << x.id;
        ASSERT_EQ(x.x.size(), y.x.size()) << x.id;
        for (size_t k = 0; k < x.x.size(); ++k) {
            EXPECT_NEAR_REL(x.x[k], y.x[k], "curve " + x.id);
            EXPECT_NEAR_REL(x.y[k], y.y[k], "curve " + x.id);
        }
    }
    for (size_t i = 0; i < a.controls.size(); ++i) {
        const Control &x = a.controls[i], &y = b.controls[i];
        EXPECT_EQ(x.type, y.type);
        EXPECT_EQ(x.link, y.link);
        EXPECT_EQ(x.setsStatus, y.setsStatus);
        EXPECT_EQ(x.status, y.status);
        EXPECT_NEAR_REL(x.setting, y.setting, "control setting");
        EXPECT_EQ(x.node, y.node);
        EXPECT_NEAR_REL(x.grade, y.grade, "control grade");
        EXPECT_EQ(x.time, y.time);
    }
    for (size_t i = 0; i < a.rules.size(); ++i) {
        EXPECT_EQ(a.rules[i].label, b.rules[i].label);
        EXPECT_EQ(a.rules[i].premises.size(), b.rules[i].premises.size());
        EXPECT_EQ(a.rules[i].thenActions.size(), b.rules[i].thenActions.size());
        EXPECT_EQ(a.rules[i].elseActions.size(), b.rules[i].elseActions.size());
        EXPECT_EQ(a.rules[i].priority, b.rules[i].priority);
    }
    const Options &o = a.options, &p = b.options;
    EXPECT_EQ(o.flowUnits, p.flowUnits);
    EXPECT_EQ(o.pressureUnits, p.pressureUnits);
    EXPECT_EQ(o.headloss, p.headloss);
    EXPECT_NEAR_REL(o.accuracy, p.accuracy, "accuracy");
    EXPECT_EQ(o.trials, p.trials);
    EXPECT_EQ(o.extraTrials, p.extraTrials);
    EXPECT_NEAR_REL(o.demandMultiplier, p.demandMultiplier, "multiplier");
    EXPECT_EQ(o.defaultPattern, p.defaultPattern);
    EXPECT_NEAR_REL(o.viscosity, p.viscosity, "viscosity");
    EXPECT_NEAR_REL(o.specificGravity, p.specificGravity, "gravity");
    EXPECT_NEAR_REL(o.emitterExponent, p.emitterExponent, "emitter exponent");
    EXPECT_EQ(o.emitterBackflow, p.emitterBackflow);
    EXPECT_EQ(o.demandModel, p.demandModel);
    EXPECT_NEAR_REL(o.minimumPressure, p.minimumPressure, "pmin");
    EXPECT_NEAR_REL(o.requiredPressure, p.requiredPressure, "preq");
    EXPECT_NEAR_REL(o.pressureExponent, p.pressureExponent, "pexp");
    EXPECT_EQ(o.checkFrequency, p.checkFrequency);
    EXPECT_EQ(o.maxCheck, p.maxCheck);
    EXPECT_NEAR_REL(o.dampLimit, p.dampLimit, "damp");
    EXPECT_NEAR_REL(o.headError, p.headError, "headerror");
    EXPECT_NEAR_REL(o.flowChange, p.flowChange, "flowchange");
    EXPECT_EQ(o.keptLines, p.keptLines);
    const Times &t = a.times, &u = b.times;
    EXPECT_EQ(t.duration, u.duration);
    EXPECT_EQ(t.hydraulicStep, u.hydraulicStep);
    EXPECT_EQ(t.qualityStep, u.qualityStep);
    EXPECT_EQ(t.patternStep, u.patternStep);
    EXPECT_EQ(t.patternStart, u.patternStart);
    EXPECT_EQ(t.reportStep, u.reportStep);
    EXPECT_EQ(t.reportStart, u.reportStart);
    EXPECT_EQ(t.ruleStep, u.ruleStep);
    EXPECT_EQ(t.startClockTime, u.startClockTime);
    EXPECT_EQ(t.statistic, u.statistic);
    ASSERT_EQ(a.kept.size(), b.kept.size());
    for (size_t i = 0; i < a.kept.size(); ++i) {
        EXPECT_EQ(a.kept[i].name, b.kept[i].name);
        EXPECT_EQ(a.kept[i].lines, b.kept[i].lines) << a.kept[i].name;
    }
}

Model reread(const Model& m) {
    Model back;
    const ReadResult r = readInputText(formatInputText(m), back);
    EXPECT_EQ(r.code, 0) << (r.errors.empty() ? "" : r.errors[0].message) << "\n" << formatInputText(m);
    return back;
}

class SharedNetworkRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(SharedNetworkRoundTrip, ReadWriteReadGivesTheSameModel) {
    Model m;
    ASSERT_EQ(readInputFile(std::string(KELVARN_NETWORKS_DIR) + "/" + GetParam(), m).code, 0);
    expectSameModel(m, reread(m));
}

TEST_P(SharedNetworkRoundTrip, ChangesMadeToTheModelAreWritten) {
    Model m;
    ASSERT_EQ(readInputFile(std::string(KELVARN_NETWORKS_DIR) + "/" + GetParam(), m).code, 0);
    // What a design run changes: diameters, roughness and statuses of pipes.
    int n = 0;
    for (Link& k : m.links) {
        if (k.type != LinkType::Pipe)
            continue;
        k.diameter *= 1.0 + 0.01 * (n % 7);
        k.roughness = 80.0 + (n % 5) * 10.0;
        if (n % 4 == 0)
            k.initStatus = k.initStatus == LinkStatus::Open ? LinkStatus::Closed : LinkStatus::Open;
        ++n;
    }
    m.nodes[0].elevation += 1.25;
    if (!m.nodes[0].demands.empty())
        m.nodes[0].demands[0].base *= 3.0;
    expectSameModel(m, reread(m));
}

INSTANTIATE_TEST_SUITE_P(Networks, SharedNetworkRoundTrip,
                         ::testing::Values("Net1.inp", "Net2.inp", "Net3.inp", "ky4.inp", "TLN.inp",
                                           "HAN.inp"));

// Every feature the writer has to express, in SI units with Darcy-Weisbach.
const std::string kRich =
    "[TITLE]\nRich network\nsecond line\n"
    "[JUNCTIONS]\nJ1 10 2 P1\n~J2 12\n\"J 3\" 8\n"
    "[RESERVOIRS]\nR1 80 P1\n"
    "[TANKS]\nT1 40 3 1 6 10 2 VC YES\nT2 42 2 0 5 8 0\n"
    "[PIPES]\nL1 R1 J1 500 300 0.26 0.5 OPEN\nL2 J1 ~J2 400 200 0.1 0 CV\nL3 ~J2 \"J 3\" 300 150 0.1 1 "
    "CLOSED\n"
    "L4 T1 J1 100 250 0.1\nL5 T2 ~J2 100 250 0.1\n"
    "[PUMPS]\nU1 J1 T1 HEAD PC SPEED 0.95 PATTERN P2\nU2 ~J2 T2 POWER 7.5\n"
    "[VALVES]\nV1 J1 \"J 3\" 100 PRV 35 0.2\nV2 ~J2 J1 100 FCV 12\nV3 \"J 3\" ~J2 100 TCV 3\n"
    "V4 J1 ~J2 100 GPV HL\nV5 \"J 3\" J1 90 PBV 4\n"
    "[DEMANDS]\n~J2 3 P1 ;Homes\n~J2 1.5 P2 ;Shops\n\"J 3\" 0.5\n"
    "[STATUS]\nU2 CLOSED\nV3 OPEN\nV5 CLOSED\n"
    "[EMITTERS]\n\"J 3\" 0.7\n"
    "[PATTERNS]\nP1 1 1.2 1.4 1.6 1.8 2.0\nP1 0.8 0.6\nP2 1 0.5\n"
    "[CURVES]\nPC 0 60\nPC 20 50\nPC 40 20\nVC 1 5\nVC 6 300\nHL 0 0\nHL 30 4\nEFF 10 70\n"
    "[CONTROLS]\nLINK U1 CLOSED IF NODE T1 ABOVE 5.5\nLINK U1 OPEN IF NODE J1 BELOW 20\nLINK V2 8 AT TIME "
    "3:15\n"
    "LINK L3 OPEN AT CLOCKTIME 6:30 PM\n"
    "[RULES]\nRULE A\nIF TANK T2 LEVEL < 1\nTHEN PUMP U2 STATUS IS OPEN\nELSE PUMP U2 STATUS IS CLOSED\n"
    "PRIORITY 2\n"
    "[ENERGY]\nGlobal Efficiency 70\nPump U1 Efficiency EFF\n"
    "[OPTIONS]\nUnits LPS\nHeadloss D-W\nPressure METERS\nSpecific Gravity 0.98\nViscosity 1.1\nTrials 50\n"
    "Accuracy 0.0001\nUnbalanced Continue 5\nPattern P2\nDemand Multiplier 1.3\nEmitter Exponent 0.55\n"
    "Demand Model PDA\nMinimum Pressure 2\nRequired Pressure 22\nPressure Exponent 0.6\nCHECKFREQ 4\n"
    "MAXCHECK 12\nDAMPLIMIT 0.1\nHEADERROR 0.01\nFLOWCHANGE 0.02\nQuality Age\n"
    "[TIMES]\nDuration 36:00\nHydraulic Timestep 0:30\nPattern Timestep 2:00\nPattern Start 1:00\n"
    "Report Timestep 1:00\nStart ClockTime 6 AM\nRule Timestep 0:05\n"
    "[COORDINATES]\nJ1 1 2\nT1 3 4\n[VERTICES]\nL1 1.5 2.5\n[LABELS]\n1 2 \"label text\"\n"
    "[BACKDROP]\nUNITS None\n[TAGS]\n[REACTIONS]\nGlobal Bulk -0.5\n[QUALITY]\nJ1 0.5\n[SOURCES]\n[MIXING]\n"
    "T1 MIXED\n[REPORT]\nStatus Full\n";

TEST(InputWriter, EveryFeatureSurvivesTheRoundTrip) {
    Model m;
    const ReadResult r = readInputText(kRich, m);
    ASSERT_EQ(r.code, 0) << (r.errors.empty() ? "" : r.errors[0].message);
    ASSERT_EQ(m.kept.size(), 9u);  // empty sections are not kept
    const Model back = reread(m);
    expectSameModel(m, back);
    // And a second generation writes the identical text.
    EXPECT_EQ(formatInputText(back), formatInputText(m));
}

TEST(InputWriter, WritesWholeFilesOrNothing) {
    Model m;
    ASSERT_EQ(readInputText(kRich, m).code, 0);
    const auto dir = std::filesystem::temp_directory_path() / ("kvepa2_writer_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto target = dir / "out.inp";
    {
        std::ofstream old(target);
        old << "previous contents\n";
    }
    EXPECT_EQ(writeInputFile(m, target.string()), 0);
    Model back;
    EXPECT_EQ(readInputFile(target.string(), back).code, 0);
    expectSameModel(m, back);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.inp.kvepa2-part"));
    // A folder that does not exist: an error, and no file appears.
    EXPECT_EQ(writeInputFile(m, (dir / "missing" / "x.inp").string()), 302);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    // A target that is a folder cannot be replaced; the folder is untouched.
    std::filesystem::create_directories(dir / "folder.inp" / "inner");
    EXPECT_EQ(writeInputFile(m, (dir / "folder.inp").string()), 302);
    EXPECT_TRUE(std::filesystem::exists(dir / "folder.inp" / "inner"));
    EXPECT_FALSE(std::filesystem::exists(dir / "folder.inp.kvepa2-part"));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kvepa2
