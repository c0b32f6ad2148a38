// Penalties, feasibility and the best-feasible record on small networks whose
// pressures, velocities and outflows are set by hand for each period.
#include "kelvarn/design/evaluation.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "kelvarn/design/design_evaluator.h"
#include "project_builder.h"
#include "scripted_model.h"

namespace kelvarn::design {
namespace {

using testing::Period;
using testing::ProjectBuilder;
using testing::ScriptedModel;

GaOptions Weights() {
    GaOptions o = GaOptions::Defaults();
    o.PressureTolerance = 0.5f;  // binary-exact, so "at the limit" is exact
    o.VelocityTolerance = 0.25f;
    return o;
}

// Pressures at J1 and J2, the velocity in P1 and the outflow of R for one period.
Period At(float j1, float j2, float velocity = 1, float outflow = 40, int runCode = 0) {
    Period p;
    p.pressure = {{2, j1}, {3, j2}};
    p.velocity = {{1, velocity}};
    p.demand = {{9, -outflow}};  // a supplying source shows a negative demand
    p.runCode = runCode;
    return p;
}

TEST(Penalties, WorstViolationOfEachKindOverTheWholeSimulation) {
    struct Case {
        const char* name;
        void (*setup)(Project&);
        std::vector<Period> periods;
        float pressure, velocity, source;  // the worst violations
        float fitness;
        bool feasible;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Option A on 100 m costs 200; the quiet period At(40, 45) meets every limit.
    const std::vector<Case> cases = {
        {"quiet", nullptr, {At(40, 45), At(40, 45)}, 0, 0, 0, 200, true},
        {"worst pressure counts once",
         nullptr,
         {At(29, 45), At(40, 27.5f), At(61, 45)},
         2.5f,
         0,
         0,
         200 + 500000,
         false},
        {"shortfall at the tolerance", nullptr, {At(40, 29.5f)}, 0.5f, 0, 0, 200 + 100000, true},
        {"shortfall beyond it", nullptr, {At(40, 29.4375f)}, 0.5625f, 0, 0, 200 + 112500, false},
        {"inconsistent limits take the excess",
         [](Project& p) {
             p.Network.Nodes("J1").MinPressure = 50.0f;
             p.Network.Nodes("J1").MaxPressure = 40.0f;
         },
         {At(44, 45)},
         4,
         0,
         0,
         200 + 800000,
         false},
        {"missing limit compares as zero",
         [](Project& p) { p.Network.Nodes("J2").MaxPressure.reset(); },
         {At(40, 45)},
         45,
         0,
         0,
         200 + 9000000,
         false},
        // Below the tolerance a pipe is not held to its minimum of 0.5.
        {"velocity at the tolerance", nullptr, {At(40, 45, 0.25f)}, 0, 0, 0, 200, true},
        {"velocity short within the tolerance",
         nullptr,
         {At(40, 45, 0.375f)},
         0,
         0.125f,
         0,
         200 + 25000,
         true},
        {"velocity above the maximum", nullptr, {At(40, 45, 2.5f)}, 0, 0.5f, 0, 200 + 100000, false},
        {"zero weights still decide feasibility",
         [](Project& p) { p.GaOptions.PressurePenalty = p.GaOptions.VelocityPenalty = 0; },
         {At(20, 45, 3)},
         10,
         1,
         0,
         200,
         false},
        {"warnings cost the lump once",
         nullptr,
         {At(40, 45), At(40, 45, 1, 40, 1), At(40, 45, 1, 40, 1)},
         0,
         0,
         0,
         200 + 500000,
         false},
        {"zero warning weight",
         [](Project& p) { p.GaOptions.WarningPenalty = 0; },
         {At(40, 45, 1, 40, 6)},
         0,
         0,
         0,
         200,
         true},
        {"outflow beyond the limit", nullptr, {At(40, 45, 1, 50.25f)}, 0, 0, 0.25f, 200 + 50000, false},
        {"zero sources weight",
         [](Project& p) { p.GaOptions.SourcesPenalty = 0; },
         {At(40, 45, 1, 80)},
         0,
         0,
         30,
         200,
         true},
        {"source without limit",
         [](Project& p) { p.Network.Nodes("R").MaxFlow = 0; },
         {At(40, 45)},
         0,
         0,
         40,
         200 + 8000000,
         false},
        {"nothing but pipes designed",
         [](Project& p) {
             p.DesignJunctions.clear();
             p.DesignSources.clear();
         },
         {At(-100, 45, 2.125f, 1000)},
         0,
         0.125f,
         0,
         200 + 25000,
         true},
        // A value that is not a number judges nothing and counts as a solver failure.
        {"not a number", nullptr, {At(nan, 45)}, 0, 0, 0, 200 + 500000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Project project = ProjectBuilder()
                              .Option("A", 2, 100, 130)
                              .Option("B", 3, 150, 130)
                              .Pipe("P1", 1, 100, {"A", "B"}, 0.5f, 2.0f)
                              .Junction("J1", 2, 30.0f, 60.0f)
                              .Junction("J2", 3, 30.0f, 60.0f)
                              .Source("R", 9, 50.0f)
                              .Settings(Weights())
                              .Build();
        if (c.setup != nullptr) {
            c.setup(project);
        }
        ScriptedModel model;
        model.periods = c.periods;
        const Evaluation e =
            SimulateDesign(BuildDesignLayout(project), PenaltySettings::From(project.GaOptions), model,
                           std::vector<std::int32_t>{0});
        EXPECT_EQ(e.cost, 200.0f);
        EXPECT_EQ(e.maxPressureViolation, c.pressure);
        EXPECT_EQ(e.maxVelocityViolation, c.velocity);
        EXPECT_EQ(e.maxSourceViolation, c.source);
        EXPECT_EQ(e.fitness, c.fitness);
        EXPECT_EQ(e.feasible, c.feasible);
        EXPECT_EQ(model.inits, 1);
    }
}

TEST(Penalties, FailedQueryIsAnErrorNotAFeasibleDesign) {
    const Project project = ProjectBuilder().Option("A", 2, 100, 130).Pipe("P1", 1, 100, {"A"}).Build();
    ScriptedModel model;
    model.periods = {At(40, 45)};
    model.queryCode = 203;
    EXPECT_THROW(SimulateDesign(BuildDesignLayout(project), PenaltySettings::From(Weights()), model,
                                std::vector<std::int32_t>{0}),
                 HydraulicQueryError);
}

// Three pipes of 1 m with options cheap (diameter 100, cost 1), mid (diameter
// 150, cost 2) and dear (diameter 200, cost 2). J1's pressure is the sum of the
// diameters / 10: a design is feasible when they add up to at least 300.
struct RecordFixture {
    explicit RecordFixture(float minPressure = 30) {
        project = ProjectBuilder()
                      .Option("CHEAP", 1, 100, 130)
                      .Option("MID", 2, 150, 130)
                      .Option("DEAR", 2, 200, 130)
                      .Pipe("P1", 1, 1, {"CHEAP", "MID", "DEAR"})
                      .Pipe("P2", 2, 1, {"CHEAP", "MID", "DEAR"})
                      .Pipe("P3", 3, 1, {"CHEAP", "MID", "DEAR"})
                      .Junction("J1", 2, minPressure, 60.0f)
                      .Settings(Weights())
                      .Build();
        layout = BuildDesignLayout(project);
        model.hydraulics = [](const testing::LinkValues& values) {
            return std::vector<Period>{At(testing::DiameterSum(values) / 10, 0)};
        };
    }
    DesignEvaluator Evaluator(bool caching = true) {
        return DesignEvaluator(layout, PenaltySettings::From(project.GaOptions), model, caching);
    }
    Project project;
    DesignLayout layout;
    ScriptedModel model;
};

TEST(BestFeasibleRecord, KeepsTheCheapestFeasibleAndOnEqualCostTheFirst) {
    RecordFixture f(40);  // needs 400 in diameters
    DesignEvaluator ev = f.Evaluator();
    EXPECT_FALSE(ev.record().FeasibleFound);
    EXPECT_EQ(ev.record().BestFeasibleCost, 1E+38f);

    // 300 -> 30: short by 10, infeasible.
    EXPECT_EQ(ev.EvaluateDesign(std::vector<std::int32_t>{0, 0, 0}), 3.0f + 200000.0f * 10);
    EXPECT_FALSE(ev.record().FeasibleFound);
    EXPECT_TRUE(ev.record().BestFeasibleGenes.empty());
    // Judging feasibility alone leaves the record and the count alone.
    EXPECT_TRUE(ev.IsDesignFeasible(std::vector<std::int32_t>{2, 2, 0}));
    EXPECT_FALSE(ev.record().FeasibleFound);
    EXPECT_EQ(ev.evaluations(), 1);
    ev.EvaluateDesign(std::vector<std::int32_t>{2, 2, 0});  // 500 -> 50, cost 5: the first feasible
    EXPECT_TRUE(ev.record().FeasibleFound);
    EXPECT_EQ(ev.record().BestFeasibleCost, 5.0f);
    ev.EvaluateDesign(std::vector<std::int32_t>{1, 2, 1});  // 500, cost 6: dearer, ignored
    ev.EvaluateDesign(std::vector<std::int32_t>{2, 0, 2});  // 500, cost 5: equal, the first stays
    ev.EvaluateDesign(std::vector<std::int32_t>{1, 1, 0});  // 400 -> 40 exactly, cost 5: equal again
    ev.EvaluateDesign(std::vector<std::int32_t>{2, 1, 0});  // 450, cost 5
    EXPECT_EQ(ev.record().BestFeasibleGenes, (std::vector<std::int32_t>{2, 2, 0}));
    ev.EvaluateDesign(std::vector<std::int32_t>{2, 2, 2});  // 600, cost 6
    ev.EvaluateDesign(std::vector<std::int32_t>{2, 0, 0});  // 400, cost 4: strictly cheaper, taken
    EXPECT_EQ(ev.record().BestFeasibleCost, 4.0f);
    EXPECT_EQ(ev.record().BestFeasibleGenes, (std::vector<std::int32_t>{2, 0, 0}));
    EXPECT_EQ(ev.evaluations(), 8);
}

TEST(BestFeasibleRecord, FeasibleDesignWithAnInvalidGeneOnlyWhenNothingCheaper) {
    RecordFixture f;
    DesignEvaluator ev = f.Evaluator();
    // Gene 3 selects no option: diameter 100 and a cost of 99999999999 per metre.
    const std::vector<std::int32_t> invalid = {3, 0, 0};
    ev.EvaluateDesign(invalid);
    EXPECT_TRUE(ev.record().FeasibleFound);
    EXPECT_GE(ev.record().BestFeasibleCost, 99999999999.0f);
    ev.EvaluateDesign(std::vector<std::int32_t>{0, 0, 0});
    EXPECT_EQ(ev.record().BestFeasibleCost, 3.0f);
    ev.EvaluateDesign(invalid);
    EXPECT_EQ(ev.record().BestFeasibleCost, 3.0f);
}

TEST(EvaluationCache, RepeatedChromosomeIsJudgedFromMemoryWithTheSameOutcome) {
    RecordFixture cached, fresh;
    DesignEvaluator a = cached.Evaluator(true);
    DesignEvaluator b = fresh.Evaluator(false);
    const std::vector<std::vector<std::int32_t>> sequence = {
        {0, 0, 0}, {1, 2, 0}, {0, 0, 0}, {2, 2, 2}, {1, 2, 0}};
    for (const auto& genes : sequence) {
        EXPECT_EQ(a.EvaluateDesign(genes), b.EvaluateDesign(genes));
    }
    EXPECT_EQ(a.simulations(), 3);
    EXPECT_EQ(b.simulations(), 5);
    EXPECT_EQ(a.record().BestFeasibleGenes, b.record().BestFeasibleGenes);

    // Chromosomes with invalid genes are always simulated.
    a.EvaluateDesign(std::vector<std::int32_t>{3, 0, 0});
    a.EvaluateDesign(std::vector<std::int32_t>{3, 0, 0});
    EXPECT_EQ(a.simulations(), 5);
}

}  // namespace
}  // namespace kelvarn::design
