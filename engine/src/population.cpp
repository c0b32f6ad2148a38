#include "population.h"

#include <algorithm>

#include "rounding.h"

namespace tarnix::detail {

void Population::allocate(std::int32_t size, const GeneLayout& layout) {
    const auto members = static_cast<std::size_t>(size);
    size_ = size;
    realCount_ = layout.realCount();
    integerCount_ = layout.integerCount();
    binary_.assign(layout.binaryCount() > 0 ? members : 0,
                   std::string(static_cast<std::size_t>(layout.totalBits), '0'));
    real_.assign(members * static_cast<std::size_t>(realCount_), 0.0f);
    integer_.assign(members * static_cast<std::size_t>(integerCount_), 0);
}

void Population::clear() {
    size_ = realCount_ = integerCount_ = 0;
    binary_.clear();
    real_.clear();
    integer_.clear();
}

void Population::copyMember(std::int32_t to, const Population& source, std::int32_t from) {
    if (!binary_.empty()) {
        binary(to) = source.binary(from);
    }
    std::ranges::copy(source.real(from), real(to).begin());
    std::ranges::copy(source.integer(from), integer(to).begin());
}

void Population::copyAll(const Population& source) {
    for (std::int32_t m = 0; m < size_; ++m) {
        copyMember(m, source, m);
    }
}

void drawInitialPopulation(Population& population, const GeneLayout& layout, RandomSource& random) {
    const std::int32_t size = population.size();
    if (layout.binaryCount() > 0) {
        for (std::int32_t m = 0; m < size; ++m) {
            for (char& c : population.binary(m)) {
                c = random.uniform() >= 0.5f ? '1' : '0';
            }
        }
    }
    for (std::int32_t m = 0; m < size; ++m) {
        auto genes = population.real(m);
        for (std::size_t j = 0; j < genes.size(); ++j) {
            const double low = layout.realMin[j];
            genes[j] = toSingleSaturated((layout.realMax[j] - low) * random.uniform() + low);
        }
    }
    for (std::int32_t m = 0; m < size; ++m) {
        auto genes = population.integer(m);
        for (std::size_t j = 0; j < genes.size(); ++j) {
            const double low = layout.integerMin[j];
            genes[j] = toLongSaturated((layout.integerMax[j] - low) * random.uniform() + low);
        }
    }
}

}  // namespace tarnix::detail
