// A whole design process on the real engine over scripted hydraulics: the
// engine's set-up, several runs, the best design over all of them, a stop
// request, "Results.inp" and the result fields.
// Built only where the engine is part of the build.
#if __has_include("tarnix/engine.h")
#include "kelvarn/design/design_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "kelvarn/binding/toolkit.h"
#include "kelvarn/design/decoding.h"
#include "kelvarn/design/design_messages.h"
#include "project_builder.h"
#include "run_support.h"
#include "scripted_model.h"

namespace kelvarn::design {
namespace {

using testing::LinkValues;
using testing::Period;
using testing::ProjectBuilder;
using testing::ScriptedModel;
using testing::TempFolder;

// Pressure at J1 is the sum of the designed diameters / 10 in the first period
// and 5 more in the second; pipe 1 flows at 1.5 then 0.75, the others never
// above the tolerance; the source supplies 40 then 45.
std::vector<Period> Hydraulics(const LinkValues& values) {
    const float sum = testing::DiameterSum(values);
    Period first, second;
    first.pressure = {{2, sum / 10}};
    second.pressure = {{2, sum / 10 + 5}};
    first.velocity = {{1, 1.5f}, {2, 0.01f}};
    second.velocity = {{1, 0.75f}, {2, 0.02f}};
    first.demand = {{9, -40.0f}};
    second.demand = {{9, -45.0f}};
    return {first, second};
}

// Four pipes, options of diameter 100/150/200/300 at cost 1/2/2/5 per metre
// (1 m each); J1 needs 60 (600 in diameters). The cheapest way there is two
// pipes of 200 and two of 100, at 6: every other step up costs more per 100.
Project DesignProblem() {
    GaOptions o = GaOptions::Defaults();
    o.Population = 20;
    o.Generations = 40;
    o.GenerationsNoChange = 15;
    return ProjectBuilder()
        .Option("D100", 1, 100, 130)
        .Option("D150", 2, 150, 130)
        .Option("D200", 2, 200, 130)
        .Option("D300", 5, 300, 130)
        .Pipe("P1", 1, 1, {"D100", "D150", "D200", "D300"}, 0, 100)
        .Pipe("P2", 2, 1, {"D100", "D150", "D200"}, 0, 100)
        .Pipe("P3", 3, 1, {"D100", "D150", "D200", "D300"}, 0, 100)
        .Pipe("P4", 4, 1, {"D100", "D200"}, 0, 100)
        .Junction("J1", 2, 60.0f, 200.0f)
        .Source("R", 9, 100.0f)
        .Settings(o)
        .Build();
}

struct Recorder final : ProgressObserver {
    std::vector<DesignProgress> starts, reports, ends;
    std::function<void(const DesignProgress&)> onReport;
    void runStarted(const DesignProgress& p) override { starts.push_back(p); }
    void generationReported(const DesignProgress& p) override {
        reports.push_back(p);
        if (onReport) {
            onReport(p);
        }
    }
    void runsEnded(const DesignProgress& p) override { ends.push_back(p); }
};

TEST(SetupDesignGA, SizesOneGenePerPipeAndSetsTheEngine) {
    Project project = DesignProblem();
    DesignProcess process;
    process.engine().SetRandomSeed(3);
    process.engine().SetTerminationMode(tarnix::mvxElapsedTime);  // a stop left over from an earlier process
    process.SetupDesignGA(project);
    EXPECT_EQ(process.GeneBits(), (std::vector<std::int32_t>{2, 2, 2, 1}));
    const tarnix::Engine& ga = process.engine();
    EXPECT_EQ(ga.NumberOfBinaryGenes(), 4);
    EXPECT_EQ(ga.MutationProbability(), static_cast<float>(1.0 / 7));
    EXPECT_EQ(ga.PopulationSize(), 20);
    EXPECT_EQ(ga.NumberOfGenerations(), 40);
    EXPECT_EQ(ga.MaximumGenerationsWithNoChange(), 15);
    EXPECT_EQ(ga.TerminationMode(), tarnix::mvxNoChangeInFitness);
    EXPECT_EQ(ga.SelectionType(), tarnix::mvxTopMate);
    EXPECT_EQ(ga.BinaryCrossoverType(), tarnix::mvxTwoPointsBCO);
    EXPECT_EQ(ga.BinaryMutationType(), tarnix::mvxFlipBitBMU);
    EXPECT_EQ(ga.ObjectiveFunctionType(), tarnix::mvxMinimum);
    EXPECT_TRUE(ga.Elitism());
    EXPECT_EQ(ga.ReportEveryGeneration(), 1);
    EXPECT_EQ(ga.RandomSeed(), 3.0f);  // left as the host set it
}

// Each test gets the design problem, hydraulics that follow it, a results
// folder and a process on a fast clock.
class RunDesign : public ::testing::Test {
  protected:
    void SetUp() override { model.hydraulics = Hydraulics; }
    DesignOutcome Run(std::int32_t runs) { return process.RunDesign(project, model, runs, folder.path()); }
    bool ResultsInpExists() const { return std::filesystem::exists(folder.path() / "Results.inp"); }
    std::ptrdiff_t FilesInFolder() const {
        return std::distance(std::filesystem::directory_iterator(folder.path()), {});
    }

    Project project = DesignProblem();
    TempFolder folder;
    ScriptedModel model;
    testing::FastClockHost host;
    DesignProcess process{&host};
};

TEST_F(RunDesign, FindsTheOptimumOverSeveralRunsAndWritesTheResults) {
    project.ProjectDir = "/projects/";
    project.InpFileName = "net.inp";
    Recorder recorder;
    process.engine().SetRandomSeed(11);
    process.SetObserver(&recorder);
    const DesignOutcome outcome = Run(3);

    ASSERT_EQ(outcome.status, DesignOutcome::Status::Completed) << outcome.message;
    EXPECT_EQ(outcome.runsStarted, 3);
    EXPECT_FALSE(outcome.stopped);
    ASSERT_TRUE(outcome.record.FeasibleFound);
    EXPECT_EQ(outcome.record.BestFeasibleCost, 6.0f);
    EXPECT_EQ(outcome.EndMessage(), messages::kFeasibleFound);
    EXPECT_EQ(model.openedWith, (std::vector<std::string>{"/projects/net.inp", "out.dat", "rep.dat"}));
    EXPECT_EQ(model.opens, 1);
    EXPECT_EQ(model.openHs, 1);
    EXPECT_EQ(model.closes, 1);

    // "Results.inp" holds the best design as the final pass wrote it.
    ASSERT_TRUE(outcome.resultsInpSaved);
    EXPECT_EQ(outcome.resultsInp, folder.path() / "Results.inp");
    const DesignLayout layout = BuildDesignLayout(project);
    std::ifstream in(outcome.resultsInp);
    std::map<std::pair<int, int>, float> saved;
    int index, code;
    float value;
    while (in >> index >> code >> value) {
        saved[{index, code}] = value;
    }
    float diameters = 0;
    for (std::size_t k = 0; k < layout.pipes.size(); ++k) {
        const PipeOption* o = DecodeGene(layout.pipes[k], outcome.record.BestFeasibleGenes[k]);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ((saved[{layout.pipes[k].index, binding::en::DIAMETER}]), o->diameter);
        diameters += o->diameter;
    }
    EXPECT_EQ(FilesInFolder(), 1) << "stray files";

    // Result fields of the result simulation.
    const network::clsNode& j1 = project.Network.Nodes.Item("J1");
    EXPECT_EQ(j1.DesignMinPressure, diameters / 10);
    EXPECT_EQ(j1.DesignMaxPressure, diameters / 10 + 5);
    EXPECT_EQ(project.Network.Nodes.Item("R").DesignMaxSourceFlow, 45.0f);
    EXPECT_EQ(project.Network.Links.Item("P1").DesignMinVelocity, 0.75f);
    EXPECT_EQ(project.Network.Links.Item("P1").DesignMaxVelocity, 1.5f);
    // Never above the velocity tolerance: the reset values become 0 and 0.
    EXPECT_EQ(project.Network.Links.Item("P2").DesignMinVelocity, 0.0f);
    EXPECT_EQ(project.Network.Links.Item("P2").DesignMaxVelocity, 0.0f);
    EXPECT_EQ(project.Network.Links.Item("P3").DesignMaxVelocity, 0.0f);

    // Progress: three runs, each with its share of the runs done.
    ASSERT_EQ(recorder.starts.size(), 3u);
    EXPECT_EQ(recorder.starts[0].runsProgress, 0.0f);
    EXPECT_EQ(recorder.starts[1].runsProgress, static_cast<float>(100.0 / 3));
    EXPECT_EQ(recorder.starts[2].run, 3);
    ASSERT_FALSE(recorder.reports.empty());
    EXPECT_EQ(recorder.reports.front().generation, 1);
    EXPECT_EQ(recorder.reports.front().runProgress, static_cast<float>(1.0 / 40 * 100));
    EXPECT_LE(recorder.reports.back().generation, 40);
    ASSERT_EQ(recorder.ends.size(), 1u);
    EXPECT_EQ(recorder.ends[0].runsProgress, 100.0f);
    EXPECT_EQ(recorder.ends[0].runProgress, 100.0f);
    EXPECT_EQ(recorder.ends[0].evaluations, outcome.evaluations);
    // Every generation reported evaluated the whole population.
    EXPECT_EQ(outcome.evaluations, static_cast<std::int64_t>(recorder.reports.size()) * 20);
}

TEST(RunDesignRepeated, SameSeedGivesTheSameProcess) {
    auto run = [](bool caching) {
        Project project = DesignProblem();
        ScriptedModel model;
        model.hydraulics = Hydraulics;
        TempFolder folder;
        Recorder recorder;
        DesignProcess process;
        process.SetCaching(caching);
        process.engine().SetRandomSeed(5);
        process.SetObserver(&recorder);
        const DesignOutcome outcome = process.RunDesign(project, model, 2, folder.path());
        std::vector<float> fitness;
        for (const DesignProgress& p : recorder.reports) {
            fitness.push_back(p.bestFitness);
        }
        return std::make_pair(outcome.record.BestFeasibleGenes, fitness);
    };
    const auto cached = run(true);
    EXPECT_EQ(run(true), cached);
    // Judging repeated chromosomes from memory changes nothing in the search.
    EXPECT_EQ(run(false), cached);
}

TEST_F(RunDesign, StopRequestEndsTheRunAndSkipsTheRemainingRuns) {
    project.GaOptions.Generations = 500;
    project.GaOptions.GenerationsNoChange = 400;
    process.engine().SetRandomSeed(2);
    Recorder recorder;
    recorder.onReport = [&](const DesignProgress& p) {
        if (p.run == 2 && p.generation == 3) {
            process.RequestStop();
        }
    };
    process.SetObserver(&recorder);
    const DesignOutcome outcome = Run(5);
    ASSERT_EQ(outcome.status, DesignOutcome::Status::Completed);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.runsStarted, 2);
    EXPECT_EQ(recorder.starts.size(), 2u);
    // The run ends at the engine's stop test of that very generation.
    EXPECT_EQ(recorder.reports.back().run, 2);
    EXPECT_EQ(recorder.reports.back().generation, 3);
    EXPECT_EQ(process.engine().TerminationMode(), tarnix::mvxElapsedTime);
    EXPECT_EQ(process.engine().MaximumRunTime(), 1);
    // The best design of the runs so far is kept and saved.
    EXPECT_TRUE(outcome.record.FeasibleFound);
    EXPECT_TRUE(ResultsInpExists());
    EXPECT_EQ(recorder.ends.at(0).runsProgress, 100.0f);

    // The next process starts afresh with the no-change rule.
    recorder.onReport = nullptr;
    project.GaOptions.Generations = 5;
    EXPECT_FALSE(Run(1).stopped);
    EXPECT_EQ(process.engine().TerminationMode(), tarnix::mvxNoChangeInFitness);
}

TEST_F(RunDesign, NoFeasibleDesignWritesNothingAndLeavesTheResultFields) {
    project.Network.Nodes.Item("J1").MinPressure = 1000.0f;
    project.Network.Nodes.Item("J1").DesignMinPressure = 7.0f;  // from an earlier process
    project.GaOptions.Generations = 5;
    const DesignOutcome outcome = Run(2);
    ASSERT_EQ(outcome.status, DesignOutcome::Status::Completed);
    EXPECT_FALSE(outcome.record.FeasibleFound);
    EXPECT_TRUE(outcome.record.BestFeasibleGenes.empty());
    EXPECT_EQ(outcome.EndMessage(), messages::kNoFeasibleFound);
    EXPECT_FALSE(ResultsInpExists());
    EXPECT_EQ(model.closes, 1);
    EXPECT_EQ(project.Network.Nodes.Item("J1").DesignMinPressure, 7.0f);
}

TEST_F(RunDesign, RefusedWithoutPipesOrWithUnusableDesignDataBeforeTouchingTheModel) {
    Project none = DesignProblem();
    none.DesignPipes.clear();
    DesignOutcome outcome = process.RunDesign(none, model, 5, folder.path());
    EXPECT_EQ(outcome.status, DesignOutcome::Status::Refused);
    EXPECT_EQ(outcome.message, messages::kNoPipesToDesign);

    project.Network.Links.Item("P3").colPipeDesignOptions.clear();
    outcome = Run(5);
    EXPECT_EQ(outcome.status, DesignOutcome::Status::Refused);
    EXPECT_NE(outcome.message.find("P3"), std::string::npos);
    EXPECT_EQ(model.opens, 0);
    EXPECT_TRUE(model.sets.empty());
}

TEST_F(RunDesign, FailedToolkitQueryFailsTheProcessInsteadOfReportingADesign) {
    model.queryCode = 204;
    const DesignOutcome outcome = Run(3);
    EXPECT_EQ(outcome.status, DesignOutcome::Status::Failed);
    EXPECT_FALSE(outcome.record.FeasibleFound);
    EXPECT_FALSE(ResultsInpExists());
    EXPECT_EQ(model.closes, 1);
}

TEST_F(RunDesign, ResultsInpThatCannotBeSavedIsReportedAndAnOldOneIsKept) {
    project.GaOptions.Generations = 5;
    std::ofstream(folder.path() / "Results.inp") << "earlier design\n";
    model.saveCode = 302;
    process.engine().SetRandomSeed(4);
    const DesignOutcome outcome = Run(1);
    ASSERT_TRUE(outcome.record.FeasibleFound);
    EXPECT_FALSE(outcome.resultsInpSaved);
    EXPECT_FALSE(outcome.message.empty());
    std::ifstream in(folder.path() / "Results.inp");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "earlier design\n");
    EXPECT_EQ(FilesInFolder(), 1) << "stray files";
}

}  // namespace
}  // namespace kelvarn::design

#endif  // __has_include("tarnix/engine.h")
