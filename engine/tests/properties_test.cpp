// Property setters: accepted values, refusals with their messages, defaults and
// the read-only gene counts.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "recording_host.h"
#include "tarnix/engine.h"
#include "tarnix/help_text.h"
#include "tarnix/read_only_property_error.h"

namespace tarnix {
namespace {

using testing::RecordingHost;

struct CheckedProperty {
    std::string name;
    std::function<bool(Engine&, double)> set;
    std::function<double(const Engine&)> get;
    std::vector<double> accepted;
    std::vector<double> refused;
    std::string message;
};

template <class E, class Setter, class Getter>
CheckedProperty enumerated(std::string name, Setter set, Getter get, int last) {
    std::vector<double> accepted;
    for (int v = last; v >= 0; --v) {
        accepted.push_back(v);
    }
    return {name,
            [set](Engine& e, double v) { return (e.*set)(static_cast<E>(static_cast<int>(v))); },
            [get](const Engine& e) { return static_cast<double>((e.*get)()); },
            accepted,
            {-1.0, static_cast<double>(last + 1), 100.0},
            "Invalid " + name + " value"};
}

template <class T, class Setter, class Getter>
CheckedProperty bounded(std::string name, Setter set, Getter get, std::vector<double> accepted,
                        std::vector<double> refused, std::string message) {
    return {name,
            [set](Engine& e, double v) { return (e.*set)(static_cast<T>(v)); },
            [get](const Engine& e) { return static_cast<double>((e.*get)()); },
            accepted,
            refused,
            message};
}

std::vector<CheckedProperty> checkedProperties() {
    return {
        enumerated<mvxSelectionType>("SelectionType", &Engine::SetSelectionType, &Engine::SelectionType, 4),
        enumerated<mvxObjectiveFunctionType>("ObjectiveFunctionType", &Engine::SetObjectiveFunctionType,
                                             &Engine::ObjectiveFunctionType, 1),
        enumerated<mvxBinaryCrossoverType>("BinaryCrossoverType", &Engine::SetBinaryCrossoverType,
                                           &Engine::BinaryCrossoverType, 3),
        enumerated<mvxRealCrossoverType>("RealCrossoverType", &Engine::SetRealCrossoverType,
                                         &Engine::RealCrossoverType, 2),
        enumerated<mvxIntegerCrossoverType>("IntegerCrossoverType", &Engine::SetIntegerCrossoverType,
                                            &Engine::IntegerCrossoverType, 2),
        enumerated<mvxBinaryMutationType>("BinaryMutationType", &Engine::SetBinaryMutationType,
                                          &Engine::BinaryMutationType, 1),
        enumerated<mvxRealMutationType>("RealMutationType", &Engine::SetRealMutationType,
                                        &Engine::RealMutationType, 2),
        enumerated<mvxIntegerMutationType>("IntegerMutationType", &Engine::SetIntegerMutationType,
                                           &Engine::IntegerMutationType, 2),
        enumerated<mvxTerminationType>("TerminationMode", &Engine::SetTerminationMode,
                                       &Engine::TerminationMode, 2),
        // 4 itself is accepted; odd values and anything below 4 are not.
        bounded<std::int32_t>("PopulationSize", &Engine::SetPopulationSize, &Engine::PopulationSize,
                              {4, 6, 1000}, {5, 3, 2, 0, -4, 101},
                              "Population size must be greater then 4 and even"),
        bounded<float>("MutationProbability", &Engine::SetMutationProbability, &Engine::MutationProbability,
                       {0.0, 1.0, 0.25}, {1.5, -0.1, 1.0000001},
                       "Mutation probability must be between 0 and 1"),
        bounded<float>("CrossoverProbability", &Engine::SetCrossoverProbability,
                       &Engine::CrossoverProbability, {0.0, 1.0, 0.5}, {2.0, -0.5},
                       "Crossover probability must be between 0 and 1"),
        bounded<std::int32_t>("MaximumRunTime", &Engine::SetMaximumRunTime, &Engine::MaximumRunTime, {1, 60},
                              {0, -5}, "MaximumRunTime must be greater then 0"),
        bounded<std::int32_t>("MaximumGenerationsWithNoChange", &Engine::SetMaximumGenerationsWithNoChange,
                              &Engine::MaximumGenerationsWithNoChange, {1, 3}, {0, -1},
                              "MaximumGenerationsWithNoChange must be greater then 0"),
        bounded<std::int32_t>("NumberOfGenerations", &Engine::SetNumberOfGenerations,
                              &Engine::NumberOfGenerations, {1, 500}, {0, -100},
                              "NumberOfGeneration must be greater then 0"),
        bounded<std::int32_t>("ReportEveryGeneration", &Engine::SetReportEveryGeneration,
                              &Engine::ReportEveryGeneration, {0, 1, 7}, {-1, -10},
                              "ReportEveryGeneration must be positive"),
    };
}

class CheckedPropertyTest : public ::testing::TestWithParam<CheckedProperty> {};

TEST_P(CheckedPropertyTest, AcceptsItsRangeAndRefusesTheRestWithItsMessage) {
    const CheckedProperty& p = GetParam();
    RecordingHost host;
    Engine engine(&host);
    for (const double value : p.accepted) {
        host.changed.clear();
        EXPECT_TRUE(p.set(engine, value)) << value;
        EXPECT_FLOAT_EQ(p.get(engine), value);
        EXPECT_EQ(host.changed, std::vector<std::string>{p.name});
    }
    const double kept = p.get(engine);
    for (const double value : p.refused) {
        host.messages.clear();
        host.changed.clear();
        EXPECT_FALSE(p.set(engine, value)) << value;
        EXPECT_FLOAT_EQ(p.get(engine), kept) << "refused " << value << " changed the value";
        ASSERT_EQ(host.messages.size(), 1u) << value;
        EXPECT_EQ(host.messages[0].first, p.message);
        EXPECT_EQ(host.messages[0].second, "Moravex");
        EXPECT_TRUE(host.changed.empty());
    }
}

TEST_P(CheckedPropertyTest, RefusesSilentlyWhenMessagesAreOff) {
    const CheckedProperty& p = GetParam();
    RecordingHost host;
    Engine engine(&host);
    engine.SetShowErrorMessageBox(false);
    const double kept = p.get(engine);
    for (const double value : p.refused) {
        EXPECT_FALSE(p.set(engine, value));
        EXPECT_FLOAT_EQ(p.get(engine), kept);
    }
    EXPECT_TRUE(host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Engine, CheckedPropertyTest, ::testing::ValuesIn(checkedProperties()),
                         [](const auto& info) { return info.param.name; });

TEST(UncheckedProperties, StoreAnyValue) {
    RecordingHost host;
    Engine engine(&host);
    EXPECT_TRUE(engine.SetElitism(false));
    EXPECT_FALSE(engine.Elitism());
    EXPECT_TRUE(engine.SetRandomSeed(-123.5f));
    EXPECT_EQ(engine.RandomSeed(), -123.5f);
    EXPECT_TRUE(engine.SetShowErrorMessageBox(false));
    EXPECT_FALSE(engine.ShowErrorMessageBox());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.changed, (std::vector<std::string>{"Elitism", "RandomSeed", "ShowErrorMessageBox"}));
}

void expectDefaults(const Engine& e) {
    EXPECT_EQ(e.SelectionType(), mvxTopMate);
    EXPECT_EQ(e.ObjectiveFunctionType(), mvxMinimum);
    EXPECT_EQ(e.BinaryCrossoverType(), mvxTwoPointsBCO);
    EXPECT_EQ(e.RealCrossoverType(), mvxBlendingRCO);
    EXPECT_EQ(e.IntegerCrossoverType(), mvxBlendingICO);
    EXPECT_EQ(e.BinaryMutationType(), mvxFlipBitBMU);
    EXPECT_EQ(e.RealMutationType(), mvxRandomRMU);
    EXPECT_EQ(e.IntegerMutationType(), mvxRandomIMU);
    EXPECT_EQ(e.TerminationMode(), mvxMaximumGenerations);
    EXPECT_TRUE(e.Elitism());
    EXPECT_EQ(e.PopulationSize(), 100);
    EXPECT_FLOAT_EQ(e.MutationProbability(), 0.1f);
    EXPECT_FLOAT_EQ(e.CrossoverProbability(), 0.95f);
    EXPECT_EQ(e.NumberOfBinaryGenes(), 0);
    EXPECT_EQ(e.NumberOfRealGenes(), 0);
    EXPECT_EQ(e.NumberOfIntegerGenes(), 0);
    EXPECT_EQ(e.MaximumRunTime(), 3600);
    EXPECT_EQ(e.MaximumGenerationsWithNoChange(), 10);
    EXPECT_EQ(e.NumberOfGenerations(), 100);
    EXPECT_EQ(e.RandomSeed(), 0.0f);
    EXPECT_TRUE(e.ShowErrorMessageBox());
    EXPECT_EQ(e.ReportEveryGeneration(), 0);
}

void changeEverything(Engine& e) {
    e.SetSelectionType(mvxTournament);
    e.SetObjectiveFunctionType(mvxMaximum);
    e.SetBinaryCrossoverType(mvxOnePointBCO);
    e.SetRealCrossoverType(mvxUniformRCO);
    e.SetIntegerCrossoverType(mvxUniformICO);
    e.SetBinaryMutationType(mvxUserDefinedBMU);
    e.SetRealMutationType(mvxMinMaxRMU);
    e.SetIntegerMutationType(mvxMinMaxIMU);
    e.SetTerminationMode(mvxNoChangeInFitness);
    e.SetElitism(false);
    e.SetPopulationSize(8);
    e.SetMutationProbability(0.5f);
    e.SetCrossoverProbability(0.5f);
    e.SetMaximumRunTime(5);
    e.SetMaximumGenerationsWithNoChange(2);
    e.SetNumberOfGenerations(3);
    e.SetRandomSeed(9);
    e.SetShowErrorMessageBox(false);
    e.SetReportEveryGeneration(2);
    e.DefineBinaryGenes(2, {3, 5});
    e.DefineRealGenes(1, {0.0}, {1.0});
    e.DefineIntegerGenes(1, {0.0}, {9.0});
}

TEST(Defaults, NewEngineAndResetDefaultsGiveTheSameDefaults) {
    Engine engine;
    expectDefaults(engine);
    changeEverything(engine);
    ASSERT_EQ(engine.NumberOfBinaryGenes(), 2);
    engine.ResetDefaults();
    expectDefaults(engine);
}

TEST(Defaults, ResetDefaultsIsRefusedDuringARunAndWorksAfterIt) {
    Engine engine;
    engine.SetPopulationSize(4);
    engine.SetNumberOfGenerations(1);
    engine.SetBinaryCrossoverType(mvxOnePointBCO);
    engine.SetCrossoverProbability(0.5f);
    engine.DefineBinaryGenes(1, {4});
    engine.SetFitnessFunction([&](auto&, auto&, auto&, std::int32_t, float&) { engine.ResetDefaults(); });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(engine.BinaryCrossoverType(), mvxOnePointBCO);
    EXPECT_FLOAT_EQ(engine.CrossoverProbability(), 0.5f);
    engine.ResetDefaults();
    EXPECT_EQ(engine.BinaryCrossoverType(), mvxTwoPointsBCO);
    EXPECT_FLOAT_EQ(engine.CrossoverProbability(), 0.95f);
}

TEST(GeneCounts, SettersFailWithTheCodeOfDesignOrRunTimeAndChangeNothing) {
    RecordingHost host;
    Engine engine(&host);
    engine.DefineRealGenes(2, {0.0, 0.0}, {1.0, 1.0});
    const auto codeOf = [](auto&& call) {
        try {
            call();
        } catch (const ReadOnlyPropertyError& error) {
            return error.code();
        }
        return 0;
    };
    EXPECT_EQ(codeOf([&] { engine.SetNumberOfRealGenes(5); }), 382);
    EXPECT_EQ(codeOf([&] { engine.SetNumberOfBinaryGenes(1); }), 382);
    host.designTime = true;
    EXPECT_EQ(codeOf([&] { engine.SetNumberOfIntegerGenes(1); }), 387);
    EXPECT_EQ(engine.NumberOfRealGenes(), 2);
    EXPECT_EQ(engine.NumberOfBinaryGenes(), 0);
    EXPECT_EQ(engine.NumberOfIntegerGenes(), 0);
}

TEST(GeneCounts, SetterFailsDuringARunWith382) {
    Engine engine;
    engine.SetPopulationSize(4);
    engine.SetNumberOfGenerations(1);
    engine.DefineRealGenes(1, {0.0}, {1.0});
    int code = 0;
    engine.SetFitnessFunction([&](auto&, auto&, auto&, std::int32_t, float&) {
        try {
            engine.SetNumberOfRealGenes(7);
        } catch (const ReadOnlyPropertyError& error) {
            code = error.code();
        }
    });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(code, 382);
    EXPECT_EQ(engine.NumberOfRealGenes(), 1);
}

TEST(HelpTexts, NamesPropertiesMethodsAndEnumerationMembers) {
    EXPECT_EQ(HelpText("PopulationSize"), "Return or sets the populations size.");
    EXPECT_EQ(HelpText("RunMoravex"), "Starts the genetic process.");
    EXPECT_EQ(
        HelpText("ReportEveryGeneration"),
        "Return or sets the frequency of the \"GenerationReport\" event.\r\nThe event will be fired after "
        "\"ReportEveryGeneration\" generations have passed.\r\nIf 0 is used then the event will never be "
        "fired.");
    EXPECT_EQ(HelpText("mvxTwoPointsBCO"), "mvxTwoPointsBCO");
    EXPECT_EQ(HelpText("NoSuchThing"), "");
}

TEST(AboutBox, GoesToTheHost) {
    RecordingHost host;
    Engine engine(&host);
    engine.ShowAboutBox();
    EXPECT_EQ(host.aboutBoxes, 1);
    Engine withoutHost;
    withoutHost.ShowAboutBox();  // the default host shows nothing and must not fail
}

}  // namespace
}  // namespace tarnix
