// The C functions: call order, argument checks and codes, and values in the
// model's units on a network small enough to solve by hand.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "kvepa2/epanet2.h"
#include "kvepa2/epanet2_2.h"

namespace {

namespace fs = std::filesystem;

class ApiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Parameterised tests are named "Name/3": keep the folder one level deep so it is removed.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir_ = fs::temp_directory_path() / ("kvepa2_api_" + std::to_string(::getpid()) + "_" + name);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        ENclose();
        fs::remove_all(dir_);
    }
    std::string file(const std::string& name, const std::string& text) {
        const fs::path p = dir_ / name;
        std::ofstream(p) << text;
        return p.string();
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string slurp(const std::string& p) {
        std::ifstream in(p);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path dir_;
};

// Reservoir at 100 m feeding junction J (elevation 50 m, 50 L/s) through
// 1000 m of 300 mm pipe, C = 100. By hand (SI Hazen-Williams):
//   velocity = 0.05 / (pi 0.15^2) = 0.70736 m/s
//   headloss = 10.667 * 1000 * 0.05^1.852 / (100^1.852 * 0.3^4.871) = 2.894 m
//   pressure at J = 100 - 2.894 - 50 = 47.106 m
const char* kHand =
    "[JUNCTIONS]\nJ 50 50\n[RESERVOIRS]\nR 100\n[PIPES]\nP R J 1000 300 100\n"
    "[OPTIONS]\nUnits LPS\nHeadloss H-W\n[TIMES]\nDuration 0\n";

TEST_F(ApiTest, ValuesInModelUnitsOnAHandSolvedNetwork) {
    ASSERT_EQ(ENopen(file("hand.inp", kHand).c_str(), path("hand.rpt").c_str(), ""), 0);
    int j = 0, r = 0, p = 0;
    ASSERT_EQ(ENgetnodeindex("J", &j), 0);
    ASSERT_EQ(ENgetnodeindex("R", &r), 0);
    ASSERT_EQ(ENgetlinkindex("P", &p), 0);
    float v = 0;
    ENgetnodevalue(j, EN_ELEVATION, &v);
    EXPECT_FLOAT_EQ(v, 50.0f);
    ENgetnodevalue(j, EN_BASEDEMAND, &v);
    EXPECT_FLOAT_EQ(v, 50.0f);
    ENgetlinkvalue(p, EN_LENGTH, &v);
    EXPECT_FLOAT_EQ(v, 1000.0f);
    ENgetlinkvalue(p, EN_DIAMETER, &v);
    EXPECT_FLOAT_EQ(v, 300.0f);
    ENgetlinkvalue(p, EN_ROUGHNESS, &v);
    EXPECT_FLOAT_EQ(v, 100.0f);
    ASSERT_EQ(ENopenH(), 0);
    ASSERT_EQ(ENinitH(0), 0);
    long t = -1;
    ASSERT_EQ(ENrunH(&t), 0);
    EXPECT_EQ(t, 0);
    ENgetnodevalue(j, EN_DEMAND, &v);
    EXPECT_NEAR(v, 50.0, 1e-4);
    ENgetnodevalue(r, EN_DEMAND, &v);
    EXPECT_NEAR(v, -50.0, 1e-3);  // the supplying reservoir
    ENgetlinkvalue(p, EN_FLOW, &v);
    EXPECT_NEAR(v, 50.0, 1e-3);
    ENgetlinkvalue(p, EN_VELOCITY, &v);
    EXPECT_NEAR(v, 0.05 / (M_PI * 0.15 * 0.15), 1e-4);
    const double hl = 10.667 * 1000 * std::pow(0.05, 1.852) / (std::pow(100.0, 1.852) * std::pow(0.3, 4.871));
    ENgetlinkvalue(p, EN_HEADLOSS, &v);
    EXPECT_NEAR(v, hl, 0.01);
    ENgetnodevalue(j, EN_HEAD, &v);
    EXPECT_NEAR(v, 100.0 - hl, 0.01);
    ENgetnodevalue(j, EN_PRESSURE, &v);
    EXPECT_NEAR(v, 100.0 - hl - 50.0, 0.01);
    ENgetlinkvalue(p, EN_STATUS, &v);
    EXPECT_EQ(v, 1.0f);
    long step = -1;
    ASSERT_EQ(ENnextH(&step), 0);
    EXPECT_EQ(step, 0);
    // A closed pipe carries nothing, and the junction loses its supply.
    ASSERT_EQ(ENsetlinkvalue(p, EN_INITSTATUS, 0), 0);
    ASSERT_EQ(ENinitH(0), 0);
    const int code = ENrunH(&t);
    EXPECT_GT(code, 0) << "a junction cut off from its source is a warning";
    ENgetlinkvalue(p, EN_FLOW, &v);
    EXPECT_EQ(v, 0.0f);
    ENgetlinkvalue(p, EN_VELOCITY, &v);
    EXPECT_EQ(v, 0.0f);
    ENgetlinkvalue(p, EN_STATUS, &v);
    EXPECT_EQ(v, 0.0f);
}

TEST_F(ApiTest, CallsOutOfOrder) {
    int n = 0;
    long t = 0;
    float v = 0;
    char id[EN_MAXID + 1];
    EXPECT_EQ(ENgetcount(EN_NODECOUNT, &n), 102);
    EXPECT_EQ(ENgetnodevalue(1, EN_ELEVATION, &v), 102);
    EXPECT_EQ(ENgetlinkid(1, id), 102);
    EXPECT_EQ(ENsetlinkvalue(1, EN_DIAMETER, 10), 102);
    EXPECT_EQ(ENsaveinpfile(path("x.inp").c_str()), 102);
    EXPECT_EQ(ENopenH(), 102);
    EXPECT_EQ(ENinitH(0), 103);
    EXPECT_EQ(ENrunH(&t), 103);
    EXPECT_EQ(ENnextH(&t), 103);
    ASSERT_EQ(ENopen(file("hand.inp", kHand).c_str(), "", ""), 0);
    EXPECT_EQ(ENinitH(0), 103);
    EXPECT_EQ(ENrunH(&t), 103);
    ASSERT_EQ(ENopenH(), 0);
    EXPECT_EQ(ENrunH(&t), 103) << "no results before ENinitH";
    ASSERT_EQ(ENinitH(1), 0);
    EXPECT_EQ(ENrunH(&t), 0);
    EXPECT_EQ(ENcloseH(), 0);
    EXPECT_EQ(ENrunH(&t), 103);
    EXPECT_EQ(ENclose(), 0);
    EXPECT_EQ(ENclose(), 0) << "closing twice is harmless";
    EXPECT_EQ(ENgetcount(EN_NODECOUNT, &n), 102);
}

struct BadCall {
    const char* name;
    int (*call)();
    int code;
};

int nodeZero() {
    float v;
    return ENgetnodevalue(0, EN_ELEVATION, &v);
}
int nodeBeyond() {
    float v;
    return ENgetnodevalue(3, EN_ELEVATION, &v);
}
int nodeCode() {
    float v;
    return ENgetnodevalue(1, 99, &v);
}
int linkZero() {
    float v;
    return ENgetlinkvalue(0, EN_FLOW, &v);
}
int linkCode() {
    float v;
    return ENgetlinkvalue(1, -1, &v);
}
int countCode() {
    int n;
    return ENgetcount(7, &n);
}
int unknownNode() {
    int i;
    return ENgetnodeindex("nope", &i);
}
int unknownLink() {
    int i;
    return ENgetlinkindex("nope", &i);
}
int nullNodeId() {
    int i;
    return ENgetnodeindex(nullptr, &i);
}
int nullOut() {
    return ENgetnodevalue(1, EN_ELEVATION, nullptr);
}
int nullIdBuffer() {
    return ENgetnodeid(1, nullptr);
}
int diameterZero() {
    return ENsetlinkvalue(1, EN_DIAMETER, 0.0f);
}
int diameterNegative() {
    return ENsetlinkvalue(1, EN_DIAMETER, -3.0f);
}
int diameterNan() {
    return ENsetlinkvalue(1, EN_DIAMETER, NAN);
}
int roughnessZero() {
    return ENsetlinkvalue(1, EN_ROUGHNESS, 0.0f);
}
int lengthZero() {
    return ENsetlinkvalue(1, EN_LENGTH, 0.0f);
}
int statusTwo() {
    return ENsetlinkvalue(1, EN_INITSTATUS, 2.0f);
}
int checkValveStatus() {
    return ENsetlinkvalue(2, EN_INITSTATUS, 0.0f);
}
int checkValveRunStatus() {
    return ENsetlinkvalue(2, EN_STATUS, 1.0f);
}
int linkSetCode() {
    return ENsetlinkvalue(1, 99, 1.0f);
}
int nodeSetCode() {
    return ENsetnodevalue(1, EN_DEMAND, 1.0f);
}
int tankLevelOfJunction() {
    return ENsetnodevalue(1, EN_TANKLEVEL, 1.0f);
}
int timeCode() {
    long t;
    return ENgettimeparam(99, &t);
}
int optionCode() {
    float v;
    return ENgetoption(99, &v);
}
int patternZero() {
    int n;
    return ENgetpatternlen(0, &n);
}

class BadCallTest : public ApiTest, public ::testing::WithParamInterface<BadCall> {};

TEST_P(BadCallTest, IsRefusedWithEpanetsCode) {
    ASSERT_EQ(
        ENopen(
            file("net.inp",
                 "[JUNCTIONS]\nJ 5 1\n[RESERVOIRS]\nR 50\n[PIPES]\nP R J 100 6 100\nCV J R 100 6 100 0 CV\n")
                .c_str(),
            "", ""),
        0);
    EXPECT_EQ(GetParam().call(), GetParam().code) << GetParam().name;
    // Nothing was changed by a refused call.
    float d = 0;
    ENgetlinkvalue(1, EN_DIAMETER, &d);
    EXPECT_EQ(d, 6.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, BadCallTest,
    ::testing::Values(
        BadCall{"node 0", nodeZero, 203}, BadCall{"node beyond", nodeBeyond, 203},
        BadCall{"node code", nodeCode, 251}, BadCall{"link 0", linkZero, 204},
        BadCall{"link code", linkCode, 251}, BadCall{"count code", countCode, 251},
        BadCall{"unknown node", unknownNode, 203}, BadCall{"unknown link", unknownLink, 204},
        BadCall{"null id", nullNodeId, 203}, BadCall{"null value", nullOut, 250},
        BadCall{"null buffer", nullIdBuffer, 250}, BadCall{"diameter 0", diameterZero, 211},
        BadCall{"diameter < 0", diameterNegative, 211}, BadCall{"diameter nan", diameterNan, 211},
        BadCall{"roughness 0", roughnessZero, 211}, BadCall{"length 0", lengthZero, 211},
        BadCall{"status 2", statusTwo, 211}, BadCall{"CV init status", checkValveStatus, 207},
        BadCall{"CV status", checkValveRunStatus, 207}, BadCall{"link set code", linkSetCode, 251},
        BadCall{"computed node value", nodeSetCode, 251},
        BadCall{"tank level of a junction", tankLevelOfJunction, 263}, BadCall{"time code", timeCode, 251},
        BadCall{"option code", optionCode, 251}, BadCall{"pattern 0", patternZero, 205}));

TEST_F(ApiTest, OpenFailuresAndTheReportFile) {
    EXPECT_EQ(ENopen(path("missing.inp").c_str(), path("r.rpt").c_str(), ""), 302);
    const std::string inp = file("a.inp", kHand);
    EXPECT_EQ(ENopen(inp.c_str(), inp.c_str(), ""), 301);
    EXPECT_EQ(ENopen(nullptr, "", ""), 302);
    const std::string bad = file("bad.inp", std::string(kHand) + "[PIPES]\nQ J NOWHERE 1 1 1\nP J R 1 1 1\n");
    EXPECT_EQ(ENopen(bad.c_str(), path("bad.rpt").c_str(), ""), 200);
    const std::string report = slurp(path("bad.rpt"));
    EXPECT_NE(report.find("Error 203: undefined node NOWHERE in [PIPES] section:"), std::string::npos)
        << report;
    EXPECT_NE(report.find("Q J NOWHERE 1 1 1"), std::string::npos) << report;
    EXPECT_NE(report.find("Error 215: duplicate ID label P"), std::string::npos) << report;
    int n = 0;
    EXPECT_EQ(ENgetcount(EN_NODECOUNT, &n), 102) << "a failed open leaves no network";
}

TEST_F(ApiTest, NetworkProblemsAreFoundWhenHydraulicsOpen) {
    const std::string lone =
        file("lone.inp", "[JUNCTIONS]\nJ 1 1\nLONE 1\n[RESERVOIRS]\nR 10\n[PIPES]\nP R J 1 1 1\n");
    ASSERT_EQ(ENopen(lone.c_str(), path("lone.rpt").c_str(), ""), 0);
    EXPECT_EQ(ENopenH(), 233);
    EXPECT_NE(slurp(path("lone.rpt")).find("unconnected node with ID: LONE"), std::string::npos);
    ENclose();
    EXPECT_EQ(ENepanet(lone.c_str(), path("lone2.rpt").c_str(), "", nullptr), 233);
}

TEST_F(ApiTest, CountsIdsTypesAndEndNodes) {
    const std::string id31(31, 'z');
    ASSERT_EQ(
        ENopen(file("ids.inp", "[JUNCTIONS]\n~J 1 1\n" + id31 +
                                   " 1\n[RESERVOIRS]\n@R 10\n[TANKS]\nT 5 1 0 2 3\n[PIPES]\n~P @R ~J 1 1 1\n"
                                   "P2 ~J " +
                                   id31 + " 1 1 1 0 CV\nP3 T ~J 1 1 1\n[VALVES]\nV " + id31 +
                                   " T 6 TCV 1\n[PUMPS]\nU @R T POWER 1\n")
                   .c_str(),
               "", ""),
        0);
    int n = 0;
    ENgetcount(EN_NODECOUNT, &n);
    EXPECT_EQ(n, 4);
    ENgetcount(EN_TANKCOUNT, &n);
    EXPECT_EQ(n, 2) << "reservoirs and tanks";
    ENgetcount(EN_LINKCOUNT, &n);
    EXPECT_EQ(n, 5);
    char id[EN_MAXID + 1];
    std::memset(id, '#', sizeof id);
    ASSERT_EQ(ENgetnodeid(2, id), 0);
    EXPECT_EQ(std::string(id), id31);
    ENgetnodeid(3, id);
    EXPECT_STREQ(id, "@R");
    int type = -1, a = 0, b = 0;
    const int types[] = {EN_PIPE, EN_CVPIPE, EN_PIPE, EN_TCV, EN_PUMP};  // file order
    const char* ids[] = {"~P", "P2", "P3", "V", "U"};
    for (int i = 1; i <= 5; ++i) {
        ENgetlinkid(i, id);
        ENgetlinktype(i, &type);
        EXPECT_STREQ(id, ids[i - 1]);
        EXPECT_EQ(type, types[i - 1]) << ids[i - 1];
    }
    ENgetnodetype(3, &type);
    EXPECT_EQ(type, EN_RESERVOIR);
    ENgetnodetype(4, &type);
    EXPECT_EQ(type, EN_TANK);
    ENgetlinknodes(1, &a, &b);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 1);
}

TEST_F(ApiTest, ChangesReachTheSavedFile) {
    ASSERT_EQ(ENopen(file("hand.inp", kHand).c_str(), "", ""), 0);
    ASSERT_EQ(ENsetlinkvalue(1, EN_DIAMETER, 250.0f), 0);
    ASSERT_EQ(ENsetlinkvalue(1, EN_ROUGHNESS, 120.0f), 0);
    ASSERT_EQ(ENsetlinkvalue(1, EN_MINORLOSS, 2.5f), 0);
    ASSERT_EQ(ENsetnodevalue(1, EN_BASEDEMAND, 40.0f), 0);
    ASSERT_EQ(ENsaveinpfile(path("saved.inp").c_str()), 0);
    ASSERT_EQ(ENclose(), 0);
    ASSERT_EQ(ENopen(path("saved.inp").c_str(), "", ""), 0);
    float v = 0;
    ENgetlinkvalue(1, EN_DIAMETER, &v);
    EXPECT_FLOAT_EQ(v, 250.0f);
    ENgetlinkvalue(1, EN_ROUGHNESS, &v);
    EXPECT_FLOAT_EQ(v, 120.0f);
    ENgetlinkvalue(1, EN_MINORLOSS, &v);
    EXPECT_FLOAT_EQ(v, 2.5f);
    ENgetnodevalue(1, EN_BASEDEMAND, &v);
    EXPECT_FLOAT_EQ(v, 40.0f);
    int units = -1;
    ENgetflowunits(&units);
    EXPECT_EQ(units, EN_LPS);
}

TEST_F(ApiTest, DesignChangesBetweenRunsTakeEffectAndRunsRepeat) {
    ASSERT_EQ(ENopen(file("hand.inp", kHand).c_str(), "", ""), 0);
    ASSERT_EQ(ENopenH(), 0);
    auto pressure = [] {
        long t = 0;
        EXPECT_LT(ENinitH(1), 100);
        EXPECT_LT(ENrunH(&t), 100);
        float p = 0;
        ENgetnodevalue(1, EN_PRESSURE, &p);
        return p;
    };
    const float first = pressure();
    ASSERT_EQ(ENsetlinkvalue(1, EN_DIAMETER, 200.0f), 0);
    const float narrower = pressure();
    EXPECT_LT(narrower, first) << "a narrower pipe loses more head";
    ASSERT_EQ(ENsetlinkvalue(1, EN_DIAMETER, 300.0f), 0);
    EXPECT_EQ(pressure(), first) << "the same design gives the same answer";
}

TEST_F(ApiTest, SolverOptionsChangedDuringARunSteerItsNextPeriods) {
    // EPANET 2.3.5 on Net1 with EN_TRIALS set to 1 after the first period: 1:00 and 2:00 both
    // return 2 ("may be unstable": the trial limit reached within the accuracy).
    const std::string net1 = std::string(KELVARN_NETWORKS_DIR) + "/Net1.inp";
    ASSERT_EQ(ENopen(net1.c_str(), "", ""), 0);
    ASSERT_EQ(ENopenH(), 0);
    ASSERT_EQ(ENinitH(0), 0);
    long t = 0;
    long step = 0;
    EXPECT_EQ(ENrunH(&t), 0);
    EXPECT_EQ(ENnextH(&step), 0);
    ASSERT_EQ(ENsetoption(EN_TRIALS, 1.0f), 0);
    EXPECT_EQ(ENrunH(&t), 2);
    EXPECT_EQ(t, 3600);
    EXPECT_EQ(ENnextH(&step), 0);
    EXPECT_EQ(ENrunH(&t), 2);
    EXPECT_EQ(ENnextH(&step), 0);
    ASSERT_EQ(ENsetoption(EN_TRIALS, 40.0f), 0);
    EXPECT_EQ(ENrunH(&t), 0);
    EXPECT_EQ(t, 3 * 3600);
}

TEST_F(ApiTest, EpanetRunsTheWholePeriodAndReturnsItsLastWarning) {
    const std::string net1 = std::string(KELVARN_NETWORKS_DIR) + "/Net1.inp";
    const int code = ENepanet(net1.c_str(), path("net1.rpt").c_str(), "", nullptr);
    EXPECT_LT(code, 100);
    EXPECT_TRUE(fs::exists(path("net1.rpt")));
    EXPECT_EQ(ENepanet(path("none.inp").c_str(), path("none.rpt").c_str(), "", nullptr), 302);
    int n = 0;
    EXPECT_EQ(ENgetcount(EN_NODECOUNT, &n), 102) << "ENepanet leaves nothing open";
}

TEST_F(ApiTest, AFullStatusReportHasEveryTrialAndSwitchAsEpanetWordsThem) {
    // A PSV that can hold J0 at 50 psi only by sending J2 back water closes after the first
    // trial (EPANET 2.3.5's report: 0.634699, "PSV V switched from active to closed",
    // 0.482142, 0.000000, balanced after 3 trials; J2, cut off, warns 6).
    const std::string net =
        "[JUNCTIONS]\nJ0 0 0\nJ1 0 0.35\nJ2 0 0.7\n[RESERVOIRS]\nR1 300\n[PIPES]\nP1 R1 J0 3000 12 100\n"
        "[VALVES]\nV J1 J2 12 PSV 50 0\nF J0 J1 12 FCV 0.9 0\n[OPTIONS]\nUnits CFS\n[REPORT]\n";
    ASSERT_EQ(
        ENepanet(file("full.inp", net + "Status Full\n").c_str(), path("full.rpt").c_str(), "", nullptr), 6);
    const std::string full = slurp(path("full.rpt"));
    EXPECT_NE(full.find("0:00:00: Balancing the network:"), std::string::npos) << full;
    const size_t a = full.find("Trial  1: relative flow change = 0.634699");
    const size_t b = full.find("PSV V switched from active to closed");
    const size_t c = full.find("Trial  2: relative flow change = 0.482142");
    const size_t d = full.find("0:00:00: Balanced after 3 trials");
    ASSERT_NE(a, std::string::npos) << full;
    EXPECT_TRUE(a < b && b < c && c < d && d != std::string::npos) << full;
    // Without it the report has no trials.
    ASSERT_EQ(ENepanet(file("yes.inp", net + "Status Yes\n").c_str(), path("yes.rpt").c_str(), "", nullptr),
              6);
    EXPECT_EQ(slurp(path("yes.rpt")).find("Trial"), std::string::npos);
}

TEST_F(ApiTest, ErrorMessages) {
    char msg[EN_MAXMSG + 1];
    ASSERT_EQ(ENgeterror(203, msg, EN_MAXMSG), 0);
    EXPECT_STREQ(msg, "function call contains undefined node");
    ASSERT_EQ(ENgeterror(6, msg, EN_MAXMSG), 0);
    EXPECT_STREQ(msg, "WARNING: System has negative pressures.");
    ASSERT_EQ(ENgeterror(110, msg, EN_MAXMSG), 0);
    EXPECT_STREQ(msg, "cannot solve network hydraulic equations");
    ASSERT_EQ(ENgeterror(200, msg, 10), 0);
    EXPECT_EQ(std::strlen(msg), 10u) << "cut to the buffer";
    EXPECT_EQ(ENgeterror(12345, msg, EN_MAXMSG), 251);
}

TEST_F(ApiTest, ProjectsAreIndependentAcrossThreads) {
    const std::string net = std::string(KELVARN_NETWORKS_DIR) + "/Net1.inp";
    auto run = [&](double diameter, std::vector<double>& heads) {
        EN_Project ph = nullptr;
        ASSERT_EQ(EN_createproject(&ph), 0);
        ASSERT_EQ(EN_open(ph, net.c_str(), "", ""), 0);
        EN_setlinkvalue(ph, 1, EN_DIAMETER, diameter);
        ASSERT_EQ(EN_openH(ph), 0);
        ASSERT_EQ(EN_initH(ph, 0), 0);
        long t = 0, step = 0;
        int nodes = 0;
        EN_getcount(ph, EN_NODECOUNT, &nodes);
        do {
            ASSERT_LT(EN_runH(ph, &t), 100);
            for (int i = 1; i <= nodes; ++i) {
                double h = 0;
                EN_getnodevalue(ph, i, EN_HEAD, &h);
                heads.push_back(h);
            }
            ASSERT_EQ(EN_nextH(ph, &step), 0);
        } while (step > 0);
        EN_close(ph);
        EN_deleteproject(ph);
    };
    std::vector<double> alone1, alone2, together1, together2;
    run(18.0, alone1);
    run(10.0, alone2);
    std::thread a([&] { run(18.0, together1); });
    std::thread b([&] { run(10.0, together2); });
    a.join();
    b.join();
    EXPECT_EQ(alone1, together1);
    EXPECT_EQ(alone2, together2);
    EXPECT_NE(alone1, alone2);
}

}  // namespace
