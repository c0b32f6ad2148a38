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
        const double ha = r * std::pow(a, kExponent);
        Loss l;
        l.dh = kExponent * ha / (a > 0.0 ? a : 1.0);
        l.h = q < 0.0 ? -ha : ha;
        return l;
    }
};

}  // namespace kvepa2::headloss
