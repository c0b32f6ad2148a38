#pragma once

#include <cstdint>
#include <vector>

namespace tarnix::detail {

// One column of the fitness table: a member's fitness and the member's index in
// the population (kept as a Single, as the table is one array of Singles).
struct FitnessColumn {
    float fitness = 0.0f;
    float member = 0.0f;
};

using FitnessTable = std::vector<FitnessColumn>;

// Sorts the columns best first (ascending when minimising) with a gap-insertion
// sort. Equal values are exchanged, not left in place, so the order among equal
// fitness values is this procedure's own; the run's results depend on it.
void orderFitnessTable(FitnessTable& table, bool minimise);

// Survivors: PopulationSize / 2 rounded half to even, made even by adding 1.
std::int32_t survivorCount(std::int32_t populationSize);

}  // namespace tarnix::detail
