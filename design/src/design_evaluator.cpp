#include "kelvarn/design/design_evaluator.h"

namespace kelvarn::design {

DesignEvaluator::DesignEvaluator(const DesignLayout& layout, const PenaltySettings& settings,
                                 HydraulicModel& model, bool caching)
    : layout_(layout), settings_(settings), model_(model), caching_(caching) {}

std::size_t DesignEvaluator::GenesHash::operator()(const std::vector<std::int32_t>& genes) const {
    std::size_t h = 1469598103934665603ull;
    for (std::int32_t g : genes) {
        h ^= static_cast<std::size_t>(static_cast<std::uint32_t>(g));
        h *= 1099511628211ull;
    }
    return h;
}

bool DesignEvaluator::Cacheable(std::span<const std::int32_t> genes) const {
    // A gene that selects no option leaves the pipe's status as the previous
    // chromosome set it, so its outcome depends on history: never cached.
    if (!caching_ || genes.size() != layout_.pipes.size()) {
        return false;
    }
    for (std::size_t k = 0; k < genes.size(); ++k) {
        if (DecodeGene(layout_.pipes[k], genes[k]) == nullptr) {
            return false;
        }
    }
    return true;
}

Evaluation DesignEvaluator::Judge(std::span<const std::int32_t> genes) {
    const bool cacheable = Cacheable(genes);
    if (cacheable) {
        key_.assign(genes.begin(), genes.end());
        auto found = cache_.find(key_);
        if (found != cache_.end()) {
            return found->second;
        }
    }
    Evaluation e = SimulateDesign(layout_, settings_, model_, genes);
    ++simulations_;
    if (cacheable) {
        if (cache_.size() >= kCacheLimit) {
            cache_.clear();
        }
        cache_.emplace(key_, e);
    }
    return e;
}

float DesignEvaluator::EvaluateDesign(std::span<const std::int32_t> genes) {
    ++evaluations_;
    const Evaluation e = Judge(genes);
    if (e.feasible) {
        record_.Offer(e.cost, genes);
    }
    return e.fitness;
}

bool DesignEvaluator::IsDesignFeasible(std::span<const std::int32_t> genes) {
    return Judge(genes).feasible;
}

}  // namespace kelvarn::design
