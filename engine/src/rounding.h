#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace tarnix::detail {

// Nearest integer, halves to the even neighbour, independent of the FPU rounding mode.
inline double roundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5) {
        return lower + 1.0;
    }
    if (fraction < 0.5) {
        return lower;
    }
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

// A rounded value as a Long, or nothing when it is not a number or does not fit.
inline std::optional<std::int32_t> toLong(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double rounded = roundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

// A computed gene value as a Long; results beyond the Long range are held at its ends.
inline std::int32_t toLongSaturated(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = roundHalfEven(value);
    if (rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(rounded);
}

// A computed gene value as a Single; results beyond the Single range are held at its ends.
inline float toSingleSaturated(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax) {
        return std::numeric_limits<float>::max();
    }
    if (value < -kMax) {
        return -std::numeric_limits<float>::max();
    }
    return static_cast<float>(value);
}

}  // namespace tarnix::detail
