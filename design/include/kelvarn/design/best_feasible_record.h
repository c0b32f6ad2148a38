// The cheapest feasible design seen in a design process, over all its runs.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kelvarn::design {

struct BestFeasibleRecord {
    static constexpr float kNoCost = 1E+38f;

    float BestFeasibleCost = kNoCost;
    std::vector<std::int32_t> BestFeasibleGenes;  // empty until FeasibleFound
    bool FeasibleFound = false;

    // Keeps a feasible design that is strictly cheaper; on equal cost the
    // earlier one stays. Returns whether the record changed.
    bool Offer(float cost, std::span<const std::int32_t> genes) {
        if (!(cost < BestFeasibleCost)) {
            return false;
        }
        BestFeasibleCost = cost;
        BestFeasibleGenes.assign(genes.begin(), genes.end());
        FeasibleFound = true;
        return true;
    }

    void Reset() { *this = BestFeasibleRecord(); }
};

}  // namespace kelvarn::design
