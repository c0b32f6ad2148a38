// Settings in the host's property store: key order, default elision, unchecked
// loading and conversions between stored kinds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tarnix/engine.h"

namespace tarnix {
namespace {

// The keys in store order, separated by blanks.
std::string keysOf(const MemoryPropertyStore& store) {
    std::string keys;
    for (const auto& [key, value] : store.entries()) {
        keys += (keys.empty() ? "" : " ") + key;
    }
    return keys;
}

TEST(Persistence, ChangedSettingsAreStoredInTheFixedKeyOrder) {
    Engine engine;
    // Set in an order unlike the store's: the store's order must win.
    engine.SetRealCrossoverType(mvxUniformRCO);
    engine.SetReportEveryGeneration(5);
    engine.SetShowErrorMessageBox(false);
    engine.SetRandomSeed(2.5f);
    engine.SetNumberOfGenerations(40);
    engine.SetMaximumGenerationsWithNoChange(4);
    engine.SetMaximumRunTime(60);
    engine.DefineBinaryGenes(2, {3, 3});
    engine.DefineRealGenes(1, {0.0}, {1.0});
    engine.DefineIntegerGenes(1, {0.0}, {1.0});
    engine.SetCrossoverProbability(0.5f);
    engine.SetMutationProbability(0.2f);
    engine.SetPopulationSize(20);
    engine.SetElitism(false);
    engine.SetTerminationMode(mvxElapsedTime);
    engine.SetIntegerMutationType(mvxMinMaxIMU);
    engine.SetRealMutationType(mvxMinMaxRMU);
    engine.SetBinaryMutationType(mvxUserDefinedBMU);
    engine.SetIntegerCrossoverType(mvxUniformICO);
    engine.SetBinaryCrossoverType(mvxUniformBCO);
    engine.SetObjectiveFunctionType(mvxMaximum);
    engine.SetSelectionType(mvxRandom);
    MemoryPropertyStore store;
    engine.SaveSettings(store);
    EXPECT_EQ(
        keysOf(store),
        "SelectionType ObjectiveFunctionType BinaryCrossoverType IntegerCrossoverType BinaryMutationType "
        "RealMutationType IntegerMutationType TerminationMode Elitism PopulationSize MutationProbability "
        "CrossoverProbability NumberOfBinaryGenes NumberOfRealGenes NumberOfIntegerGenes MaximumRunTime "
        "MaximumGenerationsWithNoChange NumberOfGenerations RandomSeed ShowErrorMessageBox "
        "ReportEveryGeneration RealCrossoverType");
    EXPECT_EQ(store.read("PopulationSize"), PropertyValue{std::int32_t{20}});
    EXPECT_EQ(store.read("Elitism"), PropertyValue{false});
    EXPECT_EQ(store.read("RandomSeed"), PropertyValue{2.5f});
    EXPECT_EQ(store.read("NumberOfBinaryGenes"), PropertyValue{std::int32_t{2}});

    Engine loaded;
    ASSERT_TRUE(loaded.LoadSettings(store));
    MemoryPropertyStore again;
    loaded.SaveSettings(again);
    EXPECT_EQ(again.entries(), store.entries());
    EXPECT_EQ(loaded.SelectionType(), mvxRandom);
    EXPECT_EQ(loaded.RealCrossoverType(), mvxUniformRCO);
    EXPECT_FLOAT_EQ(loaded.MutationProbability(), 0.2f);
}

TEST(Persistence, OnlyTheChangedSettingIsStored) {
    Engine engine;
    MemoryPropertyStore store;
    engine.SaveSettings(store);
    EXPECT_EQ(keysOf(store), "");  // defaults are not stored
    engine.SetPopulationSize(50);
    engine.SetPopulationSize(100);  // back to the default: elided again
    engine.SetMutationProbability(0.3f);
    engine.SaveSettings(store);
    EXPECT_EQ(keysOf(store), "MutationProbability");
}

TEST(Persistence, LoadingTakesValuesUncheckedAndMissingKeysGiveDefaults) {
    Engine engine;
    engine.SetPopulationSize(40);  // not in the store below: back to its default
    MemoryPropertyStore store;
    store.write("SelectionType", std::int32_t{17});
    store.write("PopulationSize", std::int32_t{40});
    store.write("PopulationSize", std::int32_t{7});  // the last write wins
    store.write("MutationProbability", 4.0f);
    ASSERT_TRUE(engine.LoadSettings(store));
    EXPECT_EQ(static_cast<int>(engine.SelectionType()), 17);
    EXPECT_EQ(engine.PopulationSize(), 7);
    EXPECT_EQ(engine.MutationProbability(), 4.0f);
    EXPECT_EQ(engine.NumberOfGenerations(), 100);
    EXPECT_TRUE(engine.Elitism());
}

TEST(Persistence, StoredKindsAreConverted) {
    struct Case {
        const char* key;
        PropertyValue stored;
        double expected;
    };
    const auto read = [](const Engine& e, const std::string& key) -> double {
        if (key == "PopulationSize")
            return e.PopulationSize();
        if (key == "RandomSeed")
            return e.RandomSeed();
        if (key == "Elitism")
            return e.Elitism() ? 1.0 : 0.0;
        return -1.0;
    };
    for (const Case& c :
         {Case{"PopulationSize", 12.0f, 12}, Case{"PopulationSize", 10.5f, 10},  // halves to even
          Case{"PopulationSize", 3e10f, 100},  // does not fit a Long: default
          Case{"RandomSeed", std::int32_t{3}, 3}, Case{"RandomSeed", true, -1},
          Case{"Elitism", std::int32_t{0}, 0}, Case{"Elitism", -1.0f, 1}}) {
        MemoryPropertyStore store;
        store.write(c.key, c.stored);
        Engine engine;
        ASSERT_TRUE(engine.LoadSettings(store));
        EXPECT_EQ(read(engine, c.key), c.expected) << c.key;
    }
}

TEST(Persistence, LoadingIsRefusedDuringARun) {
    Engine engine;
    engine.SetPopulationSize(4);
    engine.SetNumberOfGenerations(1);
    engine.DefineBinaryGenes(1, {2});
    MemoryPropertyStore store;
    store.write("PopulationSize", std::int32_t{0});
    bool loaded = true;
    engine.SetFitnessFunction([&](auto&&...) { loaded = engine.LoadSettings(store); });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(engine.PopulationSize(), 4);
}

}  // namespace
}  // namespace tarnix
