// std::pow remembered for the few distinct diameters and roughnesses a network has: every
// run recomputes the resistance of each pipe a caller may have changed, and a design run
// changes hundreds per evaluation, all from one small catalogue.
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace kvepa2 {

class PowMemo {
  public:
    // Exactly std::pow(x, e).
    double operator()(double x, double e) {
        const std::uint64_t bx = std::bit_cast<std::uint64_t>(x);
        const std::uint64_t be = std::bit_cast<std::uint64_t>(e);
        Entry& slot = slots_[((bx ^ (be * 0x9E3779B97F4A7C15ULL)) * 0xFF51AFD7ED558CCDULL) >> (64 - kBits)];
        if (!slot.used || slot.x != bx || slot.e != be) {
            slot = {bx, be, std::pow(x, e), true};
        }
        return slot.value;
    }

  private:
    static constexpr int kBits = 7;
    struct Entry {
        std::uint64_t x = 0;
        std::uint64_t e = 0;
        double value = 0.0;
        bool used = false;
    };
    std::array<Entry, (1u << kBits)> slots_{};
};

}  // namespace kvepa2
