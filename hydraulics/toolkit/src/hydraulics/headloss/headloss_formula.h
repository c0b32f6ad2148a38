// Pipe friction formulas as strategies behind one compile-time interface: the coefficient
// loop is instantiated once per formula, so the inner loop makes no virtual calls.
#pragma once

#include <concepts>

namespace kvepa2::headloss {

// Gradient below which a loss is treated as linear, so the Jacobian never vanishes.
inline constexpr double kMinGradient = 1.0e-7;

// Friction loss of one pipe at a flow: loss in ft (sign of the flow) and its derivative.
struct Loss {
    double h = 0.0;
    double dh = 0.0;
};

// A friction formula: a per-pipe resistance computed when a run starts, then the loss and
// its derivative at a flow from that resistance (and the pipe's own data where needed).
// Where its gradient falls below kFloorBelow a pipe's loss is taken as linear, of gradient
// kFloorGradient: the reference engine floors each formula its own way, which sets how much a
// dead end or the leak of a closed link shows in the flows at the floor.
template <typename F>
concept HeadlossFormula = requires(double length, double diameter, double roughness, double r, double q,
                                   double aux) {
    { F::resistance(length, diameter, roughness) } -> std::convertible_to<double>;
    { F::friction(r, q, diameter, roughness, aux) } -> std::same_as<Loss>;
    { F::kFloorBelow } -> std::convertible_to<double>;
    { F::kFloorGradient } -> std::convertible_to<double>;
};

}  // namespace kvepa2::headloss
