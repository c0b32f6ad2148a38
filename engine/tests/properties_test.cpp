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
    double defaultValue;
    std::vector<double> accepted;  // the first differs from the default
    std::vector<double> refused;
    std::string message;
};

template <class E, class Setter, class Getter>
CheckedProperty enumerated(std::string name, Setter set, Getter get, int defaultValue, int last) {
    std::vector<double> accepted;
    for (int v = last; v >= 0; --v) {
        accepted.push_back(v);
    }
    return {name,
            [set](Engine& e, double v) { return (e.*set)(static_cast<E>(static_cast<int>(v))); },
            [get](const Engine& e) { return static_cast<double>((e.*get)()); },
            static_cast<double>(defaultValue),
            accepted,
            {-1.0, static_cast<double>(last + 1), 100.0},
            "Invalid " + name + " value"};
}

template <class T, class Setter, class Getter>
CheckedProperty bounded(std::string name, Setter set, Getter get, double defaultValue,
                        std::vector<double> accepted, std::vector<double> refused = {},
                        std::string message = "") {
    return {name,
            [set](Engine& e, double v) { return (e.*set)(static_cast<T>(v)); },
            [get](const Engine& e) { return static_cast<double>((e.*get)()); },
            defaultValue,
            accepted,
            refused,
            message};
}

std::vector<CheckedProperty> checkedProperties() {
    return {
        enumerated<mvxSelectionType>("SelectionType", &Engine::SetSelectionType, &Engine::SelectionType, 0,
                                     4),
        enumerated<mvxObjectiveFunctionType>("ObjectiveFunctionType", &Engine::SetObjectiveFunctionType,
                                             &Engine::ObjectiveFunctionType, 0, 1),
        enumerated<mvxBinaryCrossoverType>("BinaryCrossoverType", &Engine::SetBinaryCrossoverType,
                                           &Engine::BinaryCrossoverType, 1, 3),
        enumerated<mvxRealCrossoverType>("RealCrossoverType", &Engine::SetRealCrossoverType,
                                         &Engine::RealCrossoverType, 0, 2),
        enumerated<mvxIntegerCrossoverType>("IntegerCrossoverType", &Engine::SetIntegerCrossoverType,
                                            &Engine::IntegerCrossoverType, 0, 2),
        enumerated<mvxBinaryMutationType>("BinaryMutationType", &Engine::SetBinaryMutationType,
                                          &Engine::BinaryMutationType, 0, 1),
        enumerated<mvxRealMutationType>("RealMutationType", &Engine::SetRealMutationType,
                                        &Engine::RealMutationType, 0, 2),
        enumerated<mvxIntegerMutationType>("IntegerMutationType", &Engine::SetIntegerMutationType,
                                           &Engine::IntegerMutationType, 0, 2),
        enumerated<mvxTerminationType>("TerminationMode", &Engine::SetTerminationMode,
                                       &Engine::TerminationMode, 0, 2),
        // 4 itself is accepted; odd values and anything below 4 are not.
        bounded<std::int32_t>("PopulationSize", &Engine::SetPopulationSize, &Engine::PopulationSize, 100,
                              {4, 6, 1000}, {5, 3, 2, 0, -4, 101},
                              "Population size must be greater then 4 and even"),
        bounded<float>("MutationProbability", &Engine::SetMutationProbability, &Engine::MutationProbability,
                       0.1, {0.0, 1.0, 0.25}, {1.5, -0.1, 1.0000001},
                       "Mutation probability must be between 0 and 1"),
        bounded<float>("CrossoverProbability", &Engine::SetCrossoverProbability,
                       &Engine::CrossoverProbability, 0.95, {0.0, 1.0, 0.5}, {2.0, -0.5},
                       "Crossover probability must be between 0 and 1"),
        bounded<std::int32_t>("MaximumRunTime", &Engine::SetMaximumRunTime, &Engine::MaximumRunTime, 3600,
                              {1, 60}, {0, -5}, "MaximumRunTime must be greater then 0"),
        bounded<std::int32_t>("MaximumGenerationsWithNoChange", &Engine::SetMaximumGenerationsWithNoChange,
                              &Engine::MaximumGenerationsWithNoChange, 10, {1, 3}, {0, -1},
                              "MaximumGenerationsWithNoChange must be greater then 0"),
        bounded<std::int32_t>("NumberOfGenerations", &Engine::SetNumberOfGenerations,
                              &Engine::NumberOfGenerations, 100, {1, 500}, {0, -100},
                              "NumberOfGeneration must be greater then 0"),
        bounded<std::int32_t>("ReportEveryGeneration", &Engine::SetReportEveryGeneration,
                              &Engine::ReportEveryGeneration, 0, {7, 0, 1}, {-1, -10},
                              "ReportEveryGeneration must be positive"),
        // Any value is taken.
        bounded<bool>("Elitism", &Engine::SetElitism, &Engine::Elitism, 1, {0, 1}),
        bounded<float>("RandomSeed", &Engine::SetRandomSeed, &Engine::RandomSeed, 0, {-123.5, 7}),
        bounded<bool>("ShowErrorMessageBox", &Engine::SetShowErrorMessageBox, &Engine::ShowErrorMessageBox, 1,
                      {0, 1}),
    };
}

class CheckedPropertyTest : public ::testing::TestWithParam<CheckedProperty> {};

TEST_P(CheckedPropertyTest, AcceptsItsRangeAndRefusesTheRestWithItsMessageUnlessMessagesAreOff) {
    const CheckedProperty& p = GetParam();
    for (const bool messagesOn : {true, false}) {
        RecordingHost host;
        Engine engine(&host);
        EXPECT_FLOAT_EQ(p.get(engine), p.defaultValue);
        for (const double value : p.accepted) {
            host.changed.clear();
            EXPECT_TRUE(p.set(engine, value)) << value;
            EXPECT_FLOAT_EQ(p.get(engine), value);
            EXPECT_EQ(host.changed, std::vector<std::string>{p.name});
        }
        engine.SetShowErrorMessageBox(messagesOn);
        host.changed.clear();
        const double kept = p.get(engine);
        for (const double value : p.refused) {
            host.messages.clear();
            EXPECT_FALSE(p.set(engine, value)) << value;
            EXPECT_FLOAT_EQ(p.get(engine), kept) << "refused " << value << " changed the value";
            ASSERT_EQ(host.messages.size(), messagesOn ? 1u : 0u) << value;
            if (messagesOn) {
                EXPECT_EQ(host.messages[0].first, p.message);
                EXPECT_EQ(host.messages[0].second, "Moravex");
            }
        }
        EXPECT_TRUE(host.changed.empty()) << "a refusal marked the property changed";
    }
}

INSTANTIATE_TEST_SUITE_P(Engine, CheckedPropertyTest, ::testing::ValuesIn(checkedProperties()),
                         [](const auto& info) { return info.param.name; });

TEST(Defaults, ResetDefaultsGivesEveryPropertyItsDefaultAndEveryGeneCountZero) {
    Engine engine;
    for (const CheckedProperty& p : checkedProperties()) {
        ASSERT_TRUE(p.set(engine, p.accepted.front())) << p.name;
    }
    engine.DefineBinaryGenes(2, {3, 5});
    engine.DefineRealGenes(1, {0.0}, {1.0});
    engine.DefineIntegerGenes(1, {0.0}, {9.0});
    engine.ResetDefaults();
    for (const CheckedProperty& p : checkedProperties()) {
        EXPECT_FLOAT_EQ(p.get(engine), p.defaultValue) << p.name;
    }
    EXPECT_EQ(engine.NumberOfBinaryGenes() + engine.NumberOfRealGenes() + engine.NumberOfIntegerGenes(), 0);
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

    // During a run too.
    host.designTime = false;
    engine.SetPopulationSize(4);
    engine.SetNumberOfGenerations(1);
    int code = 0;
    engine.SetFitnessFunction([&](auto&, auto&, auto&, std::int32_t, float&) {
        code = codeOf([&] { engine.SetNumberOfRealGenes(7); });
    });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(code, 382);
    EXPECT_EQ(engine.NumberOfRealGenes(), 2);
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
