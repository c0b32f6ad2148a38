#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "gene_definitions.h"

namespace tarnix::detail {

// The genes one run works with, fixed when the run starts: the first
// NumberOf…Genes genes of each kind's definition.
struct GeneLayout {
    std::vector<std::int32_t> bitsPerGene;
    std::vector<std::int32_t> bitOffset;  // first character of each binary gene
    std::int32_t totalBits = 0;
    std::vector<float> realMin, realMax;
    std::vector<std::int32_t> integerMin, integerMax;

    std::int32_t binaryCount() const { return static_cast<std::int32_t>(bitsPerGene.size()); }
    std::int32_t realCount() const { return static_cast<std::int32_t>(realMin.size()); }
    std::int32_t integerCount() const { return static_cast<std::int32_t>(integerMin.size()); }
};

// Nothing when a count is negative or larger than its definition (counts loaded
// from a property store may not match any definition).
std::optional<GeneLayout> makeGeneLayout(const GeneDefinitions& definitions, std::int32_t binaryCount,
                                         std::int32_t realCount, std::int32_t integerCount);

// The unsigned value of a bit string, most significant bit first ("0101" gives 5).
inline std::int32_t decodeBits(std::string_view bits) {
    std::uint32_t value = 0;
    for (const char c : bits) {
        value = (value << 1) | (c == '1' ? 1u : 0u);
    }
    return static_cast<std::int32_t>(value);
}

// Decodes every binary gene of one member's string into values (sized by the caller).
inline void decodeBinaryGenes(std::string_view bits, const GeneLayout& layout,
                              std::vector<std::int32_t>& values) {
    for (std::size_t j = 0; j < layout.bitsPerGene.size(); ++j) {
        values[j] = decodeBits(bits.substr(static_cast<std::size_t>(layout.bitOffset[j]),
                                           static_cast<std::size_t>(layout.bitsPerGene[j])));
    }
}

// True when text is a binary part of the given length made of '0' and '1' only.
bool isBitString(std::string_view text, std::int32_t length);

}  // namespace tarnix::detail
