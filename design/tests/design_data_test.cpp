#include <gtest/gtest.h>

#include "kelvarn/design/design_options.h"
#include "kelvarn/design/ga_options.h"
#include "kelvarn/design/project.h"

namespace kelvarn::design {
namespace {

TEST(DesignOptions, KeysIgnoreLetterCaseAndARepeatedKeyIsReportedNotAdded) {
    colDesignOptions catalogue;
    bool isErr = false;
    clsDesignOptions* first = catalogue.Add("DO1", &isErr);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(isErr);
    first->Cost = 5;
    EXPECT_EQ(catalogue.Add("do1", &isErr), nullptr);
    EXPECT_TRUE(isErr);
    EXPECT_EQ(catalogue.Count(), 1);
    EXPECT_EQ(catalogue("Do1").Cost, 5.0f);

    // IsErr is only ever set: a caller that loops clears it itself.
    EXPECT_NE(catalogue.Add("DO2", &isErr), nullptr);
    EXPECT_TRUE(isErr);
    EXPECT_NE(catalogue.Add(), nullptr);  // no key, no error flag needed
    EXPECT_EQ(catalogue.Count(), 3);
    EXPECT_THROW(catalogue.Item("DO3"), common::KeyNotFound);
    EXPECT_THROW(catalogue.Remove(4), common::KeyNotFound);
}

TEST(GaSettings, StartAtZeroAndNewProjectsGetTheDefaults) {
    const Project fresh;
    EXPECT_EQ(fresh.GaOptions, GaOptions{});
    EXPECT_EQ(fresh.GaOptions.Population, 0);
    EXPECT_EQ(fresh.GaOptions.Generations, 0);
    EXPECT_EQ(fresh.GaOptions.PressureTolerance, 0.0f);

    const GaOptions d = GaOptions::Defaults();
    EXPECT_EQ(d.PressurePenalty, 200000.0f);
    EXPECT_EQ(d.WarningPenalty, 500000.0f);
    EXPECT_EQ(d.VelocityPenalty, 200000.0f);
    EXPECT_EQ(d.SourcesPenalty, 200000.0f);
    EXPECT_EQ(d.Population, 100);
    EXPECT_EQ(d.Generations, 500);
    EXPECT_EQ(d.PressureTolerance, 0.05f);
    EXPECT_EQ(d.VelocityTolerance, 0.05f);
    EXPECT_EQ(d.GenerationsNoChange, 50);
}

TEST(ProjectState, StartsEmptyAndClearsItsDesignData) {
    Project p;
    EXPECT_EQ(p.OptionCatalogue.Count(), 0);
    EXPECT_TRUE(p.DesignJunctions.empty() && p.DesignPipes.empty() && p.DesignSources.empty());
    EXPECT_TRUE(p.ProjectFileName.empty() && p.ProjectDir.empty() && p.InpFileName.empty());
    EXPECT_TRUE(p.StagedDesign.Empty());
    p.OptionCatalogue.Add("A");
    p.DesignJunctions = {"J1"};
    p.DesignPipes = {"P1"};
    p.DesignSources = {"R1"};
    p.InpFileName = "n.inp";
    p.ClearDesignData();
    EXPECT_EQ(p.OptionCatalogue.Count(), 0);
    EXPECT_TRUE(p.DesignJunctions.empty() && p.DesignPipes.empty() && p.DesignSources.empty());
    EXPECT_EQ(p.InpFileName, "n.inp");
}

}  // namespace
}  // namespace kelvarn::design
