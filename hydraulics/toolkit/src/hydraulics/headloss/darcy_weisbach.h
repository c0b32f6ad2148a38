// Darcy-Weisbach: h = f(Re, e/d) 8 L q^2 / (pi^2 g d^5), with f laminar (64/Re) below
// Re 2000, Swamee-Jain above 4000 and Dunlop's cubic interpolation in between.
#pragma once

#include <cmath>

#include "hydraulics/headloss/headloss_formula.h"

namespace kvepa2::headloss {

struct DarcyWeisbach {
    static constexpr double kPi = 3.14159265358979323846;
    static constexpr double kConstant = 8.0 / (kPi * kPi * 32.2);  // 0.025173
    // Not floored: laminar friction keeps a finite gradient at any flow, and the reference
    // engine solves a short wide pipe with it however small (a 1 ft, 100 in pipe behind a
    // closed pump carries 1.97e-5 cfs of the pump's leak there, not 2e-6).
    static constexpr double kFloorBelow = 0.0;
    static constexpr double kFloorGradient = 0.0;

    template <typename Pow>
    static double resistance(double length, double diameter, double /*roughness*/, Pow&& pow) {
        return kConstant * length / pow(diameter, 5.0);
    }
    static double resistance(double length, double diameter, double roughness) {
        return resistance(length, diameter, roughness, [](double x, double e) { return std::pow(x, e); });
    }

    // Friction factor and its derivative with respect to Re.
    static void factor(double re, double relRough, double& f, double& dfdre) {
        if (re < 2000.0) {
            f = 64.0 / re;
            dfdre = -f / re;
            return;
        }
        if (re > 4000.0) {
            const double a = relRough / 3.7 + 5.74 / std::pow(re, 0.9);
            const double lg = std::log10(a);
            f = 0.25 / (lg * lg);
            const double dadre = -0.9 * 5.74 / std::pow(re, 1.9);
            dfdre = -0.5 / (lg * lg * lg) * dadre / (a * std::log(10.0));
            return;
        }
        // Cubic through the laminar value and the turbulent value and slope at 4000.
        const double y2 = relRough / 3.7 + 5.74 / std::pow(4000.0, 0.9);
        const double y3 = -0.86859 * std::log(y2);
        const double fa = 1.0 / (y3 * y3);
        const double fb = fa * (2.0 - 0.00514215 / (y2 * y3));
        const double r = re / 2000.0;
        const double x1 = 7.0 * fa - fb;
        const double x2 = 0.128 - 17.0 * fa + 2.5 * fb;
        const double x3 = -0.128 + 13.0 * fa - 2.0 * fb;
        const double x4 = 0.032 - 3.0 * fa + 0.5 * fb;
        f = x1 + r * (x2 + r * (x3 + r * x4));
        dfdre = (x2 + r * (2.0 * x3 + 3.0 * r * x4)) / 2000.0;
    }

    // nu: kinematic viscosity, ft2/s.
    static Loss friction(double r, double q, double diameter, double roughness, double nu) {
        const double a = std::fabs(q);
        Loss l;
        if (a <= 0.0) {
            // Still laminar: the gradient keeps its finite limit 64 pi r d nu / 4, so a pipe
            // without flow does not stiffen the equations as a vanishing gradient would.
            l.dh = 16.0 * kPi * r * diameter * nu;
            return l;
        }
        const double re = 4.0 * a / (kPi * diameter * nu);
        double f = 0.0;
        double dfdre = 0.0;
        factor(re, roughness / diameter, f, dfdre);
        const double ha = f * r * a * a;
        l.h = std::copysign(ha, q);
        // d(f q^2)/dq with Re proportional to q.
        l.dh = r * a * (2.0 * f + dfdre * re);
        if (l.dh <= 0.0)
            l.dh = ha / a;
        return l;
    }
};

}  // namespace kvepa2::headloss
