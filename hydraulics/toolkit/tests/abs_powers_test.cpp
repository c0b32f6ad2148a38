// The vector power of flows against long-double pow.
#include "hydraulics/abs_powers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace kvepa2 {
namespace {

// The bound of exp(e log |x|): a few ulps, growing with the size of the exponent's argument.
double bound(double x, double e) {
    return 4.0e-16 * (1.0 + std::fabs(e * std::log(std::fabs(x))));
}

TEST(AbsPowers, AgreesWithPowOverTheRangeOfFlowsAndDiameters) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> decade(-12.0, 6.0);
    std::vector<double> x(10001);
    for (double& v : x) v = std::pow(10.0, decade(rng)) * (rng() % 2 ? -1.0 : 1.0);
    for (double e : {0.852, 1.852, 4.871, 5.333, -1.852, 0.5, 2.0}) {
        std::vector<double> out(x.size());
        absPowers(x.data(), static_cast<int>(x.size()), e, out.data());
        double worst = 0.0;
        for (size_t i = 0; i < x.size(); ++i) {
            const long double ref =
                std::pow(std::fabs(static_cast<long double>(x[i])), static_cast<long double>(e));
            const double rel = static_cast<double>(std::fabs(out[i] - ref) / ref);
            worst = std::max(worst, rel / bound(x[i], e));
        }
        EXPECT_LE(worst, 1.0) << "exponent " << e;
    }
}

TEST(AbsPowers, EdgeValuesAreStdPows) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> x = {0.0, -0.0, inf, -inf, 1.0e-310, -1.0e-305, 0x1p1001, 1.0};
    std::vector<double> out(x.size());
    for (double e : {0.852, -1.852}) {
        absPowers(x.data(), static_cast<int>(x.size()), e, out.data());
        for (size_t i = 0; i < x.size(); ++i) {
            const double ref = std::pow(std::fabs(x[i]), e);
            if (i < x.size() - 1)
                EXPECT_EQ(out[i], ref) << x[i] << "^" << e;
            else
                EXPECT_EQ(out[i], 1.0);
        }
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(std::isnan(absPower(nan, 0.852)));
}

TEST(AbsPowers, AnElementsValueDoesNotDependOnItsPlace) {
    // Tails shorter than a vector go through the same lanes as whole blocks.
    const std::vector<double> base = {3.7e-3, -0.42, 17.0, 2.5e-7, 1.0, -9.9, 0.125, 64.0, 5.5e-2};
    for (size_t n = 1; n <= base.size(); ++n) {
        for (size_t first = 0; first + n <= base.size(); ++first) {
            std::vector<double> out(n);
            absPowers(base.data() + first, static_cast<int>(n), 0.852, out.data());
            for (size_t i = 0; i < n; ++i) EXPECT_EQ(out[i], absPower(base[first + i], 0.852));
        }
    }
    // In place.
    std::vector<double> v = base;
    absPowers(v.data(), static_cast<int>(v.size()), 0.852, v.data());
    for (size_t i = 0; i < v.size(); ++i) EXPECT_EQ(v[i], absPower(base[i], 0.852));
}

}  // namespace
}  // namespace kvepa2
