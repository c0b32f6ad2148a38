// Friction formulas against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "hydraulics/headloss/chezy_manning.h"
#include "hydraulics/headloss/darcy_weisbach.h"
#include "hydraulics/headloss/hazen_williams.h"

namespace kvepa2::headloss {
namespace {

TEST(HazenWilliams, ResistanceAndLoss) {
    // 1000 ft, 1 ft, C 100: r = 4.727e3 / 100^1.852 = 0.9345135; at 2 cfs h = r 2^1.852.
    const double r = HazenWilliams::resistance(1000.0, 1.0, 100.0);
    EXPECT_NEAR(r, 0.9345135, 1e-7);
    const Loss l = HazenWilliams::friction(r, -2.0, 1.0, 100.0, 1.1e-5);
    EXPECT_NEAR(l.h, -r * std::pow(2.0, 1.852), 1e-12);
    EXPECT_NEAR(l.dh, 1.852 * r * std::pow(2.0, 0.852), 1e-12);
}

TEST(ChezyManning, QuadraticInFlow) {
    // n 0.012, 1000 ft, 1 ft: r = 4.6344016 * 1.44e-4 * 1000 = 0.66735383.
    const double r = ChezyManning::resistance(1000.0, 1.0, 0.012);
    EXPECT_NEAR(r, 0.66735383, 1e-8);
    EXPECT_NEAR(ChezyManning::friction(r, 3.0, 1.0, 0.012, 0.0).h, 9.0 * r, 1e-12);
}

TEST(DarcyWeisbach, LaminarIs64OverRe) {
    // d 1 ft, nu 1.1e-5: q 0.001 cfs gives Re = 4 q / (pi d nu) = 115.75, f = 64/Re,
    // h = f * 0.025173 * L q^2 / d^5 is linear in q.
    const double r = DarcyWeisbach::resistance(1000.0, 1.0, 0.0005);
    const double q = 0.001;
    const double re = 4.0 * q / (3.14159265358979 * 1.0 * 1.1e-5);
    const Loss l = DarcyWeisbach::friction(r, q, 1.0, 0.0005, 1.1e-5);
    EXPECT_NEAR(l.h, 64.0 / re * r * q * q, 1e-15);
    EXPECT_NEAR(l.dh, l.h / q, 1e-12);
}

TEST(DarcyWeisbach, NoFlowKeepsTheLaminarGradient) {
    // Laminar h = 64/Re r q^2 = 16 pi r d nu q: at q = 0 the loss is 0 and the gradient stays
    // 16 pi r d nu (d 0.5 ft, nu 1.1e-5 ft2/s), the value every laminar flow has.
    const double r = DarcyWeisbach::resistance(1000.0, 0.5, 0.0005);
    const double expected = 16.0 * 3.14159265358979 * r * 0.5 * 1.1e-5;
    const Loss l = DarcyWeisbach::friction(r, 0.0, 0.5, 0.0005, 1.1e-5);
    EXPECT_EQ(l.h, 0.0);
    EXPECT_NEAR(l.dh, expected, 1e-12 * expected);
    EXPECT_NEAR(DarcyWeisbach::friction(r, 1.0e-6, 0.5, 0.0005, 1.1e-5).dh, expected, 1e-9 * expected);
}

TEST(DarcyWeisbach, TurbulentIsSwameeJain) {
    // Re 257890 (2.228 cfs in 1 ft): f = 0.25 / log10(e/3.7d + 5.74/Re^0.9)^2 = 0.018535.
    const double q = 1000.0 / 448.831;
    const double re = 4.0 * q / (3.14159265358979 * 1.1e-5);
    const double f = 0.25 / std::pow(std::log10(0.0005 / 3.7 + 5.74 / std::pow(re, 0.9)), 2.0);
    const double r = DarcyWeisbach::resistance(1000.0, 1.0, 0.0005);
    EXPECT_NEAR(DarcyWeisbach::friction(r, q, 1.0, 0.0005, 1.1e-5).h, f * r * q * q, 1e-12);
    // The value the reference engine gives for this pipe (1000 gpm, 0.5 millifeet).
    EXPECT_NEAR(f * r * q * q, 2.3161055, 1e-6);
}

TEST(DarcyWeisbach, TransitionJoinsLaminarAndTurbulentContinuously) {
    for (double rel : {0.0, 1e-4, 1e-2}) {
        double fl = 0.0, fr = 0.0, d = 0.0;
        DarcyWeisbach::factor(1999.999, rel, fl, d);
        DarcyWeisbach::factor(2000.001, rel, fr, d);
        EXPECT_NEAR(fl, fr, 1e-6);
        DarcyWeisbach::factor(3999.999, rel, fl, d);
        DarcyWeisbach::factor(4000.001, rel, fr, d);
        EXPECT_NEAR(fl, fr, 1e-5);
    }
}

}  // namespace
}  // namespace kvepa2::headloss
