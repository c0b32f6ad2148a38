#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tarnix/bounded_array.h"

namespace tarnix::detail {

// The genes as the host defined them; kept until ResetMoravex or a new
// definition of the same kind. The gene counts themselves are settings.
struct GeneDefinitions {
    std::vector<std::int32_t> bitsPerGene;
    std::vector<float> realMin;
    std::vector<float> realMax;
    std::vector<std::int32_t> integerMin;
    std::vector<std::int32_t> integerMax;
};

// The result of a definition: the new gene count (0 on failure) and the message
// to show, if any.
struct DefinitionOutcome {
    bool ok = false;
    std::int32_t count = 0;
    std::string message;
};

// The largest bit count of one binary gene: its value must fit a Long.
inline constexpr std::int32_t kMaxBitsPerGene = 31;

DefinitionOutcome defineBinaryGenes(GeneDefinitions& definitions, std::int32_t numberOfGenes,
                                    const BoundedArray<std::int32_t>& geneNumberOfBits);
DefinitionOutcome defineRealGenes(GeneDefinitions& definitions, std::int32_t numberOfGenes,
                                  const BoundedArray<double>& geneMinValue,
                                  const BoundedArray<double>& geneMaxValue);
DefinitionOutcome defineIntegerGenes(GeneDefinitions& definitions, std::int32_t numberOfGenes,
                                     const BoundedArray<double>& geneMinValue,
                                     const BoundedArray<double>& geneMaxValue);

}  // namespace tarnix::detail
