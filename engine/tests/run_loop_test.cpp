// Whole runs: stop rules, reports, refusals during a run, elitism, run time and
// reproducibility.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

#include "recording_host.h"
#include "tarnix/engine.h"

namespace tarnix {
namespace {

using namespace std::chrono_literals;
using testing::RecordingHost;

// Value of all binary genes summed: a fitness that depends on the chromosome only.
float geneSum(const BinaryGeneArray& binary) {
    float sum = 0.0f;
    for (const std::int32_t gene : *binary) {
        sum += static_cast<float>(gene);
    }
    return sum;
}

void smallBinaryProblem(Engine& engine, std::int32_t population = 10, std::int32_t generations = 10) {
    engine.SetPopulationSize(population);
    engine.SetNumberOfGenerations(generations);
    engine.SetRandomSeed(1);
    ASSERT_EQ(engine.DefineBinaryGenes(3, {4, 4, 4}), 0);
}

// The no-change rule on a first and a second run of the same engine.
class NoChangeRule : public ::testing::TestWithParam<float> {};

TEST_P(NoChangeRule, FirstRunStopsInGenerationFourAndTheSecondAtOnce) {
    const float constant = GetParam();
    Engine engine;
    smallBinaryProblem(engine, 6, 50);
    engine.SetTerminationMode(mvxNoChangeInFitness);
    engine.SetMaximumGenerationsWithNoChange(3);
    std::int32_t lastGeneration = 0;
    engine.SetFitnessFunction([&](auto&, auto&, auto&, std::int32_t generation, float& fitness) {
        lastGeneration = generation;
        fitness = constant;
    });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(lastGeneration, 4);
    // The counter and the remembered best survive the run, ResetMoravex and ResetDefaults.
    engine.ResetMoravex();
    engine.ResetDefaults();
    smallBinaryProblem(engine, 6, 50);
    engine.SetTerminationMode(mvxNoChangeInFitness);
    engine.SetMaximumGenerationsWithNoChange(3);
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(lastGeneration, 1);
}

INSTANTIATE_TEST_SUITE_P(Engine, NoChangeRule, ::testing::Values(0.0f, 5.0f));

TEST(NoChangeRuleReport, ABestFitnessWrittenInAReportCountsAsAChange) {
    Engine engine;
    smallBinaryProblem(engine, 6, 12);
    engine.SetTerminationMode(mvxNoChangeInFitness);
    engine.SetMaximumGenerationsWithNoChange(2);
    engine.SetReportEveryGeneration(1);
    std::int32_t lastGeneration = 0;
    engine.SetFitnessFunction([&](auto&, auto&, auto&, std::int32_t generation, float& fitness) {
        lastGeneration = generation;
        fitness = 1.0f;
    });
    engine.SetGenerationReport([](float& best, std::int32_t generation, auto&, auto&, auto&, std::int32_t&,
                                  float&) { best = static_cast<float>(generation); });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(lastGeneration, 12);
}

TEST(Reports, AfterEveryThirdGenerationAndThenPendingMessages) {
    RecordingHost host;
    Engine engine(&host);
    smallBinaryProblem(engine, 10, 10);
    engine.SetReportEveryGeneration(3);
    std::vector<std::int32_t> reported;
    engine.SetGenerationReport(
        [&](float&, std::int32_t generation, auto&, auto&, auto&, std::int32_t&, float&) {
            reported.push_back(generation);
            EXPECT_EQ(host.pendingMessageCalls, static_cast<int>(reported.size()) - 1);
        });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(reported, (std::vector<std::int32_t>{3, 6, 9}));
    EXPECT_EQ(host.pendingMessageCalls, 3);
}

TEST(Reports, NeverWithZeroAndOneGenerationEvaluatesOnceAndEnds) {
    RecordingHost host;
    Engine engine(&host);
    smallBinaryProblem(engine, 8, 1);
    int reports = 0;
    std::vector<std::int32_t> generations;
    engine.SetFitnessFunction([&](auto&, auto&, auto&, std::int32_t g, float&) { generations.push_back(g); });
    engine.SetGenerationReport([&](auto&&...) { ++reports; });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(generations, std::vector<std::int32_t>(8, 1));
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(host.pendingMessageCalls, 0);
}

TEST(Refusals, ASecondRunFromInsideAnEventReturnsOneAndTheOuterRunGoesOn) {
    Engine engine;
    smallBinaryProblem(engine, 6, 3);
    int evaluations = 0;
    std::vector<int> innerResults;
    std::vector<int> solutionResults;
    engine.SetFitnessFunction([&](auto&, auto&, auto&, std::int32_t, float& fitness) {
        ++evaluations;
        if (evaluations == 2) {
            innerResults.push_back(engine.RunMoravex());
            float best = -1.0f;
            solutionResults.push_back(engine.GetSolutionParameters(nullptr, &best));
            EXPECT_EQ(best, -1.0f) << "a refused call filled an output";
            solutionResults.push_back(engine.ResetMoravex());
        }
        fitness = 1.0f;
    });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(innerResults, std::vector<int>{1});
    EXPECT_EQ(solutionResults, (std::vector<int>{1, 1}));
    EXPECT_EQ(evaluations, 6 * 3);
    EXPECT_FALSE(engine.RunInProgress());
    EXPECT_EQ(engine.NumberOfBinaryGenes(), 3);
}

TEST(Refusals, SettingsThatCannotRunAreRefusedAndKeepTheLastResult) {
    Engine engine;
    smallBinaryProblem(engine, 6, 2);
    engine.SetFitnessFunction(
        [](const BinaryGeneArray& b, auto&, auto&, std::int32_t, float& f) { f = geneSum(b); });
    ASSERT_EQ(engine.RunMoravex(), 0);
    Solution before;
    ASSERT_EQ(engine.GetSolutionParameters(before), 0);

    MemoryPropertyStore good;
    engine.SaveSettings(good);
    for (const auto& [key, value] :
         std::vector<std::pair<const char*, PropertyValue>>{{"PopulationSize", std::int32_t{5}},
                                                            {"PopulationSize", std::int32_t{2}},
                                                            {"NumberOfGenerations", std::int32_t{0}},
                                                            {"NumberOfBinaryGenes", std::int32_t{4}},
                                                            {"SelectionType", std::int32_t{9}},
                                                            {"MutationProbability", 3.0f}}) {
        MemoryPropertyStore store = good;
        store.write(key, value);
        ASSERT_TRUE(engine.LoadSettings(store));
        EXPECT_EQ(engine.RunMoravex(), 1) << key;
        EXPECT_FALSE(engine.RunInProgress());
        if (std::string(key) != "SelectionType" && std::string(key) != "MutationProbability") {
            // Refused before it started: the last run's result is still there.
            Solution after;
            ASSERT_EQ(engine.GetSolutionParameters(after), 0);
            EXPECT_EQ(after.binaryGenes, before.binaryGenes) << key;
            EXPECT_EQ(after.bestFitness, before.bestFitness) << key;
        }
        engine.LoadSettings(good);
    }
    EXPECT_EQ(engine.RunMoravex(), 0);
}

TEST(Refusals, AThrowingHandlerLeavesTheEngineIdle) {
    Engine engine;
    smallBinaryProblem(engine, 4, 2);
    engine.SetFitnessFunction([](auto&&...) { throw std::runtime_error("host failure"); });
    EXPECT_THROW(engine.RunMoravex(), std::runtime_error);
    EXPECT_FALSE(engine.RunInProgress());
    engine.SetFitnessFunction({});
    EXPECT_EQ(engine.RunMoravex(), 0);
}

// With elitism the best chromosome of a generation is member 0 of the next one,
// unchanged, so it is evaluated first and scores the reported best again.
class ElitismRun : public ::testing::TestWithParam<mvxObjectiveFunctionType> {};

TEST_P(ElitismRun, TheBestOfEachGenerationIsCarriedUnchangedIntoSlotZero) {
    const bool maximise = GetParam() == mvxMaximum;
    Engine engine;
    smallBinaryProblem(engine, 20, 15);
    engine.SetObjectiveFunctionType(GetParam());
    engine.SetMutationProbability(0.3f);
    engine.SetReportEveryGeneration(1);
    std::vector<float> firstOfGeneration;
    std::vector<std::vector<float>> generationValues;
    std::vector<float> reportedBest;
    engine.SetFitnessFunction(
        [&](const BinaryGeneArray& binary, auto&, auto&, std::int32_t generation, float& fitness) {
            fitness = geneSum(binary);
            if (generationValues.size() < static_cast<std::size_t>(generation)) {
                generationValues.emplace_back();
                firstOfGeneration.push_back(fitness);
            }
            generationValues.back().push_back(fitness);
        });
    engine.SetGenerationReport([&](float& best, std::int32_t, const BinaryGeneArray& binary, auto&, auto&,
                                   std::int32_t&, float& mean) {
        reportedBest.push_back(best);
        const auto& values = generationValues.back();  // the mean is over the generation just evaluated
        EXPECT_FLOAT_EQ(mean, std::accumulate(values.begin(), values.end(), 0.0f) / values.size());
        EXPECT_EQ(geneSum(binary), best) << "the report's genes are not the best chromosome";
    });
    ASSERT_EQ(engine.RunMoravex(), 0);
    ASSERT_EQ(reportedBest.size(), 15u);
    for (std::size_t g = 0; g < reportedBest.size(); ++g) {
        const auto& values = generationValues[g];
        const float best = maximise ? *std::max_element(values.begin(), values.end())
                                    : *std::min_element(values.begin(), values.end());
        EXPECT_EQ(reportedBest[g], best) << "generation " << g + 1;
        if (g + 1 < reportedBest.size()) {
            EXPECT_EQ(firstOfGeneration[g + 1], best) << "generation " << g + 2;
        }
    }
    Solution solution;
    ASSERT_EQ(engine.GetSolutionParameters(solution), 0);
    EXPECT_EQ(solution.bestFitness, reportedBest.back());
    EXPECT_EQ(geneSum(solution.binaryGenes), solution.bestFitness);
}

INSTANTIATE_TEST_SUITE_P(Engine, ElitismRun, ::testing::Values(mvxMinimum, mvxMaximum));

// Counts user-defined crossover events, one per pair and generation.
class PairsPerGeneration : public ::testing::TestWithParam<std::pair<std::int32_t, int>> {};

TEST_P(PairsPerGeneration, OffspringCountOverTwo) {
    const auto [population, pairs] = GetParam();
    Engine engine;
    smallBinaryProblem(engine, population, 2);
    engine.SetBinaryCrossoverType(mvxUserDefinedBCO);
    int events = 0;
    engine.SetUserDefinedCrossoverFunction([&](mvxDataType type, const CrossoverData&, CrossoverData&) {
        EXPECT_EQ(type, mvxBinary);
        ++events;
    });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(events, 2 * pairs);
}

// 6 members: 4 survivors, 2 offspring; 100: 50 and 50; 4: 2 and 2.
INSTANTIATE_TEST_SUITE_P(Engine, PairsPerGeneration,
                         ::testing::Values(std::pair{6, 1}, std::pair{100, 25}, std::pair{4, 1},
                                           std::pair{10, 2}));

struct Trace {
    std::vector<std::int32_t> binary;
    std::vector<float> real;
    std::vector<std::int32_t> integer;
    bool operator==(const Trace&) const = default;
};

Trace traceRun(Engine& engine) {
    Trace trace;
    engine.SetFitnessFunction([&](const BinaryGeneArray& b, const RealGeneArray& r, const IntegerGeneArray& i,
                                  std::int32_t, float& fitness) {
        trace.binary.insert(trace.binary.end(), b->begin(), b->end());
        trace.real.insert(trace.real.end(), r->begin(), r->end());
        trace.integer.insert(trace.integer.end(), i->begin(), i->end());
        fitness = static_cast<float>((*b)[0]) + (*r)[0] - static_cast<float>((*i)[0]);
    });
    EXPECT_EQ(engine.RunMoravex(), 0);
    return trace;
}

void mixedProblem(Engine& engine, float seed) {
    engine.SetRandomSeed(seed);
    engine.SetPopulationSize(12);
    engine.SetNumberOfGenerations(6);
    engine.SetMutationProbability(0.2f);
    engine.SetSelectionType(mvxTournament);
    engine.DefineBinaryGenes(2, {5, 3});
    engine.DefineRealGenes(2, {-1.0, 0.0}, {1.0, 10.0});
    engine.DefineIntegerGenes(1, {-3.0}, {3.0});
}

TEST(Reproducibility, AFixedSeedRepeatsARunOnAFreshEngine) {
    Engine first, second, other;
    mixedProblem(first, 42.0f);
    mixedProblem(second, 42.0f);
    mixedProblem(other, 43.0f);
    const Trace a = traceRun(first);
    EXPECT_EQ(a, traceRun(second));
    EXPECT_NE(a, traceRun(other));
    // Seeding mixes into the generator's state: the next run on the same engine
    // does not repeat the first.
    EXPECT_NE(a, traceRun(first));
}

TEST(Solution, GeneArraysAreZeroBasedWithNullForAKindWithoutGenes) {
    Engine engine;
    EXPECT_EQ(engine.GetSolutionParameters(), 0);
    BinaryGeneArray binary{{1, 2}};
    EXPECT_EQ(engine.GetSolutionParameters(nullptr, nullptr, &binary), 1)
        << "no run has produced a population";
    EXPECT_FALSE(binary);

    engine.SetPopulationSize(4);
    engine.SetNumberOfGenerations(2);
    engine.DefineRealGenes(3, {0.0, 1.0, 2.0}, {0.5, 1.5, 2.5});
    bool nullKindsSeen = false;
    engine.SetFitnessFunction([&](const BinaryGeneArray& b, const RealGeneArray& r, const IntegerGeneArray& i,
                                  std::int32_t, float& fitness) {
        nullKindsSeen = !b && !i && r && r->size() == 3;
        fitness = (*r)[0];
    });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_TRUE(nullKindsSeen);
    Solution solution;
    solution.binaryGenes = std::vector<std::int32_t>{7};
    ASSERT_EQ(engine.GetSolutionParameters(solution), 0);
    EXPECT_FALSE(solution.binaryGenes);
    EXPECT_FALSE(solution.integerGenes);
    ASSERT_TRUE(solution.realGenes);
    ASSERT_EQ(solution.realGenes->size(), 3u);
    for (std::size_t j = 0; j < 3; ++j) {
        EXPECT_GE((*solution.realGenes)[j], static_cast<float>(j));
        EXPECT_LE((*solution.realGenes)[j], static_cast<float>(j) + 0.5f);
    }
    EXPECT_EQ(solution.bestFitness, (*solution.realGenes)[0]);

    ASSERT_EQ(engine.ResetMoravex(), 0);
    EXPECT_EQ(engine.NumberOfRealGenes(), 0);
    EXPECT_EQ(engine.GetSolutionParameters(solution), 1);
    EXPECT_FALSE(solution.realGenes);
}

TEST(RunTime, CountsSecondBoundariesBetweenStartAndEnd) {
    struct Case {
        std::chrono::milliseconds startOffset, duration;
        std::int32_t seconds;
    };
    for (const Case c : {Case{900ms, 200ms, 1}, Case{0ms, 2500ms, 2}, Case{100ms, 800ms, 0}}) {
        RecordingHost host;
        host.clock += c.startOffset;
        Engine engine(&host);
        smallBinaryProblem(engine, 4, 1);
        bool moved = false;
        engine.SetFitnessFunction([&](auto&&...) {
            if (!moved) {
                host.clock += c.duration;
                moved = true;
            }
        });
        ASSERT_EQ(engine.RunMoravex(), 0);
        std::int32_t runTime = -1;
        ASSERT_EQ(engine.GetSolutionParameters(&runTime), 0);
        EXPECT_EQ(runTime, c.seconds);
    }
}

// The elapsed-time mode runs while within its limit and, set from a report,
// ends the run at its next stop test.
TEST(StopRequest, ElapsedTimeMode) {
    RecordingHost host;  // the clock stands still at first: never more than the limit
    Engine engine(&host);
    smallBinaryProblem(engine, 6, 7);
    engine.SetTerminationMode(mvxElapsedTime);
    engine.SetMaximumRunTime(1);
    std::int32_t lastGeneration = 0;
    engine.SetFitnessFunction([&](auto&, auto&, auto&, std::int32_t g, float&) { lastGeneration = g; });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(lastGeneration, 7);

    host.tick = 1s;
    engine.SetTerminationMode(mvxMaximumGenerations);
    engine.SetNumberOfGenerations(100);
    engine.SetReportEveryGeneration(1);
    std::vector<std::int32_t> elapsed;
    engine.SetGenerationReport(
        [&](float&, std::int32_t g, auto&, auto&, auto&, std::int32_t& seconds, float&) {
            elapsed.push_back(seconds);
            if (g == 5) {
                engine.SetTerminationMode(mvxElapsedTime);
            }
        });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(lastGeneration, 5);
    ASSERT_EQ(elapsed.size(), 5u);
    EXPECT_TRUE(std::is_sorted(elapsed.begin(), elapsed.end()));
    EXPECT_GT(elapsed.back(), 1);
}

}  // namespace
}  // namespace tarnix
