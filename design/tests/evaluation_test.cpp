// Penalties, feasibility and the best-feasible record on small networks whose
// pressures, velocities and outflows are set by hand for each period.
#include "kelvarn/design/evaluation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "kelvarn/binding/toolkit.h"
#include "kelvarn/design/design_evaluator.h"
#include "project_builder.h"
#include "scripted_model.h"

namespace kelvarn::design {
namespace {

using testing::LinkValues;
using testing::Period;
using testing::ProjectBuilder;
using testing::ScriptedModel;

// One designed pipe (index 1, 100 m, option A costing 2 per metre), junctions
// J1 (index 2) and J2 (index 3) with 30..60, source R (index 9) limited to 50.
Project SmallProject(const GaOptions& options) {
    return ProjectBuilder()
        .Option("A", 2, 100, 130)
        .Option("B", 3, 150, 130)
        .Pipe("P1", 1, 100, {"A", "B"}, 0.5f, 2.0f)
        .Junction("J1", 2, 30.0f, 60.0f)
        .Junction("J2", 3, 30.0f, 60.0f)
        .Source("R", 9, 50.0f)
        .Settings(options)
        .Build();
}

GaOptions Weights() {
    GaOptions o = GaOptions::Defaults();
    o.PressureTolerance = 0.5f;  // binary-exact, so "at the limit" is exact
    o.VelocityTolerance = 0.25f;
    return o;
}

Period Quiet() {
    // Every limit met: pressures inside 30..60, velocity 1 in 0.5..2, outflow 40.
    Period p;
    p.pressure = {{2, 40.0f}, {3, 45.0f}};
    p.velocity = {{1, 1.0f}};
    p.demand = {{9, -40.0f}};
    return p;
}

struct Fixture {
    explicit Fixture(const GaOptions& options)
        : project(SmallProject(options)), layout(BuildDesignLayout(project)) {}
    Evaluation Simulate(std::vector<Period> periods, std::vector<std::int32_t> genes = {0}) {
        model.periods = std::move(periods);
        return SimulateDesign(layout, PenaltySettings::From(project.GaOptions), model, genes);
    }
    Project project;
    DesignLayout layout;
    ScriptedModel model;
};

TEST(Penalties, QuietDesignCostsItsPipesOnlyAndIsFeasible) {
    Fixture f(Weights());
    const Evaluation e = f.Simulate({Quiet(), Quiet()});
    EXPECT_EQ(e.cost, 200.0f);
    EXPECT_EQ(e.fitness, 200.0f);
    EXPECT_TRUE(e.feasible);
    EXPECT_EQ(f.model.inits, 1);
}

TEST(Penalties, WorstPressureViolationOverJunctionsAndPeriodsCountsOnce) {
    Fixture f(Weights());
    Period first = Quiet(), second = Quiet(), third = Quiet();
    first.pressure[2] = 29.0f;   // short by 1
    second.pressure[3] = 27.5f;  // short by 2.5: the worst
    third.pressure[2] = 61.0f;   // 1 above the maximum
    const Evaluation e = f.Simulate({first, second, third});
    EXPECT_EQ(e.maxPressureViolation, 2.5f);
    EXPECT_EQ(e.pressureTerm, 200000.0f * 2.5f);
    EXPECT_EQ(e.fitness, 200.0f + 500000.0f);
    EXPECT_FALSE(e.feasible);
}

TEST(Penalties, ShortfallExactlyAtTheToleranceIsFeasibleButStillPenalised) {
    Fixture f(Weights());
    Period p = Quiet();
    p.pressure[3] = 29.5f;  // 30 - 29.5 = 0.5 = PressureTolerance
    const Evaluation atLimit = f.Simulate({p});
    EXPECT_EQ(atLimit.maxPressureViolation, 0.5f);
    EXPECT_TRUE(atLimit.feasible);
    EXPECT_EQ(atLimit.fitness, 200.0f + 200000.0f * 0.5f);

    p.pressure[3] = 29.4375f;  // short by 0.5625
    const Evaluation beyond = f.Simulate({p});
    EXPECT_FALSE(beyond.feasible);
    EXPECT_EQ(beyond.fitness, 200.0f + 200000.0f * 0.5625f);
}

TEST(Penalties, InconsistentLimitsTakeTheExcessOverTheMaximum) {
    GaOptions o = Weights();
    Fixture f(o);
    f.project.Network.Nodes.Item("J1").MinPressure = 50.0f;
    f.project.Network.Nodes.Item("J1").MaxPressure = 40.0f;
    f.layout = BuildDesignLayout(f.project);
    Period p = Quiet();
    p.pressure[2] = 44.0f;  // 6 below 50, 4 above 40: the excess (4) is taken
    const Evaluation e = f.Simulate({p});
    EXPECT_EQ(e.maxPressureViolation, 4.0f);
}

TEST(Penalties, MissingPressureLimitComparesAsZero) {
    Fixture f(Weights());
    f.project.Network.Nodes.Item("J2").MaxPressure.reset();  // never entered: 0
    f.layout = BuildDesignLayout(f.project);
    const Evaluation e = f.Simulate({Quiet()});
    EXPECT_EQ(e.maxPressureViolation, 45.0f);
}

TEST(Penalties, VelocityAtTheToleranceIsNotCheckedAboveItIs) {
    Fixture f(Weights());
    Period p = Quiet();
    p.velocity[1] = 0.25f;  // equal to VelocityTolerance: skipped though below MinVelocity 0.5
    EXPECT_EQ(f.Simulate({p}).maxVelocityViolation, 0.0f);
    EXPECT_TRUE(f.Simulate({p}).feasible);
    p.velocity[1] = 0.375f;  // checked: short by 0.125, within the tolerance 0.25
    const Evaluation e = f.Simulate({p});
    EXPECT_EQ(e.maxVelocityViolation, 0.125f);
    EXPECT_TRUE(e.feasible);
    EXPECT_EQ(e.velocityTerm, 200000.0f * 0.125f);
    p.velocity[1] = 2.5f;  // 0.5 above the maximum 2
    EXPECT_FALSE(f.Simulate({p}).feasible);
    EXPECT_EQ(f.Simulate({p}).maxVelocityViolation, 0.5f);
}

TEST(Penalties, ZeroPressureAndVelocityWeightsStillDecideFeasibility) {
    GaOptions o = Weights();
    o.PressurePenalty = 0;
    o.VelocityPenalty = 0;
    Fixture f(o);
    Period p = Quiet();
    p.pressure[2] = 20.0f;
    p.velocity[1] = 3.0f;
    const Evaluation e = f.Simulate({p});
    EXPECT_EQ(e.fitness, 200.0f);
    EXPECT_FALSE(e.feasible);
}

TEST(Penalties, WarningInOnePeriodCostsTheLumpOnceAndMakesTheDesignInfeasible) {
    Fixture f(Weights());
    Period warn = Quiet();
    warn.runCode = 1;
    const Evaluation e = f.Simulate({Quiet(), warn, warn, Quiet()});
    EXPECT_EQ(e.warningTerm, 500000.0f);
    EXPECT_EQ(e.fitness, 200.0f + 500000.0f);
    EXPECT_FALSE(e.feasible);
}

TEST(Penalties, ZeroWarningWeightRemovesWarningsFromFitnessAndFeasibility) {
    GaOptions o = Weights();
    o.WarningPenalty = 0;
    Fixture f(o);
    Period warn = Quiet();
    warn.runCode = 6;
    const Evaluation e = f.Simulate({warn});
    EXPECT_EQ(e.fitness, 200.0f);
    EXPECT_TRUE(e.feasible);
}

TEST(Penalties, SourceOutflowIsTakenAsMagnitudeAndAnyExcessIsInfeasible) {
    Fixture f(Weights());
    Period p = Quiet();
    p.demand[9] = -50.25f;  // supplies 50.25 against a limit of 50
    const Evaluation e = f.Simulate({p});
    EXPECT_EQ(e.maxSourceViolation, 0.25f);
    EXPECT_EQ(e.sourceTerm, 50000.0f);
    EXPECT_FALSE(e.feasible);
}

TEST(Penalties, ZeroSourcesWeightRemovesSourceExcessFromFitnessAndFeasibility) {
    GaOptions o = Weights();
    o.SourcesPenalty = 0;
    Fixture f(o);
    Period p = Quiet();
    p.demand[9] = -80.0f;
    const Evaluation e = f.Simulate({p});
    EXPECT_EQ(e.maxSourceViolation, 30.0f);
    EXPECT_EQ(e.fitness, 200.0f);
    EXPECT_TRUE(e.feasible);
}

TEST(Penalties, SourceWithoutLimitCountsEveryOutflow) {
    Fixture f(Weights());
    f.project.Network.Nodes.Item("R").MaxFlow = 0;
    f.layout = BuildDesignLayout(f.project);
    EXPECT_EQ(f.Simulate({Quiet()}).maxSourceViolation, 40.0f);
}

TEST(Penalties, WithoutDesignedJunctionsAndSourcesOnlyCostVelocityAndWarningsCount) {
    Fixture f(Weights());
    f.project.DesignJunctions.clear();
    f.project.DesignSources.clear();
    f.layout = BuildDesignLayout(f.project);
    Period p = Quiet();
    p.pressure[2] = -100.0f;
    p.demand[9] = -1000.0f;
    p.velocity[1] = 2.125f;
    const Evaluation e = f.Simulate({p});
    EXPECT_EQ(e.fitness, 200.0f + 200000.0f * 0.125f);
    EXPECT_TRUE(e.feasible);  // 0.125 is within the velocity tolerance
}

TEST(Penalties, ValuesThatAreNotNumbersMakeTheDesignInfeasible) {
    Fixture f(Weights());
    Period p = Quiet();
    p.pressure[2] = std::numeric_limits<float>::quiet_NaN();
    const Evaluation e = f.Simulate({p});
    EXPECT_FALSE(e.feasible);
    EXPECT_TRUE(std::isfinite(e.fitness));
}

TEST(Penalties, FailedQueryIsAnErrorNotAFeasibleDesign) {
    Fixture f(Weights());
    f.model.queryCode = 203;
    EXPECT_THROW(f.Simulate({Quiet()}), HydraulicQueryError);
}

// Pressure at J1 and J2 is the sum of the diameters of the designed pipes
// divided by 10; the source supplies 40. Diameter 100 gives 10 per pipe.
std::vector<Period> PressureFromDiameters(const LinkValues& values) {
    float sum = 0;
    for (const auto& [key, value] : values) {
        if (key.second == binding::en::DIAMETER) {
            sum += value;
        }
    }
    Period p = Quiet();
    p.pressure = {{2, sum / 10}, {3, sum / 10}};
    return {p};
}

// Three pipes of 1 m with options cheap (diameter 100, cost 1), mid (diameter
// 150, cost 2) and dear (diameter 200, cost 2): a design is feasible when the
// diameters add up to at least 300 (pressure 30).
struct RecordFixture {
    RecordFixture() {
        GaOptions o = Weights();
        project = ProjectBuilder()
                      .Option("CHEAP", 1, 100, 130)
                      .Option("MID", 2, 150, 130)
                      .Option("DEAR", 2, 200, 130)
                      .Pipe("P1", 1, 1, {"CHEAP", "MID", "DEAR"}, 0, 100)
                      .Pipe("P2", 2, 1, {"CHEAP", "MID", "DEAR"}, 0, 100)
                      .Pipe("P3", 3, 1, {"CHEAP", "MID", "DEAR"}, 0, 100)
                      .Junction("J1", 2, 30.0f, 60.0f)
                      .Settings(o)
                      .Build();
        layout = BuildDesignLayout(project);
        model.hydraulics = PressureFromDiameters;
    }
    Project project;
    DesignLayout layout;
    ScriptedModel model;
};

TEST(BestFeasibleRecord, KeepsTheCheapestFeasibleAndOnEqualCostTheFirst) {
    RecordFixture f;
    f.project.Network.Nodes.Item("J1").MinPressure = 40.0f;  // needs 400 in diameters
    f.layout = BuildDesignLayout(f.project);
    DesignEvaluator ev(f.layout, PenaltySettings::From(f.project.GaOptions), f.model);
    EXPECT_FALSE(ev.record().FeasibleFound);
    EXPECT_EQ(ev.record().BestFeasibleCost, 1E+38f);

    // 300 -> 30: short by 10, infeasible.
    EXPECT_EQ(ev.EvaluateDesign(std::vector<std::int32_t>{0, 0, 0}), 3.0f + 200000.0f * 10);
    EXPECT_FALSE(ev.record().FeasibleFound);
    EXPECT_TRUE(ev.record().BestFeasibleGenes.empty());
    ev.EvaluateDesign(std::vector<std::int32_t>{2, 2, 0});  // 500 -> 50, cost 5: the first feasible
    EXPECT_TRUE(ev.record().FeasibleFound);
    EXPECT_EQ(ev.record().BestFeasibleCost, 5.0f);
    ev.EvaluateDesign(std::vector<std::int32_t>{1, 2, 1});  // 500, cost 6: dearer, ignored
    ev.EvaluateDesign(std::vector<std::int32_t>{2, 0, 2});  // 500, cost 5: equal, the first stays
    ev.EvaluateDesign(std::vector<std::int32_t>{1, 1, 0});  // 400 -> 40 exactly, cost 5: equal again
    EXPECT_EQ(ev.record().BestFeasibleGenes, (std::vector<std::int32_t>{2, 2, 0}));
    ev.EvaluateDesign(std::vector<std::int32_t>{2, 1, 0});  // 450, cost 2 + 2 + 1 = 5
    EXPECT_EQ(ev.record().BestFeasibleGenes, (std::vector<std::int32_t>{2, 2, 0}));
    ev.EvaluateDesign(std::vector<std::int32_t>{2, 2, 2});  // 600, cost 6
    ev.EvaluateDesign(std::vector<std::int32_t>{2, 0, 0});  // 400, cost 4: strictly cheaper, taken
    EXPECT_EQ(ev.record().BestFeasibleCost, 4.0f);
    EXPECT_EQ(ev.record().BestFeasibleGenes, (std::vector<std::int32_t>{2, 0, 0}));
    EXPECT_EQ(ev.evaluations(), 8);
}

TEST(BestFeasibleRecord, FeasibleDesignWithAnInvalidGeneOnlyWhenNothingCheaper) {
    RecordFixture f;
    DesignEvaluator ev(f.layout, PenaltySettings::From(f.project.GaOptions), f.model);
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

TEST(BestFeasibleRecord, IsDesignFeasibleLeavesTheRecordAlone) {
    RecordFixture f;
    DesignEvaluator ev(f.layout, PenaltySettings::From(f.project.GaOptions), f.model);
    EXPECT_TRUE(ev.IsDesignFeasible(std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_FALSE(ev.record().FeasibleFound);
    EXPECT_EQ(ev.evaluations(), 0);
}

TEST(EvaluationCache, RepeatedChromosomeIsJudgedFromMemoryWithTheSameOutcome) {
    RecordFixture cached, fresh;
    const PenaltySettings s = PenaltySettings::From(cached.project.GaOptions);
    DesignEvaluator a(cached.layout, s, cached.model, true);
    DesignEvaluator b(fresh.layout, s, fresh.model, false);
    const std::vector<std::vector<std::int32_t>> sequence = {
        {0, 0, 0}, {1, 2, 0}, {0, 0, 0}, {2, 2, 2}, {1, 2, 0}};
    for (const auto& genes : sequence) {
        EXPECT_EQ(a.EvaluateDesign(genes), b.EvaluateDesign(genes));
    }
    EXPECT_EQ(a.simulations(), 3);
    EXPECT_EQ(b.simulations(), 5);
    EXPECT_EQ(a.record().BestFeasibleGenes, b.record().BestFeasibleGenes);
}

TEST(EvaluationCache, ChromosomesWithInvalidGenesAreAlwaysSimulated) {
    RecordFixture f;
    DesignEvaluator ev(f.layout, PenaltySettings::From(f.project.GaOptions), f.model, true);
    ev.EvaluateDesign(std::vector<std::int32_t>{3, 0, 0});
    ev.EvaluateDesign(std::vector<std::int32_t>{3, 0, 0});
    EXPECT_EQ(ev.simulations(), 2);
}

}  // namespace
}  // namespace kelvarn::design
