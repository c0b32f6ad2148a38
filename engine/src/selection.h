#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "fitness_table.h"
#include "random_source.h"

namespace tarnix::detail {

// The cumulative roulette table over the survivor slots, ending with exactly 1.
using RouletteTable = std::vector<float>;

// Rank weights: slot 0 has weight S, the last slot weight 1.
RouletteTable rankRouletteTable(std::int32_t survivors);

// Fitness weights measured against the sorted column survivors + 1. A zero sum
// over columns 1 to S gives a table of ones (every draw picks slot 0); when every
// weight is zero, or the weights are not numbers, the slots share equally.
RouletteTable costRouletteTable(const FitnessTable& sorted, std::int32_t survivors);

// The first slot whose cumulative weight reaches r.
std::int32_t spinRoulette(const RouletteTable& table, float r);

// The best and second best of five random survivor slots (either may repeat).
std::pair<std::int32_t, std::int32_t> tournament(RandomSource& random, std::int32_t survivors);

// Parent slots of pair number `pair` for a selection type; nothing for an unknown type.
// `table` is the roulette table for the two roulette types and unused otherwise.
std::optional<std::pair<std::int32_t, std::int32_t>> chooseParents(std::int32_t selectionType,
                                                                   std::int32_t pair, std::int32_t survivors,
                                                                   const RouletteTable& table,
                                                                   RandomSource& random);

}  // namespace tarnix::detail
