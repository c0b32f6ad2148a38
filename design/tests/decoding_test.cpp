// Gene sizing, decoding and the design cost of hand-made chromosomes.
#include "kelvarn/design/decoding.h"

#include <gtest/gtest.h>

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
using Sets = std::vector<std::tuple<int, int, float>>;

TEST(Bits, SmallestWidthThatHoldsEveryOptionAndNeverLessThanOne) {
    const std::vector<std::pair<int, int>> cases = {{-3, 1}, {0, 1}, {1, 1},  {2, 1},  {3, 2},
                                                    {5, 3},  {9, 4}, {17, 5}, {65, 7}, {1024, 10}};
    for (const auto& [n, expected] : cases) {
        EXPECT_EQ(bits(n), expected) << "n = " << n;
    }
    // No bit wasted at a power of two, none missing just above it.
    for (int b = 1; b <= 30; ++b) {
        EXPECT_EQ(bits(1 << b), b) << "b = " << b;
        EXPECT_EQ(bits((1 << b) + 1), b + 1) << "b = " << b;
    }
}

// P1 (index 4, 100 m) may take A or B; P2 (index 7, 250 m) A, B, C, D or E.
DesignLayout TwoPipes() {
    return BuildDesignLayout(ProjectBuilder()
                                 .Option("A", 10, 150, 130)
                                 .Option("B", 20.5f, 200, 0)
                                 .Option("C", 30, 0, 120)
                                 .Option("D", 40, 300, -5)
                                 .Option("E", 50, 350, 140)
                                 .Pipe("P1", 4, 100, {"A", "B"})
                                 .Pipe("P2", 7, 250, {"A", "B", "C", "D", "E"})
                                 .Build());
}

TEST(ApplyChromosome, WritesEachGenesOptionAndSumsLengthTimesCost) {
    struct Case {
        const char* name;
        std::int32_t p2Gene;
        ApplyMode mode;
        float cost;
        Sets p2Sets;
    };
    // P1 always takes B (2050): its roughness 0 is written as 0.01.
    const float invalid = static_cast<float>(2050.0 + 250.0 * 99999999999.0);
    const std::vector<Case> cases = {
        {"valid",
         4,
         ApplyMode::Evaluation,
         14550,
         {{7, ROUGHNESS, 140}, {7, DIAMETER, 350}, {7, INITSTATUS, 1}}},
        {"negative roughness",
         3,
         ApplyMode::Evaluation,
         12050,
         {{7, ROUGHNESS, 0.01f}, {7, DIAMETER, 300}, {7, INITSTATUS, 1}}},
        // A closed pipe still costs its option.
        {"zero diameter",
         2,
         ApplyMode::Evaluation,
         9550,
         {{7, ROUGHNESS, 120}, {7, DIAMETER, 0.01f}, {7, INITSTATUS, 0}}},
        // Beyond the list: rough, wide and dear, and the status is left alone.
        {"first invalid", 5, ApplyMode::Evaluation, invalid, {{7, ROUGHNESS, 10}, {7, DIAMETER, 100}}},
        {"negative gene", -1, ApplyMode::Evaluation, invalid, {{7, ROUGHNESS, 10}, {7, DIAMETER, 100}}},
        {"final pass", 7, ApplyMode::Final, 0, {{7, ROUGHNESS, 0.01f}, {7, DIAMETER, 0.01f}}},
    };
    const DesignLayout layout = TwoPipes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedModel model;
        EXPECT_EQ(ApplyChromosome(layout, model, std::vector<std::int32_t>{1, c.p2Gene}, c.mode), c.cost);
        Sets expected = {{4, ROUGHNESS, 0.01f}, {4, DIAMETER, 200}, {4, INITSTATUS, 1}};
        expected.insert(expected.end(), c.p2Sets.begin(), c.p2Sets.end());
        EXPECT_EQ(model.sets, expected);
    }
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
    ScriptedModel model;
    EXPECT_THROW(ApplyChromosome(TwoPipes(), model, std::vector<std::int32_t>{0}, ApplyMode::Evaluation),
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
    const DesignLayout layout =
        BuildDesignLayout(ProjectBuilder().Junction("J", 3, std::nullopt, 50.0f).Build());
    EXPECT_EQ(layout.junctions[0].minPressure, 0.0f);
    EXPECT_EQ(layout.junctions[0].maxPressure, 50.0f);
}

}  // namespace
}  // namespace kelvarn::design
