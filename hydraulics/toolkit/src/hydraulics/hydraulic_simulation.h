// The hydraulic simulation of one model: steady-state solves period by period over the
// simulation duration, with tanks, patterns, controls and rules. All state lives here, so
// several models can be simulated on several threads at once.
#pragma once

#include <memory>

namespace kvepa2 {

class Model;
class SimulationState;
class TrialLog;

class HydraulicSimulation {
  public:
    // Analyses topology and matrix sparsity once; the model must outlive the simulation.
    explicit HydraulicSimulation(Model& model);
    ~HydraulicSimulation();
    HydraulicSimulation(const HydraulicSimulation&) = delete;
    HydraulicSimulation& operator=(const HydraulicSimulation&) = delete;

    // ENinitH: back to time 0 with the same initial flows, statuses and tank levels every
    // time, re-reading the link properties a caller may have changed in the model.
    int init(int saveFlag);
    // ENrunH: solves the current time; returns 0, a warning 1-6 or an error >= 100.
    int run(long& currentTime);
    // ENnextH: advances to the next hydraulic event; timeStep is 0 at the end of the duration.
    int next(long& timeStep);

    // Results at the current time, internal units (ft, cfs, s), zero-based indexes.
    double nodeHead(int i) const;
    double nodePressure(int i) const;  // head minus elevation, ft
    // Actual outflow incl. emitter and pressure-driven reductions; a supplying reservoir or
    // tank shows a negative demand.
    double nodeDemand(int i) const;
    double nodeEmitterFlow(int i) const;
    double nodeDemandDeficit(int i) const;  // required minus delivered demand (PDA), cfs
    double tankVolume(int i) const;         // ft3, node index of a tank; 0 for other nodes
    double tankLevel(int i) const;          // water depth above the tank bottom, ft

    double linkFlow(int i) const;
    double linkVelocity(int i) const;  // ft/s, absolute
    double linkHeadloss(int i) const;  // head at start minus head at end, ft
    int linkStatus(int i) const;       // 0 closed, 1 open (EN_STATUS)
    int linkStatusCode(int i) const;   // detailed LinkStatusCode below
    double linkSetting(int i) const;   // current setting (roughness, speed or valve setting)
    bool linkFixed(int i) const;
    bool linkShownOpen(int i) const;  // a valve under its setting that EPANET reports open       // a valve
                                      // fixed open or closed, its setting out of force
    double linkEnergy(int i) const;   // pump power, kW; 0 for other links

    // Run-time changes (EN_STATUS, EN_SETTING set between steps).
    void setLinkStatus(int i, int open);
    void setLinkSetting(int i, double value);

    // Lines of a full status report for every later solve (nullptr: none); the log must
    // outlive its use here.
    void setTrialLog(TrialLog* log);

    long currentTime() const;
    int iterations() const;        // trials used by the last solve
    double relativeError() const;  // accuracy reached by the last solve
    bool started() const;          // init() has been called since construction

    // EPANET's detailed link statuses.
    enum LinkStatusCode {
        kXHead = 0,       // pump cannot deliver head (closed)
        kTempClosed = 1,  // closed by a full or empty tank
        kClosed = 2,
        kOpen = 3,
        kActive = 4,
        kXFlow = 5,      // pump beyond its curve's maximum flow
        kXFcv = 6,       // FCV cannot deliver its flow
        kXPressure = 7,  // PRV/PSV cannot deliver its pressure
    };

  private:
    std::unique_ptr<SimulationState> state_;
};

}  // namespace kvepa2
