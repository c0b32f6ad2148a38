// The logic of the run window ("Run Design"), without a window: what its
// labels, progress bars and buttons show, and what its commands do. A window
// shows a RunWindowView and answers the RunWindowUser calls.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "kelvarn/design/design_process.h"

namespace kelvarn::design {

// Label colours of the best fitness, 0x00BBGGRR.
inline constexpr std::uint32_t kFeasibleColour = 0x00FF00;    // green
inline constexpr std::uint32_t kInfeasibleColour = 0x0000FF;  // red

struct RunWindowView {
    std::string numberOfRuns;       // txtNumOfRuns
    bool runEnabled = true;         // cmdRun
    bool closeEnabled = true;       // cmdClose
    bool stopEnabled = false;       // cmdStopRun
    bool resultsEnabled = false;    // cmdResults
    std::string currentRun;         // lblCurRun
    std::string currentGeneration;  // lblCurGeneration
    std::string bestFitness;        // lblBestFitness, "#,###"
    std::uint32_t bestFitnessColour = kInfeasibleColour;
    std::string bestFeasible;  // lblFesSol, "#,###"
    float runsProgress = 0;    // PB1, 0 to 100
    float runProgress = 0;     // PB2, 0 to 100
};

enum class MessageIcon { None, Exclamation, Information, Question };

// What the window does for the model.
class RunWindowUser {
  public:
    virtual ~RunWindowUser() = default;
    // Shows the view; called after every change.
    virtual void Refresh(const RunWindowView& view) = 0;
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    virtual bool AskYesNo(const std::string& question) = 0;
    // Gives the number-of-runs box the focus with its whole text selected.
    virtual void FocusNumberOfRuns() = 0;
    // The main window's Results command.
    virtual void SetResultsCommandEnabled(bool enabled) = 0;
    // Lets the window system process pending messages (a click on Stop Run
    // reaches the model from here).
    virtual void ProcessPendingMessages() {}
};

class RunWindowModel final : private ProgressObserver {
  public:
    // numberOfRuns is the session's setting: 0 when the program starts, 5 the
    // first time the window opens, then whatever was last run. host is the
    // engine's (may be null). All must outlive the model.
    RunWindowModel(std::int32_t& numberOfRuns, RunWindowUser& user, tarnix::Host* host = nullptr);

    const RunWindowView& view() const { return view_; }
    DesignProcess& process() { return process_; }
    // The outcome of the last design process of this window, if any.
    const std::optional<DesignOutcome>& outcome() const { return outcome_; }
    bool Running() const { return running_; }

    // The window opens.
    void Load();
    // The user edits the number of runs.
    void SetNumberOfRunsText(const std::string& text);
    // "Run": checks the number of runs and the designed pipes, then runs a
    // whole design process and shows its end message.
    void Run(Project& project, HydraulicModel& model,
             const std::filesystem::path& resultsFolder = ProgramFolder());
    // "Stop Run": asks, and on Yes asks the process to stop.
    void StopRun();
    // Whether the window may close now; while a process runs it may not (the
    // user is asked to stop it instead).
    bool RequestClose();

  private:
    void runStarted(const DesignProgress& progress) override;
    void generationReported(const DesignProgress& progress) override;
    void runsEnded(const DesignProgress& progress) override;

    std::int32_t& numberOfRuns_;
    RunWindowUser& user_;
    DesignProcess process_;
    RunWindowView view_;
    std::optional<DesignOutcome> outcome_;
    bool running_ = false;
};

}  // namespace kelvarn::design
