#pragma once

#include <cstdint>

namespace tarnix::detail {

// Where the operators take their draws from; tests feed exact draws through it.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // A uniform draw in [0, 1).
    virtual float uniform() = 0;
};

// Int(r * n) for a fresh draw r: a slot number from 0 to n - 1. The product is
// formed in double and held below n, so a draw just under 1 never yields n.
inline std::int32_t drawIndex(RandomSource& random, std::int32_t n) {
    const auto index = static_cast<std::int32_t>(static_cast<double>(random.uniform()) * n);
    return index < n ? index : n - 1;
}

}  // namespace tarnix::detail
