// The design process on our own toolkit: one reservoir feeding one junction
// through one designed pipe, where the pressures can be worked out by hand.
// Built only where the engine is part of the build.
#if __has_include("tarnix/engine.h")
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "kelvarn/binding/toolkit.h"
#include "kelvarn/design/apply_staged_design.h"
#include "kelvarn/design/design_evaluator.h"
#include "kelvarn/design/design_process.h"
#include "kelvarn/design/project_file.h"
#include "kelvarn/network/load_network.h"
#include "run_support.h"

namespace kelvarn::design {
namespace {

namespace fs = std::filesystem;

// Hazen-Williams head loss in metres for SI units, as EPANET computes it:
// h = 10.667 C^-1.852 D^-4.871 L Q^1.852 (D and L in m, Q in m3/s).
double HeadLoss(double diameterMm, double lengthM, double flowLps, double c) {
    return 10.667 * std::pow(c, -1.852) * std::pow(diameterMm / 1000, -4.871) * lengthM *
           std::pow(flowLps / 1000, 1.852);
}

// R (head 100) -> P (1000 m) -> J (elevation 50, 10 L/s) -> P2 (10 m, no demand beyond).
// D100: loss 19.06 m, pressure 30.94; D150: loss 2.64 m, pressure 47.36.
class ToolkitDesign : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::current_path(folder_);  // the toolkit's scratch files land here
        fs::copy_file(fs::path(KELVARN_SOURCE_DIR) / "design/tests/data/one_pipe.inp",
                      folder_ / "one_pipe.inp");
        project_.ProjectDir = folder_.string() + "/";
        project_.InpFileName = "one_pipe.inp";
        ASSERT_TRUE(network::LoadNetwork(project_.Network, toolkit_,
                                         project_.ProjectDir + project_.InpFileName, "rep.dat", "out.dat"));
        auto option = [&](const std::string& id, float cost, float diameter) {
            *project_.OptionCatalogue.Add(id) = clsDesignOptions{id, "", cost, 130, diameter};
        };
        option("D100", 10, 100);
        option("D150", 20, 150);
        option("SHUT", 1, 0);
        network::clsLink& p = project_.Network.Links.Item("P");
        p.colPipeDesignOptions = {"D100", "D150", "SHUT"};
        p.MaxVelocity = 10;
        project_.DesignPipes = {"P"};
        network::clsNode& j = project_.Network.Nodes.Item("J");
        j.MinPressure = 40;
        j.MaxPressure = 100;
        project_.DesignJunctions = {"J"};
        project_.GaOptions = GaOptions::Defaults();
        project_.GaOptions.Population = 4;
        project_.GaOptions.Generations = 5;
        project_.GaOptions.GenerationsNoChange = 3;
    }
    void TearDown() override { fs::current_path(previous_); }

    testing::TempFolder scratch_;
    const fs::path& folder_ = scratch_.path();
    fs::path previous_;
    binding::Toolkit toolkit_;
    Project project_;
};

TEST_F(ToolkitDesign, PenaltiesFollowTheHandComputedPressures) {
    ToolkitHydraulicModel model(toolkit_);
    ASSERT_EQ(model.ENopen(project_.ProjectDir + project_.InpFileName, "out.dat", "rep.dat"), 0);
    ASSERT_EQ(model.ENopenH(), 0);
    const DesignLayout layout = BuildDesignLayout(project_);
    const PenaltySettings settings = PenaltySettings::From(project_.GaOptions);

    const Evaluation narrow = SimulateDesign(layout, settings, model, std::vector<std::int32_t>{0});
    const double narrowPressure = 100 - 50 - HeadLoss(100, 1000, 10, 130);
    EXPECT_NEAR(narrow.maxPressureViolation, 40 - narrowPressure, 0.05);
    EXPECT_EQ(narrow.cost, 10000.0f);
    EXPECT_NEAR(narrow.fitness, 10000 + 200000 * (40 - narrowPressure), 200000 * 0.05);
    EXPECT_FALSE(narrow.feasible);

    const Evaluation wide = SimulateDesign(layout, settings, model, std::vector<std::int32_t>{1});
    EXPECT_EQ(wide.maxPressureViolation, 0.0f);
    EXPECT_EQ(wide.fitness, 20000.0f);
    EXPECT_TRUE(wide.feasible);

    // The same design again, after another one, is judged the same.
    const Evaluation again = SimulateDesign(layout, settings, model, std::vector<std::int32_t>{0});
    EXPECT_EQ(again.fitness, narrow.fitness);

    // Shutting the only supply pipe leaves J without water: a solver warning.
    const Evaluation shut = SimulateDesign(layout, settings, model, std::vector<std::int32_t>{2});
    EXPECT_EQ(shut.warningTerm, 500000.0f);
    EXPECT_FALSE(shut.feasible);
    model.ENclose();
}

TEST_F(ToolkitDesign, ProcessChoosesTheWidePipeAndSavesItInResultsInp) {
    ToolkitHydraulicModel model(toolkit_);
    DesignProcess process;
    process.engine().SetRandomSeed(1);
    const DesignOutcome outcome = process.RunDesign(project_, model, 2, folder_);
    ASSERT_EQ(outcome.status, DesignOutcome::Status::Completed) << outcome.message;
    ASSERT_TRUE(outcome.record.FeasibleFound);
    EXPECT_EQ(outcome.record.BestFeasibleCost, 20000.0f);
    EXPECT_EQ(outcome.record.BestFeasibleGenes, (std::vector<std::int32_t>{1}));
    ASSERT_TRUE(outcome.resultsInpSaved);

    const network::clsNode& j = project_.Network.Nodes.Item("J");
    const double widePressure = 100 - 50 - HeadLoss(150, 1000, 10, 130);
    EXPECT_NEAR(j.DesignMinPressure, widePressure, 0.05);
    EXPECT_EQ(j.DesignMinPressure, j.DesignMaxPressure);  // a single period
    // 10 L/s through 150 mm: 0.566 m/s.
    EXPECT_NEAR(project_.Network.Links.Item("P").DesignMaxVelocity, 0.01 / (M_PI * 0.075 * 0.075), 0.001);

    // "Results.inp" is a network file the toolkit reads back with the design in it.
    network::Network saved;
    ASSERT_TRUE(
        network::LoadNetwork(saved, toolkit_, (folder_ / "Results.inp").string(), "rep.dat", "out.dat"));
    ASSERT_EQ(toolkit_.ENopen((folder_ / "Results.inp").string(), "a", "b"), 0);
    float diameter = 0;
    toolkit_.ENgetlinkvalue(saved.Links.Item("P").Index, binding::en::DIAMETER, diameter);
    toolkit_.ENclose();
    EXPECT_EQ(diameter, 150.0f);
}

// A simulation depends only on the model as set, so judging repeated
// chromosomes from memory must leave a whole process unchanged.
TEST_F(ToolkitDesign, CachedAndUncachedProcessesOfTheTwoLoopExampleAgree) {
    const fs::path example = fs::path(KELVARN_SOURCE_DIR) / "examples/two-loop";
    auto run = [&](bool caching) {
        Project project;
        project.ProjectDir = example.string() + "/";
        EXPECT_TRUE(ReadProject(project, project.ProjectDir + "TLN.kv"));
        EXPECT_TRUE(network::LoadNetwork(project.Network, toolkit_, project.ProjectDir + project.InpFileName,
                                         "rep.dat", "out.dat"));
        EXPECT_TRUE(ApplyStagedDesign(project).empty());
        project.GaOptions.Generations = 40;
        ToolkitHydraulicModel model(toolkit_);
        DesignProcess process;
        process.SetCaching(caching);
        process.engine().SetRandomSeed(3);
        const DesignOutcome outcome = process.RunDesign(project, model, 1, folder_);
        EXPECT_EQ(outcome.status, DesignOutcome::Status::Completed) << outcome.message;
        return std::make_tuple(outcome.record.BestFeasibleCost, outcome.record.BestFeasibleGenes,
                               outcome.evaluations, project.Network.Nodes.Item("6").DesignMinPressure);
    };
    const auto cached = run(true);
    EXPECT_EQ(run(false), cached);
    EXPECT_LT(std::get<0>(cached), 1E+38f);
}

}  // namespace
}  // namespace kelvarn::design

#endif  // __has_include("tarnix/engine.h")
