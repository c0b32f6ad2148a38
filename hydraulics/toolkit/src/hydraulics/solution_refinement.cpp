#include "hydraulics/solution_refinement.h"

#include <algorithm>

#include "hydraulics/coefficients.h"
#include "hydraulics/simulation_state.h"

namespace kvepa2 {

namespace {
// Each pass gains about what double precision loses to the conditioning; two suffice.
constexpr int kPasses = 2;
}  // namespace

void SolutionRefinement::prepare(const SimulationState& s) {
    start_.assign(s.nodes + 1, 0);
    for (int k = 0; k < s.links; ++k) {
        ++start_[s.from[k] + 1];
        ++start_[s.to[k] + 1];
    }
    for (int n = 0; n < s.nodes; ++n) start_[n + 1] += start_[n];
    link_.assign(start_[s.nodes], 0);
    std::vector<int> fill(start_.begin(), start_.end() - 1);
    for (int k = 0; k < s.links; ++k) {
        link_[fill[s.from[k]]++] = k;
        link_[fill[s.to[k]]++] = k;
    }
    queue_.assign(s.nodes, 0);
    reached_.assign(s.nodes, 0);
    rhs_.assign(std::max(s.junctions, 1), 0.0);
    residual_.assign(std::max(s.junctions, 1), 0.0);
    extended_.assign(std::max(s.junctions, 1), 0.0L);
    known_ = false;
}

bool SolutionRefinement::needed(const SimulationState& s) {
    std::uint64_t sig = 0x9E3779B97F4A7C15ULL;
    for (int k = 0; k < s.links; ++k)
        if (isClosedStatus(s.status[k]))
            sig = (sig ^ static_cast<std::uint64_t>(k + 1)) * 0x100000001B3ULL;
    if (known_ && sig == signature_)
        return cutOff_;
    signature_ = sig;
    known_ = true;
    std::fill(reached_.begin(), reached_.end(), 0);
    int head = 0;
    int tail = 0;
    for (int n = s.junctions; n < s.nodes; ++n) {
        reached_[n] = 1;
        queue_[tail++] = n;
    }
    while (head < tail) {
        const int n = queue_[head++];
        for (int e = start_[n]; e < start_[n + 1]; ++e) {
            const int k = link_[e];
            if (isClosedStatus(s.status[k]))
                continue;
            const int m = s.from[k] == n ? s.to[k] : s.from[k];
            if (!reached_[m]) {
                reached_[m] = 1;
                queue_[tail++] = m;
            }
        }
    }
    cutOff_ = tail < s.nodes;
    return cutOff_;
}

void SolutionRefinement::keep(const SimulationState& s) {
    std::copy(s.rhs.begin(), s.rhs.begin() + s.junctions, rhs_.begin());
}

void SolutionRefinement::refine(SimulationState& s) {
    // The products of 1e7 gradients and 1e7 ft heads cancel, hence the extended precision.
    const int nj = s.junctions;
    double* x = s.rhs.data();
    double* r = residual_.data();
    long double* acc = extended_.data();
    for (int pass = 0; pass < kPasses; ++pass) {
        matrixResidual(s, rhs_.data(), x, acc);
        for (int n = 0; n < nj; ++n) r[n] = static_cast<double>(acc[n]);
        s.ldl.solve(r);
        for (int n = 0; n < nj; ++n) x[n] += r[n];
    }
}

}  // namespace kvepa2
