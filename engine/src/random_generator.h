#pragma once

#include <cstdint>

#include "random_source.h"

namespace tarnix::detail {

// xoshiro256** with seeding that mixes the seed into the current state. The run
// reseeds before every operator call; replacing the state instead would repeat
// the same draws for every pair and every generation under a fixed seed.
// A fresh generator always starts from the same state, so a fixed non-zero seed
// makes runs on fresh engines identical.
class RandomGenerator final : public RandomSource {
  public:
    RandomGenerator();

    // A non-zero seed is mixed in as given; 0 mixes in the system timer.
    void seed(float randomSeed);
    // Mixes an arbitrary 64-bit value into the state.
    void mix(std::uint64_t value);

    float uniform() override;
    std::uint64_t next();

  private:
    std::uint64_t state_[4];
};

}  // namespace tarnix::detail
