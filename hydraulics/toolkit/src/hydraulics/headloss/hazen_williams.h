// Hazen-Williams: h = 4.727 C^-1.852 d^-4.871 L q^1.852 (ft, cfs).
#pragma once

#include <cmath>

#include "hydraulics/headloss/headloss_formula.h"

namespace kvepa2::headloss {

struct HazenWilliams {
    static constexpr double kExponent = 1.852;
    // A pipe at the floor carries 1.852e7 cfs per ft of head difference.
    static constexpr double kFloorBelow = kMinGradient;
    static constexpr double kFloorGradient = kMinGradient / kExponent;

    static double resistance(double length, double diameter, double roughness) {
        return 4.727 * length / std::pow(roughness, kExponent) / std::pow(diameter, 4.871);
    }
    static Loss friction(double r, double q, double /*diameter*/, double /*roughness*/, double /*nu*/) {
        const double a = std::fabs(q);
        Loss l;
        if (a <= 0.0)
            return l;
        // a^0.852 by exp(log), markedly cheaper than pow and exact to a few ulps; the loss
        // and its gradient then need no division.
        const double t = r * std::exp((kExponent - 1.0) * std::log(a));
        const double ha = t * a;
        l.dh = kExponent * t;
        l.h = q < 0.0 ? -ha : ha;
        return l;
    }
};

}  // namespace kvepa2::headloss
