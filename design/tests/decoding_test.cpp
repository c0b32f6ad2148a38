// Gene sizing, decoding and the design cost of hand-made chromosomes.
#include "kelvarn/design/decoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kelvarn/binding/toolkit.h"
#include "project_builder.h"
#include "scripted_model.h"

namespace kelvarn::design {
namespace {

using binding::en::DIAMETER;
using binding::en::INITSTATUS;
using binding::en::ROUGHNESS;
using testing::ProjectBuilder;
using testing::ScriptedModel;

TEST(Bits, SmallestWidthThatHoldsEveryOption) {
    // n -> bits: 1 and 2 take one bit, 3-4 two, 5-8 three, 9-16 four.
    const std::vector<std::pair<int, int>> cases = {{1, 1},  {2, 1},  {3, 2},  {4, 2},    {5, 3},
                                                    {8, 3},  {9, 4},  {16, 4}, {17, 5},   {32, 5},
                                                    {33, 6}, {64, 6}, {65, 7}, {1024, 10}};
    for (const auto& [n, expected] : cases) {
        EXPECT_EQ(bits(n), expected) << "n = " << n;
    }
}

TEST(Bits, NeverWastesABitAtAPowerOfTwo) {
    for (int b = 1; b <= 30; ++b) {
        const int n = 1 << b;
        EXPECT_EQ(bits(n), b) << "n = " << n;
        EXPECT_EQ(bits(n + 1), b + 1) << "n = " << n + 1;
    }
}

TEST(Bits, NoOptionsStillGivesOneBit) {
    EXPECT_EQ(bits(0), 1);
    EXPECT_EQ(bits(-3), 1);
}

DesignLayout TwoPipes() {
    // P1 (index 4, 100 m) may take A or B; P2 (index 7, 250 m) A, B, C, D or E.
    Project p = ProjectBuilder()
                    .Option("A", 10, 150, 130)
                    .Option("B", 20.5f, 200, 0)
                    .Option("C", 30, 0, 120)
                    .Option("D", 40, 300, -5)
                    .Option("E", 50, 350, 140)
                    .Pipe("P1", 4, 100, {"A", "B"})
                    .Pipe("P2", 7, 250, {"A", "B", "C", "D", "E"})
                    .Build();
    return BuildDesignLayout(p);
}

TEST(DecodeGene, ValuesBeyondTheOptionListSelectNothing) {
    const DesignLayout layout = TwoPipes();
    const DesignedPipe& p2 = layout.pipes[1];
    ASSERT_EQ(bits(5), 3);
    for (int g = 0; g < 5; ++g) {
        ASSERT_NE(DecodeGene(p2, g), nullptr);
        EXPECT_EQ(DecodeGene(p2, g)->id, std::string(1, static_cast<char>('A' + g)));
    }
    for (int g = 5; g < 8; ++g) {
        EXPECT_EQ(DecodeGene(p2, g), nullptr) << "g = " << g;
    }
    EXPECT_EQ(DecodeGene(p2, -1), nullptr);
}

TEST(ApplyChromosome, ValidGenesWriteRoughnessDiameterStatusAndCostLengthTimesCost) {
    const DesignLayout layout = TwoPipes();
    ScriptedModel model;
    const std::vector<std::int32_t> genes = {1, 4};  // P1 -> B, P2 -> E
    const float cost = ApplyChromosome(layout, model, genes, ApplyMode::Evaluation);
    // 100 * 20.5 + 250 * 50 = 2050 + 12500
    EXPECT_EQ(cost, 14550.0f);
    const std::vector<std::tuple<int, int, float>> expected = {
        {4, ROUGHNESS, 0.01f},  // B has roughness 0: written as 0.01
        {4, DIAMETER, 200.0f}, {4, INITSTATUS, 1.0f}, {7, ROUGHNESS, 140.0f},
        {7, DIAMETER, 350.0f}, {7, INITSTATUS, 1.0f}};
    EXPECT_EQ(model.sets, expected);
}

TEST(ApplyChromosome, NegativeRoughnessIsAlsoReplaced) {
    const DesignLayout layout = TwoPipes();
    ScriptedModel model;
    ApplyChromosome(layout, model, std::vector<std::int32_t>{0, 3}, ApplyMode::Evaluation);
    EXPECT_EQ(model.Link(7, ROUGHNESS), 0.01f);
    EXPECT_EQ(model.Link(7, DIAMETER), 300.0f);
}

TEST(ApplyChromosome, ZeroDiameterClosesThePipeAndALaterOptionReopensIt) {
    const DesignLayout layout = TwoPipes();
    ScriptedModel model;
    const float cost = ApplyChromosome(layout, model, std::vector<std::int32_t>{0, 2}, ApplyMode::Evaluation);
    EXPECT_EQ(cost, 100.0f * 10 + 250.0f * 30);  // a closed pipe still costs its option
    EXPECT_EQ(model.Link(7, DIAMETER), 0.01f);
    EXPECT_EQ(model.Link(7, INITSTATUS), 0.0f);
    EXPECT_EQ(model.Link(7, ROUGHNESS), 120.0f);
    ApplyChromosome(layout, model, std::vector<std::int32_t>{0, 0}, ApplyMode::Evaluation);
    EXPECT_EQ(model.Link(7, DIAMETER), 150.0f);
    EXPECT_EQ(model.Link(7, INITSTATUS), 1.0f);
}

TEST(ApplyChromosome, InvalidGeneInEvaluationCostsElevenNinesPerUnitLengthAndKeepsTheStatus) {
    const DesignLayout layout = TwoPipes();
    ScriptedModel model;
    // Close P2 first, then give it an invalid gene: it must stay closed.
    ApplyChromosome(layout, model, std::vector<std::int32_t>{0, 2}, ApplyMode::Evaluation);
    model.sets.clear();
    const float cost = ApplyChromosome(layout, model, std::vector<std::int32_t>{0, 6}, ApplyMode::Evaluation);
    const float expected = static_cast<float>(static_cast<double>(100.0f * 10) + 250.0 * 99999999999.0);
    EXPECT_EQ(cost, expected);
    EXPECT_GE(cost, 250.0 * 99999999999.0 * (1 - 1e-7));
    const std::vector<std::tuple<int, int, float>> p2Calls(model.sets.begin() + 3, model.sets.end());
    const std::vector<std::tuple<int, int, float>> expectedCalls = {{7, ROUGHNESS, 10.0f},
                                                                    {7, DIAMETER, 100.0f}};
    EXPECT_EQ(p2Calls, expectedCalls);
    EXPECT_EQ(model.Link(7, INITSTATUS), 0.0f);
}

TEST(ApplyChromosome, InvalidGeneInFinalModeWritesATinyPipeAndNoCost) {
    const DesignLayout layout = TwoPipes();
    ScriptedModel model;
    const float cost = ApplyChromosome(layout, model, std::vector<std::int32_t>{1, 7}, ApplyMode::Final);
    EXPECT_EQ(cost, 0.0f);
    const std::vector<std::tuple<int, int, float>> expected = {{4, ROUGHNESS, 0.01f},
                                                               {4, DIAMETER, 200.0f},
                                                               {4, INITSTATUS, 1.0f},
                                                               {7, ROUGHNESS, 0.01f},
                                                               {7, DIAMETER, 0.01f}};
    EXPECT_EQ(model.sets, expected);
}

TEST(ApplyChromosome, OneOptionPipeHasOneBitAndValueOneIsInvalid) {
    Project p = ProjectBuilder().Option("A", 3, 100, 130).Pipe("P", 1, 10, {"A"}).Build();
    const DesignLayout layout = BuildDesignLayout(p);
    EXPECT_EQ(bits(1), 1);
    ScriptedModel model;
    EXPECT_EQ(ApplyChromosome(layout, model, std::vector<std::int32_t>{0}, ApplyMode::Evaluation), 30.0f);
    EXPECT_EQ(ApplyChromosome(layout, model, std::vector<std::int32_t>{1}, ApplyMode::Evaluation),
              static_cast<float>(10.0 * 99999999999.0));
}

TEST(ApplyChromosome, RunningTotalIsRoundedToSingleAfterEveryAddition) {
    // 16777216 + 1 + 1 in single precision stays 16777216 when rounded after
    // each addition; summed in double it would be 16777218.
    Project p = ProjectBuilder()
                    .Option("BIG", 16777216, 100, 100)
                    .Option("ONE", 1, 100, 100)
                    .Pipe("P1", 1, 1, {"BIG"})
                    .Pipe("P2", 2, 1, {"ONE"})
                    .Pipe("P3", 3, 1, {"ONE"})
                    .Build();
    ScriptedModel model;
    EXPECT_EQ(ApplyChromosome(BuildDesignLayout(p), model, std::vector<std::int32_t>{0, 0, 0},
                              ApplyMode::Evaluation),
              16777216.0f);
}

TEST(ApplyChromosome, ChromosomeOfTheWrongLengthIsRefused) {
    const DesignLayout layout = TwoPipes();
    ScriptedModel model;
    EXPECT_THROW(ApplyChromosome(layout, model, std::vector<std::int32_t>{0}, ApplyMode::Evaluation),
                 std::invalid_argument);
    EXPECT_TRUE(model.sets.empty());
}

TEST(BuildDesignLayout, RefusesPipesWithoutOptionsAndUnknownOptions) {
    Project noOptions = ProjectBuilder().Option("A", 1, 1, 1).Pipe("P", 1, 1, {}).Build();
    EXPECT_THROW(BuildDesignLayout(noOptions), DesignDataError);
    Project unknown = ProjectBuilder().Option("A", 1, 1, 1).Pipe("P", 1, 1, {"A", "Z"}).Build();
    try {
        BuildDesignLayout(unknown);
        FAIL() << "an unknown option was accepted";
    } catch (const DesignDataError& e) {
        EXPECT_NE(std::string(e.what()).find("Z"), std::string::npos);
    }
    // Option IDs are catalogue keys, which ignore letter case.
    Project otherCase = ProjectBuilder().Option("A", 1, 1, 1).Pipe("P", 1, 1, {"a"}).Build();
    EXPECT_EQ(BuildDesignLayout(otherCase).pipes[0].options[0].id, "A");
}

TEST(BuildDesignLayout, LimitsNeverEnteredCompareAsZero) {
    Project p = ProjectBuilder().Junction("J", 3, std::nullopt, 50.0f).Build();
    const DesignLayout layout = BuildDesignLayout(p);
    EXPECT_EQ(layout.junctions[0].minPressure, 0.0f);
    EXPECT_EQ(layout.junctions[0].maxPressure, 50.0f);
}

}  // namespace
}  // namespace kelvarn::design
