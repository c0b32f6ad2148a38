// The pipe options of the benchmark's design problems, the same as bench-epanet.js builds them:
// the published catalogues of the two design benchmarks, scaled original diameters elsewhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvepa2::bench {

struct PipeOption {
    float diameter = 0.0f;
    float roughness = 0.0f;
};

struct DesignPipe {
    int index = 0;
    std::vector<PipeOption> options;
};

// Options for one pipe of network `name` (file base name), given its diameter and roughness.
std::vector<PipeOption> optionsFor(const std::string& name, float diameter, float roughness);

// mulberry32, so that both benchmark programs draw the same option sequence from one seed.
class Rng {
  public:
    explicit Rng(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ += 0x6d2b79f5u;
        std::uint32_t t = state_;
        t = (t ^ (t >> 15)) * (t | 1u);
        t ^= t + (t ^ (t >> 7)) * (t | 61u);
        return t ^ (t >> 14);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>((next() / 4294967296.0) * n); }

  private:
    std::uint32_t state_;
};

}  // namespace kvepa2::bench
