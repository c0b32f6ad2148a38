// A solve's progress trial by trial, as the lines of a full status report ([REPORT] STATUS
// FULL): the relative flow change of every trial, the status changes between trials and how
// each period ended, worded as EPANET words them so the two reports can be compared.
#pragma once

#include <string>
#include <vector>

namespace kvepa2 {

class Model;

class TrialLog {
  public:
    explicit TrialLog(const Model& model) : model_(model) {}

    void balancing(long time);
    void trial(int iteration, double relativeChange);
    // Statuses as HydraulicSimulation::LinkStatusCode; changes that read alike are left out.
    void switched(int link, int from, int to);
    void solved(long time, bool balanced, int trials, double relativeChange);

    // The lines so far, handed over and cleared.
    std::vector<std::string> take();

  private:
    const Model& model_;
    std::vector<std::string> lines_;
};

}  // namespace kvepa2
