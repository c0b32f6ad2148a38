#include "crossover.h"

#include <utility>

#include "gene_layout.h"
#include "rounding.h"
#include "tarnix/enums.h"

namespace tarnix::detail {

namespace {

void raiseCrossover(CrossoverEvent& event, mvxDataType type);

// Only the member of the event's data type carries genes.
void clearParents(CrossoverEvent& event) {
    event.parents.binary[0].clear();
    event.parents.binary[1].clear();
    event.parents.real.clear();
    event.parents.integer.clear();
}

// Characters 1..lo of `outer`, lo+1..hi of `inner`, hi+1..T of `outer` (1-based).
void splice(const std::string& outer, const std::string& inner, std::size_t lo, std::size_t hi,
            std::string& child) {
    child.assign(outer, 0, lo);
    child.append(inner, lo, hi - lo);
    child.append(outer, hi, std::string::npos);
}

// The host's children start as copies of the parents, so a handler that does
// nothing yields the parents again.
void raiseCrossover(CrossoverEvent& event, mvxDataType type) {
    event.offspring = event.parents;
    if (event.handler != nullptr && *event.handler) {
        (*event.handler)(type, event.parents, event.offspring);
    }
}

// Blending, uniform or user-defined crossover of one gene kind; Convert turns a
// computed value into the kind's stored type.
template <class T, class Rows, class Convert>
bool crossValues(std::int32_t type, std::int32_t blending, std::int32_t uniform, std::int32_t userDefined,
                 mvxDataType dataType, Rows CrossoverData::*rows, std::span<const T> a, std::span<const T> b,
                 std::span<T> child1, std::span<T> child2, RandomSource& random, CrossoverEvent& event,
                 Convert convert) {
    const std::size_t n = a.size();
    if (type == blending) {
        const double beta = random.uniform();
        for (std::size_t j = 0; j < n; ++j) {
            const double difference = static_cast<double>(a[j]) - static_cast<double>(b[j]);
            child1[j] = convert(a[j] - beta * difference);
            child2[j] = convert(beta * difference + b[j]);
        }
        return true;
    }
    if (type == uniform) {
        for (std::size_t j = 0; j < n; ++j) {
            if (random.uniform() > 0.5f) {
                child1[j] = b[j];
                child2[j] = a[j];
            } else {
                child1[j] = a[j];
                child2[j] = b[j];
            }
        }
        return true;
    }
    if (type != userDefined) {
        return false;
    }
    clearParents(event);
    auto& parents = event.parents.*rows;
    parents.resize(n);
    for (std::size_t j = 0; j < n; ++j) {
        parents[j] = {a[j], b[j]};
    }
    raiseCrossover(event, dataType);
    const auto& children = event.offspring.*rows;
    if (children.size() != n) {
        return false;
    }
    for (std::size_t j = 0; j < n; ++j) {
        child1[j] = children[j][0];
        child2[j] = children[j][1];
    }
    return true;
}

}  // namespace

bool crossBinary(std::int32_t type, const std::string& a, const std::string& b, std::string& child1,
                 std::string& child2, RandomSource& random, CrossoverEvent& event) {
    const auto total = static_cast<std::int32_t>(a.size());
    switch (type) {
        case mvxOnePointBCO: {
            const auto k = static_cast<std::size_t>(drawIndex(random, total));
            child1.assign(a, 0, k);
            child1.append(b, k, std::string::npos);
            child2.assign(b, 0, k);
            child2.append(a, k, std::string::npos);
            return true;
        }
        case mvxTwoPointsBCO: {
            if (total < 2) {
                // Two distinct cut points need two characters; one-point with cut 0.
                child1 = b;
                child2 = a;
                return true;
            }
            const std::int32_t k1 = drawIndex(random, total);
            std::int32_t k2 = drawIndex(random, total);
            while (k2 == k1) {
                k2 = drawIndex(random, total);
            }
            const auto lo = static_cast<std::size_t>(std::min(k1, k2));
            const auto hi = static_cast<std::size_t>(std::max(k1, k2));
            splice(a, b, lo, hi, child1);
            splice(b, a, lo, hi, child2);
            return true;
        }
        case mvxUniformBCO: {
            child1.resize(a.size());
            child2.resize(a.size());
            for (std::size_t i = 0; i < a.size(); ++i) {
                if (random.uniform() <= 0.5f) {
                    child1[i] = a[i];
                    child2[i] = b[i];
                } else {
                    child1[i] = b[i];
                    child2[i] = a[i];
                }
            }
            return true;
        }
        case mvxUserDefinedBCO: {
            clearParents(event);
            event.parents.binary = {a, b};
            raiseCrossover(event, mvxBinary);
            const auto& children = event.offspring.binary;
            if (!isBitString(children[0], total) || !isBitString(children[1], total)) {
                return false;
            }
            child1 = children[0];
            child2 = children[1];
            return true;
        }
        default:
            return false;
    }
}

bool crossReal(std::int32_t type, std::span<const float> a, std::span<const float> b, std::span<float> child1,
               std::span<float> child2, RandomSource& random, CrossoverEvent& event) {
    return crossValues<float>(type, mvxBlendingRCO, mvxUniformRCO, mvxUserDefinedRCO, mvxReal,
                              &CrossoverData::real, a, b, child1, child2, random, event,
                              [](double value) { return toSingleSaturated(value); });
}

bool crossInteger(std::int32_t type, std::span<const std::int32_t> a, std::span<const std::int32_t> b,
                  std::span<std::int32_t> child1, std::span<std::int32_t> child2, RandomSource& random,
                  CrossoverEvent& event) {
    return crossValues<std::int32_t>(type, mvxBlendingICO, mvxUniformICO, mvxUserDefinedICO, mvxInteger,
                                     &CrossoverData::integer, a, b, child1, child2, random, event,
                                     [](double value) { return toLongSaturated(value); });
}

}  // namespace tarnix::detail
