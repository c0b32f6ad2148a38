#include "random_generator.h"

#include <atomic>
#include <bit>
#include <chrono>

namespace tarnix::detail {

namespace {

std::uint64_t splitMix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

RandomGenerator::RandomGenerator() {
    std::uint64_t x = 0x4B656C7661726E31ULL;
    for (auto& word : state_) {
        word = splitMix(x);
    }
}

void RandomGenerator::mix(std::uint64_t value) {
    // Adding (not assigning, not xoring) makes a repeated seed move the state on
    // rather than back; the draw afterwards spreads the change over every word.
    std::uint64_t x = value ^ next();
    for (auto& word : state_) {
        word += splitMix(x);
    }
    if ((state_[0] | state_[1] | state_[2] | state_[3]) == 0) {
        state_[0] = 1;
    }
    next();
}

void RandomGenerator::seed(float randomSeed) {
    if (randomSeed != 0.0f) {
        mix(std::bit_cast<std::uint32_t>(randomSeed));
    } else {
        // The two clocks tick together, so their plain xor can repeat between generators
        // seeded a moment apart; a count of timer seeds taken keeps every one distinct.
        static std::atomic<std::uint64_t> taken{0};
        const auto steady =
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        const auto system =
            static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
        mix(steady ^ std::rotl(system, 32) ^ (0x9E3779B97F4A7C15ULL * ++taken));
    }
}

std::uint64_t RandomGenerator::next() {
    const std::uint64_t result = std::rotl(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = std::rotl(state_[3], 45);
    return result;
}

float RandomGenerator::uniform() {
    // 24 random bits: every value is a Single in [0, 1), never 1 itself.
    return static_cast<float>(next() >> 40) * 0x1.0p-24f;
}

}  // namespace tarnix::detail
