// Iterative refinement of the node-head solve, with residuals in extended precision, used while
// some nodes reach the reservoirs and tanks only through closed links. A closed link keeps a conductance of
// 1e-8, so such a group's heads sit near -1e8 ft and the system is conditioned so badly that the plain
// factorisation's round-off moves them by 1e6 ft from trial to trial: the trials then never meet the
// accuracy, where the reference engine converges.
#pragma once

#include <cstdint>
#include <vector>

namespace kvepa2 {

struct SimulationState;

class SolutionRefinement {
  public:
    // Node-to-link incidence of the model; called once per simulation.
    void prepare(const SimulationState& s);
    // True when some junction is joined to no fixed-grade node by links that are not closed.
    // Looked up again only when the set of closed links has changed.
    bool needed(const SimulationState& s);
    // Right-hand side of the system, kept before the solve overwrites it.
    void keep(const SimulationState& s);
    // Corrects the heads the solve left in s.rhs by solutions of the residual system.
    void refine(SimulationState& s);

  private:
    std::vector<int> start_;  // CSR: links at node n are link_[start_[n] .. start_[n + 1])
    std::vector<int> link_;
    std::vector<int> queue_;
    std::vector<char> reached_;
    std::vector<double> rhs_;
    std::vector<double> residual_;
    std::vector<long double> extended_;
    std::uint64_t signature_ = 0;
    bool known_ = false;
    bool cutOff_ = false;
};

}  // namespace kvepa2
