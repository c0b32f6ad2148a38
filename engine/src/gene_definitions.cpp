#include "gene_definitions.h"

#include <cmath>
#include <limits>
#include <optional>

#include "rounding.h"

namespace tarnix::detail {

namespace {

DefinitionOutcome failure(std::string message = {}) {
    return {false, 0, std::move(message)};
}

DefinitionOutcome success(std::int32_t count) {
    return {true, count, {}};
}

// A bound as a Single; nothing when it is not a number or beyond the Single range.
std::optional<float> toSingle(double value) {
    if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

}  // namespace

DefinitionOutcome defineBinaryGenes(GeneDefinitions& definitions, std::int32_t numberOfGenes,
                                    const BoundedArray<std::int32_t>& geneNumberOfBits) {
    if (geneNumberOfBits.elementCount() != numberOfGenes) {
        return failure("Number of elements in GeneNumberOfBits<>NumberOfGenes");
    }
    if (numberOfGenes <= 0) {
        return failure("NumberOfGenes must be greater then 0");
    }
    definitions.bitsPerGene.assign(static_cast<std::size_t>(numberOfGenes), 0);
    std::int64_t totalBits = 0;
    std::size_t k = 0;
    for (const std::int32_t bits : geneNumberOfBits.elements()) {
        if (bits <= 0) {
            return failure("All element in GeneNumberOfBits must be greater then 0");
        }
        // A wider gene would not fit the Long the host receives.
        if (bits > kMaxBitsPerGene) {
            return failure("All element in GeneNumberOfBits must be at most 31");
        }
        definitions.bitsPerGene[k++] = bits;
        totalBits += bits;
    }
    if (totalBits > std::numeric_limits<std::int32_t>::max()) {
        return failure("The total number of bits must be at most 2147483647");
    }
    return success(numberOfGenes);
}

DefinitionOutcome defineRealGenes(GeneDefinitions& definitions, std::int32_t numberOfGenes,
                                  const BoundedArray<double>& geneMinValue,
                                  const BoundedArray<double>& geneMaxValue) {
    if (geneMinValue.elementCount() != numberOfGenes) {
        return failure("Number of elements in GeneMinValue<>NumberOfGenes");
    }
    if (geneMaxValue.elementCount() != numberOfGenes) {
        return failure("Number of elements in GeneMaxValue<>NumberOfGenes");
    }
    if (numberOfGenes < 1) {
        return failure("NumberOfGenes must be greater then 0");
    }
    const auto n = static_cast<std::size_t>(numberOfGenes);
    definitions.realMin.assign(n, 0.0f);
    definitions.realMax.assign(n, 0.0f);
    const std::string trapped = "DefineRealGenes_Err - the on error traped the error";
    for (std::size_t k = 0; k < n; ++k) {
        const auto value = toSingle(geneMinValue.elements()[k]);
        if (!value) {
            return failure(trapped);
        }
        definitions.realMin[k] = *value;
    }
    for (std::size_t k = 0; k < n; ++k) {
        const auto value = toSingle(geneMaxValue.elements()[k]);
        if (!value) {
            return failure(trapped);
        }
        definitions.realMax[k] = *value;
        if (!(definitions.realMax[k] > definitions.realMin[k])) {
            return failure("RealGenesMaxValue(n) must be greater then RealGenesMinValue(n)");
        }
    }
    return success(numberOfGenes);
}

DefinitionOutcome defineIntegerGenes(GeneDefinitions& definitions, std::int32_t numberOfGenes,
                                     const BoundedArray<double>& geneMinValue,
                                     const BoundedArray<double>& geneMaxValue) {
    if (geneMinValue.elementCount() != numberOfGenes) {
        return failure("Number of elements in GeneMinValue<>NumberOfGenes");
    }
    if (geneMaxValue.elementCount() != numberOfGenes) {
        return failure("Number of elements in GeneMaxValue<>NumberOfGenes");
    }
    if (numberOfGenes < 1) {
        return failure();
    }
    const auto n = static_cast<std::size_t>(numberOfGenes);
    definitions.integerMin.assign(n, 0);
    definitions.integerMax.assign(n, 0);
    const std::string trapped = "DefineIntegerGenes_Err - the on error traped the error";
    for (std::size_t k = 0; k < n; ++k) {
        const auto value = toLong(geneMinValue.elements()[k]);
        if (!value) {
            return failure(trapped);
        }
        definitions.integerMin[k] = *value;
    }
    for (std::size_t k = 0; k < n; ++k) {
        const auto value = toLong(geneMaxValue.elements()[k]);
        if (!value) {
            return failure(trapped);
        }
        definitions.integerMax[k] = *value;
        if (!(definitions.integerMax[k] > definitions.integerMin[k])) {
            return failure("IntGenesMaxValue(n) must be greater then IntGenesMinValue(n)");
        }
    }
    return success(numberOfGenes);
}

}  // namespace tarnix::detail
