#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "random_source.h"
#include "tarnix/events.h"

namespace tarnix::detail {

// The user-defined crossover event and the engine's reusable buffers for it.
struct CrossoverEvent {
    const UserDefinedCrossoverFunction* handler = nullptr;
    CrossoverData parents;
    CrossoverData offspring;
};

// Crosses two binary strings of equal length T into two children (gene
// boundaries play no part). False for an unknown type or when a user-defined
// crossover leaves something other than two bit strings of length T.
bool crossBinary(std::int32_t type, const std::string& a, const std::string& b, std::string& child1,
                 std::string& child2, RandomSource& random, CrossoverEvent& event);

// Crosses the real genes of two parents gene by gene (mvxRealCrossoverType).
bool crossReal(std::int32_t type, std::span<const float> a, std::span<const float> b, std::span<float> child1,
               std::span<float> child2, RandomSource& random, CrossoverEvent& event);

// Crosses the integer genes of two parents gene by gene (mvxIntegerCrossoverType).
bool crossInteger(std::int32_t type, std::span<const std::int32_t> a, std::span<const std::int32_t> b,
                  std::span<std::int32_t> child1, std::span<std::int32_t> child2, RandomSource& random,
                  CrossoverEvent& event);

}  // namespace tarnix::detail
