#pragma once

#include <cstddef>
#include <stdexcept>
#include <vector>

#include "random_source.h"

namespace tarnix::testing {

// Hands out a fixed list of draws, so operators can be checked on worked examples.
class ScriptedRandom final : public detail::RandomSource {
  public:
    explicit ScriptedRandom(std::vector<float> draws) : draws_(std::move(draws)) {}

    // The draw that makes Int(r * n) give `index`.
    static float slot(int index, int n) { return (static_cast<float>(index) + 0.5f) / static_cast<float>(n); }

    float uniform() override {
        if (next_ >= draws_.size()) {
            // Throwing ends the test instead of feeding a redraw loop for ever.
            throw std::out_of_range("more draws taken than scripted");
        }
        return draws_[next_++];
    }
    std::size_t used() const { return next_; }

  private:
    std::vector<float> draws_;
    std::size_t next_ = 0;
};

}  // namespace tarnix::testing
