// Hazen-Williams: h = 4.727 C^-1.852 d^-4.871 L q^1.852 (ft, cfs).
#pragma once

#include <cmath>

#include "hydraulics/headloss/headloss_formula.h"

namespace kvepa2::headloss {

struct HazenWilliams {
    static constexpr double kExponent = 1.852;

    static double resistance(double length, double diameter, double roughness) {
        return 4.727 * length / std::pow(roughness, kExponent) / std::pow(diameter, 4.871);
    }
    static Loss friction(double r, double q, double /*diameter*/, double /*roughness*/, double /*nu*/) {
        const double a = std::fabs(q);
        Loss l;
        if (a <= 0.0)
            return l;
        // exp(log) is markedly cheaper than pow here and exact to a few ulps.
        const double ha = r * std::exp(kExponent * std::log(a));
        l.dh = kExponent * ha / a;
        l.h = q < 0.0 ? -ha : ha;
        return l;
    }
};

}  // namespace kvepa2::headloss
