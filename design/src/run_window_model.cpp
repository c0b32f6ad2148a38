// Built only where the engine is part of the build.
#if __has_include("tarnix/engine.h")
#include "kelvarn/design/run_window_model.h"

#include "kelvarn/common/number_format.h"
#include "kelvarn/design/design_messages.h"
#include "kelvarn/design/number_of_runs.h"

namespace kelvarn::design {

RunWindowModel::RunWindowModel(std::int32_t& numberOfRuns, RunWindowUser& user, tarnix::Host* host)
    : numberOfRuns_(numberOfRuns), user_(user), process_(host) {
    process_.SetObserver(this);
}

void RunWindowModel::Load() {
    view_.resultsEnabled = false;
    view_.stopEnabled = false;
    if (numberOfRuns_ == 0) {
        numberOfRuns_ = 5;
    }
    view_.numberOfRuns = std::to_string(numberOfRuns_);
    user_.Refresh(view_);
}

void RunWindowModel::SetNumberOfRunsText(const std::string& text) {
    view_.numberOfRuns = text;
}

void RunWindowModel::Run(Project& project, HydraulicModel& model,
                         const std::filesystem::path& resultsFolder) {
    if (running_) {
        return;  // the window disables Run while a process runs
    }
    const std::optional<std::int32_t> runs = ParseNumberOfRuns(view_.numberOfRuns);
    if (!runs) {
        user_.ShowMessage(messages::kInvalidNumberOfRuns, MessageIcon::Exclamation);
        user_.FocusNumberOfRuns();
        return;
    }
    numberOfRuns_ = *runs;
    if (project.DesignPipes.empty()) {
        user_.ShowMessage(messages::kNoPipesToDesign, MessageIcon::Exclamation);
        return;
    }
    user_.SetResultsCommandEnabled(false);
    view_.runEnabled = false;
    view_.closeEnabled = false;
    view_.stopEnabled = true;
    view_.bestFitness.clear();
    view_.currentGeneration.clear();
    view_.currentRun.clear();
    view_.bestFeasible.clear();
    view_.resultsEnabled = false;
    user_.Refresh(view_);

    running_ = true;
    outcome_ = process_.RunDesign(project, model, numberOfRuns_, resultsFolder);
    running_ = false;

    if (outcome_->status == DesignOutcome::Status::Completed) {
        if (outcome_->record.FeasibleFound) {
            view_.resultsEnabled = true;
            user_.SetResultsCommandEnabled(true);
        }
        user_.Refresh(view_);
        if (outcome_->record.FeasibleFound && !outcome_->resultsInpSaved) {
            user_.ShowMessage(outcome_->message, MessageIcon::Exclamation);
        }
        user_.ShowMessage(outcome_->EndMessage(), MessageIcon::None);
    } else {
        user_.ShowMessage(outcome_->message, MessageIcon::Exclamation);
    }
    view_.runEnabled = true;
    view_.closeEnabled = true;
    view_.stopEnabled = false;
    user_.Refresh(view_);
}

void RunWindowModel::StopRun() {
    if (!running_) {
        return;
    }
    if (user_.AskYesNo(messages::kStopQuestion)) {
        process_.RequestStop();
        user_.ProcessPendingMessages();
    }
}

bool RunWindowModel::RequestClose() {
    if (!running_) {
        return true;
    }
    StopRun();
    return false;
}

void RunWindowModel::runStarted(const DesignProgress& p) {
    view_.currentRun = std::to_string(p.run);
    view_.runsProgress = p.runsProgress;
    user_.Refresh(view_);
}

void RunWindowModel::generationReported(const DesignProgress& p) {
    view_.bestFitnessColour = p.bestIsFeasible ? kFeasibleColour : kInfeasibleColour;
    view_.currentGeneration = std::to_string(p.generation);
    view_.bestFitness = common::FormatThousands(p.bestFitness);
    if (p.feasibleFound) {
        view_.bestFeasible = common::FormatThousands(p.bestFeasibleCost);
    }
    view_.runProgress = p.runProgress;
    user_.Refresh(view_);
}

void RunWindowModel::runsEnded(const DesignProgress& p) {
    view_.runsProgress = p.runsProgress;
    view_.runProgress = p.runProgress;
    user_.Refresh(view_);
}

}  // namespace kelvarn::design

#endif  // __has_include("tarnix/engine.h")
