#include "fitness_table.h"

#include <utility>

#include "rounding.h"

namespace tarnix::detail {

void orderFitnessTable(FitnessTable& table, bool minimise) {
    const auto last = static_cast<std::int64_t>(table.size()) - 1;
    for (std::int64_t gap = last / 2; gap > 0; gap /= 2) {
        for (std::int64_t i = gap; i <= last; ++i) {
            for (std::int64_t j = i - gap; j >= 0; j -= gap) {
                const float here = table[static_cast<std::size_t>(j)].fitness;
                const float there = table[static_cast<std::size_t>(j + gap)].fitness;
                if (minimise ? here < there : here > there) {
                    break;
                }
                std::swap(table[static_cast<std::size_t>(j)], table[static_cast<std::size_t>(j + gap)]);
            }
        }
    }
}

std::int32_t survivorCount(std::int32_t populationSize) {
    auto count = static_cast<std::int32_t>(roundHalfEven(populationSize / 2.0));
    if (count % 2 != 0) {
        ++count;
    }
    return count;
}

}  // namespace tarnix::detail
