// One design process: several genetic runs of the engine on one gene layout,
// the cheapest feasible design over all of them, and, when there is one, the
// final pass that writes it into the model, saves the model as "Results.inp"
// and simulates it once more for the result fields of the designed elements.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "kelvarn/design/best_feasible_record.h"
#include "kelvarn/design/design_layout.h"
#include "kelvarn/design/hydraulic_model.h"
#include "kelvarn/design/program_folder.h"
#include "kelvarn/design/progress_observer.h"
#include "kelvarn/design/project.h"
#include "tarnix/engine.h"

namespace kelvarn::design {

// The reset values of the result fields before the result simulation.
inline constexpr float kResultMinimumStart = 1E+12f;            // 999999995904
inline constexpr float kResultMaximumStart = -999999999999.0f;  // -999999995904
// A result velocity beyond this magnitude was never reached: shown as 0.
inline constexpr float kUnreachedVelocity = 1000.0f;

struct DesignOutcome {
    enum class Status {
        Refused,    // nothing was run and nothing changed; message says why
        Failed,     // the toolkit failed; message says why; no results were written
        Completed,  // all runs done (or stopped); see record
    };
    Status status = Status::Refused;
    std::string message;

    BestFeasibleRecord record;  // the best feasible design of the process
    bool stopped = false;       // a stop request ended the process early
    std::int32_t runsStarted = 0;
    std::int64_t evaluations = 0;
    std::int64_t simulations = 0;
    double seconds = 0;

    std::filesystem::path resultsInp;  // where "Results.inp" was written, when it was
    bool resultsInpSaved = false;

    // "Design process has ended - ..." for a completed process.
    std::string EndMessage() const;
};

class DesignProcess {
  public:
    // host (may be null) is the engine's host: message boxes, pending window
    // messages, the clock. It must outlive the process.
    explicit DesignProcess(tarnix::Host* host = nullptr);
    ~DesignProcess();
    DesignProcess(const DesignProcess&) = delete;
    DesignProcess& operator=(const DesignProcess&) = delete;

    // The engine, for settings SetupDesignGA leaves alone (RandomSeed, ...).
    tarnix::Engine& engine() { return engine_; }

    // observer (may be null) must outlive the runs it watches.
    void SetObserver(ProgressObserver* observer) { observer_ = observer; }
    // Judging repeated chromosomes from memory (on by default).
    void SetCaching(bool caching) { caching_ = caching; }

    // Sizes one binary gene per designed pipe, resets the engine, defines the
    // genes and sets the engine's properties. Throws DesignDataError when the
    // design lists cannot be resolved.
    void SetupDesignGA(const Project& project);

    // The whole process on the project's network file, with the toolkit behind
    // model. Refused, changing nothing, when there are no pipes to design or
    // the design data cannot be resolved. "Results.inp" goes to resultsFolder.
    DesignOutcome RunDesign(Project& project, HydraulicModel& model, std::int32_t numberOfRuns,
                            const std::filesystem::path& resultsFolder = ProgramFolder());

    // Ends the current run at the engine's next stop test once it has run for
    // more than a second, and skips the remaining runs. Safe from any thread.
    void RequestStop() { stopRequested_ = true; }
    bool StopRequested() const { return stopRequested_; }

    std::int32_t GeneCount() const { return static_cast<std::int32_t>(geneBits_.size()); }
    // Entry k - 1 is the number of bits of the gene of designed pipe k.
    const std::vector<std::int32_t>& GeneBits() const { return geneBits_; }

  private:
    tarnix::Host* host_;
    tarnix::Engine engine_;
    ProgressObserver* observer_ = nullptr;
    bool caching_ = true;
    std::atomic<bool> stopRequested_{false};
    std::vector<std::int32_t> geneBits_;
};

}  // namespace kelvarn::design
