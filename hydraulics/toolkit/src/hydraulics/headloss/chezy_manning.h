// Chezy-Manning: h = 4.6344 n^2 d^-5.333 L q^2 (ft, cfs). The constant is the one the
// reference engine applies (measured on a single pipe), slightly below the rounded 4.66.
#pragma once

#include <cmath>

#include "hydraulics/headloss/headloss_formula.h"

namespace kvepa2::headloss {

struct ChezyManning {
    static constexpr double kConstant = 4.6344016;
    // A pipe at the floor carries 2e7 cfs per ft of head difference.
    static constexpr double kFloorBelow = kMinGradient;
    static constexpr double kFloorGradient = kMinGradient / 2.0;

    template <typename Pow>
    static double resistance(double length, double diameter, double roughness, Pow&& pow) {
        return kConstant * roughness * roughness * length / pow(diameter, 5.333);
    }
    static double resistance(double length, double diameter, double roughness) {
        return resistance(length, diameter, roughness, [](double x, double e) { return std::pow(x, e); });
    }
    static Loss friction(double r, double q, double /*diameter*/, double /*roughness*/, double /*nu*/) {
        const double a = std::fabs(q);
        Loss l;
        l.h = r * q * a;
        l.dh = 2.0 * r * a;
        return l;
    }
};

}  // namespace kvepa2::headloss
