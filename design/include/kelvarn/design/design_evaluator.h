// The two judgements a design run asks of a chromosome: its fitness (keeping
// the best feasible design) and whether it is feasible.
#pragma once

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "kelvarn/design/best_feasible_record.h"
#include "kelvarn/design/evaluation.h"

namespace kelvarn::design {

class DesignEvaluator {
  public:
    // The layout and the model must outlive the evaluator. With caching on, a
    // chromosome simulated before is judged from memory: a simulation depends
    // only on the model as set, so the outcome is the same, at a fraction of
    // the cost (the survivors of every generation come back unchanged).
    DesignEvaluator(const DesignLayout& layout, const PenaltySettings& settings, HydraulicModel& model,
                    bool caching = true);

    // The fitness of one chromosome; a feasible one strictly cheaper than the
    // best so far becomes the best.
    float EvaluateDesign(std::span<const std::int32_t> genes);
    // Whether the chromosome is feasible; the record is left alone.
    bool IsDesignFeasible(std::span<const std::int32_t> genes);
    // The full judgement, without touching the record.
    Evaluation Judge(std::span<const std::int32_t> genes);

    const BestFeasibleRecord& record() const { return record_; }
    BestFeasibleRecord& record() { return record_; }

    std::int64_t evaluations() const { return evaluations_; }  // EvaluateDesign calls
    std::int64_t simulations() const { return simulations_; }  // complete simulations run

  private:
    struct GenesHash {
        std::size_t operator()(const std::vector<std::int32_t>& genes) const;
    };
    // The cache stays bounded; when full it starts again.
    static constexpr std::size_t kCacheLimit = 200'000;

    bool Cacheable(std::span<const std::int32_t> genes) const;

    const DesignLayout& layout_;
    PenaltySettings settings_;
    HydraulicModel& model_;
    bool caching_;
    BestFeasibleRecord record_;
    std::unordered_map<std::vector<std::int32_t>, Evaluation, GenesHash> cache_;
    std::vector<std::int32_t> key_;
    std::int64_t evaluations_ = 0;
    std::int64_t simulations_ = 0;
};

}  // namespace kelvarn::design
