#pragma once

#include <cstdint>

#include "gene_layout.h"
#include "population.h"
#include "random_source.h"
#include "tarnix/events.h"

namespace tarnix::detail {

// The user-defined mutation event and the engine's reusable buffers for it.
struct MutationEvent {
    const UserDefinedMutationFunction* handler = nullptr;
    MutationData before;
    MutationData after;
};

// What one mutation step of a gene kind needs from the settings.
struct MutationSettings {
    std::int32_t type = 0;
    float probability = 0.0f;
    bool elitism = true;
};

// Int(probability × genes × members), formed in Single precision as the settings
// are Singles; nothing for a probability outside 0..1 (a loaded, unchecked value).
std::int64_t mutationCount(float probability, std::int32_t genes, std::int32_t members);

// Each step mutates members of `population` in place; false for an unknown type,
// an unusable probability or a user-defined result that is not a bit string of
// the right length.
bool mutateBinary(const MutationSettings& settings, Population& population, const GeneLayout& layout,
                  RandomSource& random, MutationEvent& event);
bool mutateReal(const MutationSettings& settings, Population& population, const GeneLayout& layout,
                RandomSource& random, MutationEvent& event);
bool mutateInteger(const MutationSettings& settings, Population& population, const GeneLayout& layout,
                   RandomSource& random, MutationEvent& event);

}  // namespace tarnix::detail
