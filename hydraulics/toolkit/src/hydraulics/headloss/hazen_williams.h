// Hazen-Williams: h = 4.727 C^-1.852 d^-4.871 L q^1.852 (ft, cfs).
#pragma once

#include <cmath>

#include "hydraulics/abs_powers.h"
#include "hydraulics/headloss/headloss_formula.h"

namespace kvepa2::headloss {

struct HazenWilliams {
    static constexpr double kExponent = 1.852;
    // A pipe at the floor carries 1.852e7 cfs per ft of head difference.
    static constexpr double kFloorBelow = kMinGradient;
    static constexpr double kFloorGradient = kMinGradient / kExponent;

    // pow is std::pow or anything that gives its values.
    template <typename Pow>
    static double resistance(double length, double diameter, double roughness, Pow&& pow) {
        return 4.727 * length / pow(roughness, kExponent) / pow(diameter, 4.871);
    }
    static double resistance(double length, double diameter, double roughness) {
        return resistance(length, diameter, roughness, [](double x, double e) { return std::pow(x, e); });
    }
    // |q|^0.852, which the coefficient loop computes for all pipes at once.
    static constexpr double kFlowPower = kExponent - 1.0;

    // Loss and gradient from the flow and |q|^kFlowPower; the loss needs no division then.
    static Loss fromFlowPower(double r, double q, double flowPower) {
        Loss l;
        if (q == 0.0)
            return l;
        const double t = r * flowPower;
        l.dh = kExponent * t;
        l.h = std::copysign(t * std::fabs(q), q);
        return l;
    }
    static Loss friction(double r, double q, double /*diameter*/, double /*roughness*/, double /*nu*/) {
        return fromFlowPower(r, q, absPower(q, kFlowPower));
    }
};

}  // namespace kvepa2::headloss
