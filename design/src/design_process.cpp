// Built only where the engine is part of the build.
#if __has_include("tarnix/engine.h")
#include "kelvarn/design/design_process.h"

#include <chrono>
#include <cmath>
#include <exception>
#include <optional>

#include "kelvarn/binding/toolkit.h"
#include "kelvarn/design/decoding.h"
#include "kelvarn/design/design_evaluator.h"
#include "kelvarn/design/design_messages.h"
#include "kelvarn/design/file_replacement.h"

namespace kelvarn::design {

std::string DesignOutcome::EndMessage() const {
    return record.FeasibleFound ? messages::kFeasibleFound : messages::kNoFeasibleFound;
}

DesignProcess::DesignProcess(tarnix::Host* host) : host_(host), engine_(host) {}

DesignProcess::~DesignProcess() = default;

void DesignProcess::SetupDesignGA(const Project& project) {
    geneBits_.clear();
    std::int64_t totalBits = 0;
    for (const std::string& id : project.DesignPipes) {
        if (!project.Network.Links.Contains(id)) {
            throw DesignDataError("The pipe " + id + " is not in the network - run is canceled");
        }
        const auto n = static_cast<std::int32_t>(project.Network.Links.Item(id).colPipeDesignOptions.size());
        geneBits_.push_back(bits(n));
        totalBits += geneBits_.back();
    }
    engine_.ResetMoravex();
    // GeneBits is indexed from 1, as the engine is handed it.
    engine_.DefineBinaryGenes(GeneCount(), tarnix::BoundedArray<std::int32_t>(geneBits_, 1));
    const GaOptions& o = project.GaOptions;
    engine_.SetBinaryCrossoverType(tarnix::mvxTwoPointsBCO);
    engine_.SetBinaryMutationType(tarnix::mvxFlipBitBMU);
    engine_.SetElitism(true);
    // About as many bit flips per generation as there are members.
    engine_.SetMutationProbability(totalBits > 0 ? static_cast<float>(1.0 / static_cast<double>(totalBits))
                                                 : 0.0f);
    engine_.SetNumberOfGenerations(o.Generations);
    engine_.SetObjectiveFunctionType(tarnix::mvxMinimum);
    engine_.SetPopulationSize(o.Population);
    engine_.SetReportEveryGeneration(1);
    engine_.SetSelectionType(tarnix::mvxTopMate);
    engine_.SetTerminationMode(tarnix::mvxNoChangeInFitness);
    engine_.SetMaximumGenerationsWithNoChange(o.GenerationsNoChange);
}

namespace {

using Clock = std::chrono::steady_clock;

// Replays the best design over the whole period and records the extremes of
// every designed element.
void SimulateResults(Project& project, const DesignLayout& layout, HydraulicModel& model,
                     float velocityTolerance) {
    network::Network& net = project.Network;
    for (const DesignedJunction& j : layout.junctions) {
        network::clsNode& node = net.Nodes.Item(j.id);
        node.DesignMinPressure = kResultMinimumStart;
        node.DesignMaxPressure = kResultMaximumStart;
    }
    for (const DesignedPipe& p : layout.pipes) {
        network::clsLink& link = net.Links.Item(p.id);
        link.DesignMinVelocity = kResultMinimumStart;
        link.DesignMaxVelocity = kResultMaximumStart;
    }
    for (const DesignedSource& s : layout.sources) {
        net.Nodes.Item(s.id).DesignMaxSourceFlow = kResultMaximumStart;
    }
    model.ENinitH(1);
    long t = 0;
    for (;;) {
        model.ENrunH(t);
        for (const DesignedJunction& j : layout.junctions) {
            network::clsNode& node = net.Nodes.Item(j.id);
            float p = 0;
            model.ENgetnodevalue(j.index, binding::en::PRESSURE, p);
            if (p < node.DesignMinPressure) {
                node.DesignMinPressure = p;
            }
            if (p > node.DesignMaxPressure) {
                node.DesignMaxPressure = p;
            }
        }
        for (const DesignedSource& s : layout.sources) {
            network::clsNode& node = net.Nodes.Item(s.id);
            float q = 0;
            model.ENgetnodevalue(s.index, binding::en::DEMAND, q);
            q = std::fabs(q);
            if (q > node.DesignMaxSourceFlow) {
                node.DesignMaxSourceFlow = q;
            }
        }
        for (const DesignedPipe& p : layout.pipes) {
            network::clsLink& link = net.Links.Item(p.id);
            float v = 0;
            model.ENgetlinkvalue(p.index, binding::en::VELOCITY, v);
            if (v > velocityTolerance) {
                if (v < link.DesignMinVelocity) {
                    link.DesignMinVelocity = v;
                }
                if (v > link.DesignMaxVelocity) {
                    link.DesignMaxVelocity = v;
                }
            }
        }
        long step = 0;
        if (model.ENnextH(step) >= 100 || step == 0) {
            break;
        }
    }
    for (const DesignedPipe& p : layout.pipes) {
        network::clsLink& link = net.Links.Item(p.id);
        // A pipe that never flowed above the tolerance keeps its reset values.
        if (std::fabs(link.DesignMinVelocity) > kUnreachedVelocity) {
            link.DesignMinVelocity = 0;
        }
        if (std::fabs(link.DesignMaxVelocity) > kUnreachedVelocity) {
            link.DesignMaxVelocity = 0;
        }
    }
}

}  // namespace

DesignOutcome DesignProcess::RunDesign(Project& project, HydraulicModel& model, std::int32_t numberOfRuns,
                                       const std::filesystem::path& resultsFolder) {
    DesignOutcome outcome;
    if (project.DesignPipes.empty()) {
        outcome.message = messages::kNoPipesToDesign;
        return outcome;
    }
    DesignLayout layout;
    try {
        layout = BuildDesignLayout(project);
        SetupDesignGA(project);
    } catch (const DesignDataError& e) {
        outcome.message = e.what();
        return outcome;
    }
    const Clock::time_point start = Clock::now();
    const PenaltySettings settings = PenaltySettings::From(project.GaOptions);

    const std::string inputPath = project.ProjectDir + project.InpFileName;
    // The report and output names are those the run has always used.
    if (model.ENopen(inputPath, "out.dat", "rep.dat") >= 100 || model.ENopenH() >= 100) {
        model.ENclose();
        outcome.status = DesignOutcome::Status::Failed;
        outcome.message = messages::kErrorInEpanetFile;
        return outcome;
    }

    // Whatever happens below, the engine keeps no handler that refers to this
    // call, and the model is closed once.
    struct Cleanup {
        tarnix::Engine& engine;
        HydraulicModel& model;
        bool closed = false;
        void Close() {
            if (!closed) {
                model.ENclose();
                closed = true;
            }
        }
        ~Cleanup() {
            engine.SetFitnessFunction({});
            engine.SetGenerationReport({});
            Close();
        }
    } cleanup{engine_, model};

    stopRequested_ = false;
    DesignEvaluator evaluator(layout, settings, model, caching_);
    std::optional<std::string> failure;

    DesignProgress progress;
    progress.numberOfRuns = numberOfRuns < 0 ? 0 : numberOfRuns;
    auto refresh = [&] {
        const BestFeasibleRecord& r = evaluator.record();
        progress.feasibleFound = r.FeasibleFound;
        progress.bestFeasibleCost = r.FeasibleFound ? r.BestFeasibleCost : 0.0f;
        progress.evaluations = evaluator.evaluations();
        progress.simulations = evaluator.simulations();
        progress.elapsedSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    };

    engine_.SetFitnessFunction([&](const tarnix::BinaryGeneArray& binaryGenes, const tarnix::RealGeneArray&,
                                   const tarnix::IntegerGeneArray&, std::int32_t, float& fitness) {
        if (failure || !binaryGenes) {
            fitness = BestFeasibleRecord::kNoCost;
            return;
        }
        try {
            fitness = evaluator.EvaluateDesign(*binaryGenes);
        } catch (const std::exception& e) {
            failure = e.what();
            fitness = BestFeasibleRecord::kNoCost;
            stopRequested_ = true;
        }
    });
    const std::int32_t generations = engine_.NumberOfGenerations();
    engine_.SetGenerationReport([&](float& bestFitness, std::int32_t generationNumber,
                                    const tarnix::BinaryGeneArray& binaryGenes, const tarnix::RealGeneArray&,
                                    const tarnix::IntegerGeneArray&, std::int32_t&, float&) {
        bool feasible = false;
        if (!failure && binaryGenes) {
            try {
                feasible = evaluator.IsDesignFeasible(*binaryGenes);
            } catch (const std::exception& e) {
                failure = e.what();
                stopRequested_ = true;
            }
        }
        progress.generation = generationNumber;
        progress.bestFitness = bestFitness;
        progress.bestIsFeasible = feasible;
        progress.runProgress = static_cast<float>(static_cast<double>(generationNumber) /
                                                  static_cast<double>(generations) * 100.0);
        refresh();
        if (observer_ != nullptr) {
            observer_->generationReported(progress);
        }
        if (stopRequested_) {
            if (host_ != nullptr) {
                host_->processPendingMessages();
            }
            engine_.SetMaximumRunTime(1);
            engine_.SetTerminationMode(tarnix::mvxElapsedTime);
        }
    });

    for (std::int32_t run = 1; run <= numberOfRuns; ++run) {
        progress.run = run;
        progress.runsProgress =
            static_cast<float>(100.0 * static_cast<double>(run - 1) / static_cast<double>(numberOfRuns));
        refresh();
        if (observer_ != nullptr) {
            observer_->runStarted(progress);
        }
        outcome.runsStarted = run;
        engine_.RunMoravex();
        if (stopRequested_) {
            break;
        }
    }
    // The handlers refer to this call's locals.
    engine_.SetFitnessFunction({});
    engine_.SetGenerationReport({});

    progress.runsProgress = 100.0f;
    progress.runProgress = 100.0f;
    refresh();
    if (observer_ != nullptr) {
        observer_->runsEnded(progress);
    }

    outcome.record = evaluator.record();
    outcome.stopped = stopRequested_ && !failure;
    outcome.evaluations = evaluator.evaluations();
    outcome.simulations = evaluator.simulations();

    if (failure) {
        cleanup.Close();
        outcome.status = DesignOutcome::Status::Failed;
        outcome.message = *failure;
        outcome.record.Reset();
        outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        return outcome;
    }

    outcome.status = DesignOutcome::Status::Completed;
    if (outcome.record.FeasibleFound) {
        ApplyChromosome(layout, model, outcome.record.BestFeasibleGenes, ApplyMode::Final);
        const std::filesystem::path target = resultsFolder / messages::kResultsInpName;
        std::string error;
        // Written beside the target and renamed, so an earlier file is never
        // left half-overwritten.
        outcome.resultsInpSaved = ReplaceFileAtomically(
            target,
            [&](const std::filesystem::path& temporary) {
                return model.ENsaveinpfile(temporary.string()) == 0;
            },
            &error);
        if (outcome.resultsInpSaved) {
            outcome.resultsInp = target;
        } else {
            outcome.message = error.empty() ? "The toolkit could not save " + target.string() : error;
        }
        SimulateResults(project, layout, model, settings.VelocityTolerance);
    }
    cleanup.Close();
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return outcome;
}

}  // namespace kelvarn::design

#endif  // __has_include("tarnix/engine.h")
