// Checks made when hydraulics open: the network-level errors EPANET reports
// then, and the fit of one- and three-point pump curves.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "input/input_reader.h"
#include "model/network_validation.h"

namespace kvepa2 {
namespace {

struct NetworkCase {
    const char* name;
    const char* text;
    int code;
    const char* reportLine;  // expected somewhere in the report
};

class NetworkValidationTest : public ::testing::TestWithParam<NetworkCase> {};

TEST_P(NetworkValidationTest, ReportsTheProblem) {
    const NetworkCase& c = GetParam();
    Model m;
    const ReadResult r = readInputText(c.text, m);
    ASSERT_EQ(r.code, 0) << c.name << (r.errors.empty() ? "" : r.errors[0].message);
    std::vector<std::string> report;
    EXPECT_EQ(validateNetwork(m, report), c.code) << c.name;
    std::string all;
    for (const auto& line : report) all += line + "\n";
    EXPECT_NE(all.find(c.reportLine), std::string::npos) << c.name << ":\n" << all;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, NetworkValidationTest,
    ::testing::Values(
        NetworkCase{"sound", "[JUNCTIONS]\nJ 1 1\n[RESERVOIRS]\nR 10\n[PIPES]\nP R J 1 1 1\n", 0, ""},
        NetworkCase{"one node", "[RESERVOIRS]\nR 10\n", 223, "Error 223: not enough nodes in network"},
        NetworkCase{"no fixed grade", "[JUNCTIONS]\nA 1\nB 1\n[PIPES]\nP A B 1 1 1\n", 224,
                    "Error 224: no tanks or reservoirs in network"},
        NetworkCase{"unconnected", "[JUNCTIONS]\nJ 1\nLONE 1\n[RESERVOIRS]\nR 10\n[PIPES]\nP R J 1 1 1\n",
                    233, "Error 234: network has an unconnected node with ID: LONE"},
        NetworkCase{"tank above its maximum",
                    "[JUNCTIONS]\nJ 1\n[TANKS]\nT 10 30 1 20 5\n[PIPES]\nP T J 1 1 1\n", 225,
                    "Error 225: invalid lower/upper levels for tank node T"},
        NetworkCase{
            "tank beyond its curve",
            "[JUNCTIONS]\nJ 1\n[TANKS]\nT 10 3 1 20 5 0 V\n[PIPES]\nP T J 1 1 1\n[CURVES]\nV 0 0\nV 10 50\n",
            225, "T"},
        NetworkCase{"pump without curve or power", "[JUNCTIONS]\nJ 1\n[RESERVOIRS]\nR 10\n[PUMPS]\nU R J\n",
                    226, "Error 226:"},
        NetworkCase{"rising custom curve",
                    "[JUNCTIONS]\nJ 1\n[RESERVOIRS]\nR 10\n[PUMPS]\nU R J HEAD C\n[CURVES]\nC 1 50\nC 2 60\n",
                    227, "Error 227: invalid head curve for pump U"},
        NetworkCase{"three points not falling",
                    "[JUNCTIONS]\nJ 1\n[RESERVOIRS]\nR 10\n[PUMPS]\nU R J HEAD C\n[CURVES]\nC 0 50\nC 5 60\n"
                    "C 10 30\n",
                    227, "U"}),
    [](const ::testing::TestParamInfo<NetworkCase>& info) {
        std::string s = info.param.name;
        for (char& ch : s) {
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        }
        return s;
    });

TEST(PumpCurveFit, SinglePointStandsForThree) {
    // Design point (1, 75): shutoff head 1.33334 * 75 = 100.0005 at q = 0 and
    // zero head at q = 2, so 100.0005 - b 2^c = 0 and 100.0005 - b = 75:
    // b = 25.0005, 2^c = 4.00000 -> c = log2(100.0005 / 25.0005) = 2.0000.
    Curve c{"C", CurveType::Pump, {1.0}, {75.0}};
    double a = 0, b = 0, e = 0;
    ASSERT_TRUE(powerFunctionCurve(c, a, b, e));
    EXPECT_NEAR(a, 100.0005, 1e-9);
    EXPECT_NEAR(b, 25.0005, 1e-9);
    EXPECT_NEAR(e, std::log2(100.0005 / 25.0005), 1e-12);
}

TEST(PumpCurveFit, ThreePointsThroughTheirPoints) {
    // h = 100 - 0.5 q^2 through (0, 100), (10, 50), (12, 28).
    Curve c{"C", CurveType::Pump, {0.0, 10.0, 12.0}, {100.0, 50.0, 28.0}};
    double a = 0, b = 0, e = 0;
    ASSERT_TRUE(powerFunctionCurve(c, a, b, e));
    EXPECT_NEAR(a, 100.0, 1e-12);
    EXPECT_NEAR(e, 2.0, 1e-9);
    EXPECT_NEAR(b, 0.5, 1e-9);
    Curve flat{"F", CurveType::Pump, {0.0, 10.0, 20.0}, {50.0, 50.0, 10.0}};
    EXPECT_FALSE(powerFunctionCurve(flat, a, b, e));
    Curve two{"T", CurveType::Pump, {0.0, 10.0}, {50.0, 10.0}};
    EXPECT_FALSE(powerFunctionCurve(two, a, b, e));
}

}  // namespace
}  // namespace kvepa2
