// One node of the hydraulic model with its design limits and its results.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelvarn::network {

inline constexpr std::int32_t kJunction = 0;
inline constexpr std::int32_t kReservoir = 1;
inline constexpr std::int32_t kTank = 2;

struct clsNode {
    std::string ID;  // as in the input file
    float X = 0;     // map coordinates from [COORDINATES]
    float Y = 0;
    std::int32_t Index = 0;             // 1-based toolkit index; 0 until loaded
    std::int32_t NodeType = kJunction;  // kJunction, kReservoir or kTank
    std::optional<float> MinPressure;   // junction limits; empty: never entered (not 0)
    float DesignMinPressure = 0;        // result: lowest pressure seen
    std::optional<float> MaxPressure;
    float DesignMaxPressure = 0;    // result: highest pressure seen
    float MaxFlow = 0;              // outflow limit of a designed source (reservoir)
    float DesignMaxSourceFlow = 0;  // result: highest outflow seen
};

}  // namespace kelvarn::network
