#include "mutation.h"

#include <cmath>

#include "rounding.h"
#include "tarnix/enums.h"

namespace tarnix::detail {

namespace {

void raiseMutation(MutationEvent& event, mvxDataType type) {
    event.after = event.before;
    if (event.handler != nullptr && *event.handler) {
        (*event.handler)(type, event.before, event.after);
    }
}

// A member for a real or integer mutation: never below `elite`, never the last.
std::int32_t drawValueMember(RandomSource& random, std::int32_t members, std::int32_t elite) {
    std::int32_t m = drawIndex(random, members - 1);
    while (m < elite) {
        m = drawIndex(random, members - 1);
    }
    return m;
}

}  // namespace

std::int64_t mutationCount(float probability, std::int32_t genes, std::int32_t members) {
    if (!(probability >= 0.0f && probability <= 1.0f)) {
        return -1;
    }
    return static_cast<std::int64_t>(
        std::floor(probability * static_cast<float>(genes) * static_cast<float>(members)));
}

bool mutateBinary(const MutationSettings& settings, Population& population, const GeneLayout& layout,
                  RandomSource& random, MutationEvent& event) {
    if (settings.type != mvxFlipBitBMU && settings.type != mvxUserDefinedBMU) {
        return false;
    }
    const std::int32_t members = population.size();
    const std::int32_t total = layout.totalBits;
    const std::int64_t count = mutationCount(settings.probability, total, members);
    if (count < 0) {
        return false;
    }
    const std::int32_t elite = settings.elitism ? 1 : 0;
    for (std::int64_t n = 0; n < count; ++n) {
        // Members 0 to elite and the last member keep their binary part.
        std::int32_t m = drawIndex(random, members - 1);
        while (m <= elite) {
            m = drawIndex(random, members - 1);
        }
        std::string& bits = population.binary(m);
        if (settings.type == mvxFlipBitBMU) {
            // Positions 1 to T - 1 (the last character is left alone); a one-bit
            // chromosome flips its only bit rather than searching for ever.
            std::int32_t q = 1;
            if (total > 1) {
                q = drawIndex(random, total);
                while (q < 1) {
                    q = drawIndex(random, total);
                }
            }
            char& c = bits[static_cast<std::size_t>(q - 1)];
            c = c == '0' ? '1' : '0';
        } else {
            event.before = MutationData{};
            event.before.binary = bits;
            raiseMutation(event, mvxBinary);
            if (!isBitString(event.after.binary, total)) {
                return false;
            }
            bits = event.after.binary;
        }
    }
    return true;
}

bool mutateReal(const MutationSettings& settings, Population& population, const GeneLayout& layout,
                RandomSource& random, MutationEvent& event) {
    if (settings.type != mvxRandomRMU && settings.type != mvxMinMaxRMU &&
        settings.type != mvxUserDefinedRMU) {
        return false;
    }
    const std::int32_t members = population.size();
    const std::int32_t genes = layout.realCount();
    const std::int64_t count = mutationCount(settings.probability, genes, members);
    if (count < 0) {
        return false;
    }
    const std::int32_t elite = settings.elitism ? 1 : 0;
    for (std::int64_t n = 0; n < count; ++n) {
        const std::int32_t m = drawValueMember(random, members, elite);
        const auto j = static_cast<std::size_t>(drawIndex(random, genes));
        float& gene = population.real(m)[j];
        const double low = layout.realMin[j];
        const double high = layout.realMax[j];
        if (settings.type == mvxRandomRMU) {
            gene = toSingleSaturated((high - low) * random.uniform() + low);
        } else if (settings.type == mvxMinMaxRMU) {
            gene = random.uniform() <= 0.5f ? layout.realMin[j] : layout.realMax[j];
        } else {
            event.before = MutationData{};
            event.before.real = gene;
            raiseMutation(event, mvxReal);
            gene = event.after.real;
        }
    }
    return true;
}

bool mutateInteger(const MutationSettings& settings, Population& population, const GeneLayout& layout,
                   RandomSource& random, MutationEvent& event) {
    if (settings.type != mvxRandomIMU && settings.type != mvxMinMaxIMU &&
        settings.type != mvxUserDefinedIMU) {
        return false;
    }
    const std::int32_t members = population.size();
    const std::int32_t genes = layout.integerCount();
    const std::int64_t count = mutationCount(settings.probability, genes, members);
    if (count < 0) {
        return false;
    }
    const std::int32_t elite = settings.elitism ? 1 : 0;
    for (std::int64_t n = 0; n < count; ++n) {
        const std::int32_t m = drawValueMember(random, members, elite);
        const auto j = static_cast<std::size_t>(drawIndex(random, genes));
        std::int32_t& gene = population.integer(m)[j];
        const double low = layout.integerMin[j];
        const double high = layout.integerMax[j];
        if (settings.type == mvxRandomIMU) {
            gene = toLongSaturated((high - low) * random.uniform() + low);
        } else if (settings.type == mvxMinMaxIMU) {
            gene = random.uniform() < 0.5f ? layout.integerMin[j] : layout.integerMax[j];
        } else {
            event.before = MutationData{};
            event.before.integer = gene;
            raiseMutation(event, mvxInteger);
            gene = event.after.integer;
        }
    }
    return true;
}

}  // namespace tarnix::detail
