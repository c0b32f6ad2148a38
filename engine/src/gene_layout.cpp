#include "gene_layout.h"

#include <algorithm>

namespace tarnix::detail {

std::optional<GeneLayout> makeGeneLayout(const GeneDefinitions& definitions, std::int32_t binaryCount,
                                         std::int32_t realCount, std::int32_t integerCount) {
    const auto fits = [](std::int32_t count, std::size_t defined) {
        return count >= 0 && static_cast<std::size_t>(count) <= defined;
    };
    if (!fits(binaryCount, definitions.bitsPerGene.size()) || !fits(realCount, definitions.realMin.size()) ||
        !fits(realCount, definitions.realMax.size()) || !fits(integerCount, definitions.integerMin.size()) ||
        !fits(integerCount, definitions.integerMax.size())) {
        return std::nullopt;
    }
    GeneLayout layout;
    layout.bitsPerGene.assign(definitions.bitsPerGene.begin(), definitions.bitsPerGene.begin() + binaryCount);
    layout.bitOffset.reserve(layout.bitsPerGene.size());
    for (const std::int32_t bits : layout.bitsPerGene) {
        layout.bitOffset.push_back(layout.totalBits);
        layout.totalBits += bits;
    }
    layout.realMin.assign(definitions.realMin.begin(), definitions.realMin.begin() + realCount);
    layout.realMax.assign(definitions.realMax.begin(), definitions.realMax.begin() + realCount);
    layout.integerMin.assign(definitions.integerMin.begin(), definitions.integerMin.begin() + integerCount);
    layout.integerMax.assign(definitions.integerMax.begin(), definitions.integerMax.begin() + integerCount);
    return layout;
}

bool isBitString(std::string_view text, std::int32_t length) {
    return static_cast<std::int32_t>(text.size()) == length &&
           std::all_of(text.begin(), text.end(), [](char c) { return c == '0' || c == '1'; });
}

}  // namespace tarnix::detail
