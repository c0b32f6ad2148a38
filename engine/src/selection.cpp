#include "selection.h"

#include <cmath>
#include <limits>

#include "tarnix/enums.h"

namespace tarnix::detail {

RouletteTable rankRouletteTable(std::int32_t survivors) {
    RouletteTable table(static_cast<std::size_t>(survivors));
    float total = 0.0f;
    for (std::int32_t k = 1; k <= survivors; ++k) {
        total += static_cast<float>(k);
    }
    float cumulative = 0.0f;
    for (std::int32_t k = 1; k <= survivors; ++k) {
        cumulative += static_cast<float>(survivors + 1 - k) / total;
        table[static_cast<std::size_t>(k - 1)] = cumulative;
    }
    table.back() = 1.0f;
    return table;
}

RouletteTable costRouletteTable(const FitnessTable& sorted, std::int32_t survivors) {
    const auto s = static_cast<std::size_t>(survivors);
    RouletteTable table(s);
    float total = 0.0f;
    for (std::size_t k = 1; k <= s; ++k) {
        total += sorted[k].fitness;
    }
    if (total == 0.0f) {
        table.assign(s, 1.0f);
        return table;
    }
    const float reference = sorted[s + 1].fitness;
    float sum = 0.0f;
    for (std::size_t k = 1; k <= s; ++k) {
        table[k - 1] = std::fabs((sorted[k].fitness - reference) / total);
        sum += table[k - 1];
    }
    if (!(sum > 0.0f) || !std::isfinite(sum)) {
        for (std::size_t k = 0; k < s; ++k) {
            table[k] = static_cast<float>(k + 1) / static_cast<float>(s);
        }
    } else {
        float cumulative = 0.0f;
        for (std::size_t k = 0; k < s; ++k) {
            cumulative += table[k] / sum;
            table[k] = cumulative;
        }
    }
    table.back() = 1.0f;
    return table;
}

std::int32_t spinRoulette(const RouletteTable& table, float r) {
    const auto last = static_cast<std::int32_t>(table.size()) - 1;
    for (std::int32_t i = 0; i < last; ++i) {
        if (table[static_cast<std::size_t>(i)] >= r) {
            return i;
        }
    }
    return last;
}

std::pair<std::int32_t, std::int32_t> tournament(RandomSource& random, std::int32_t survivors) {
    std::int32_t best = std::numeric_limits<std::int32_t>::max();
    std::int32_t second = best;
    for (int draw = 0; draw < 5; ++draw) {
        const std::int32_t d = drawIndex(random, survivors);
        if (d < best) {
            second = best;
            best = d;
        } else if (d < second) {
            second = d;
        }
    }
    return {best, second};
}

std::optional<std::pair<std::int32_t, std::int32_t>> chooseParents(std::int32_t selectionType,
                                                                   std::int32_t pair, std::int32_t survivors,
                                                                   const RouletteTable& table,
                                                                   RandomSource& random) {
    switch (selectionType) {
        case mvxTopMate:
            return std::pair{pair, drawIndex(random, survivors)};
        case mvxRouletRank:
        case mvxRouletCost: {
            const std::int32_t a = spinRoulette(table, random.uniform());
            return std::pair{a, spinRoulette(table, random.uniform())};
        }
        case mvxTournament:
            return tournament(random, survivors);
        case mvxRandom: {
            const std::int32_t a = drawIndex(random, survivors);
            return std::pair{a, drawIndex(random, survivors)};
        }
        default:
            return std::nullopt;
    }
}

}  // namespace tarnix::detail
