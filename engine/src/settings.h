#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <variant>

namespace tarnix::detail {

// Every property of the engine with its default. The enumerated settings are kept
// as plain Longs because loaded values are taken unchecked and may lie outside
// their enumeration.
struct Settings {
    std::int32_t selectionType = 0;
    std::int32_t objectiveFunctionType = 0;
    std::int32_t binaryCrossoverType = 1;
    std::int32_t realCrossoverType = 0;
    std::int32_t integerCrossoverType = 0;
    std::int32_t binaryMutationType = 0;
    std::int32_t realMutationType = 0;
    std::int32_t integerMutationType = 0;
    std::int32_t terminationMode = 0;
    bool elitism = true;
    std::int32_t populationSize = 100;
    float mutationProbability = 0.1f;
    float crossoverProbability = 0.95f;
    std::int32_t numberOfBinaryGenes = 0;
    std::int32_t numberOfRealGenes = 0;
    std::int32_t numberOfIntegerGenes = 0;
    std::int32_t maximumRunTime = 3600;
    std::int32_t maximumGenerationsWithNoChange = 10;
    std::int32_t numberOfGenerations = 100;
    float randomSeed = 0.0f;
    bool showErrorMessageBox = true;
    std::int32_t reportEveryGeneration = 0;
};

// One persisted setting: its key (the property name) and where it lives.
struct SettingField {
    std::string_view name;
    std::variant<std::int32_t Settings::*, float Settings::*, bool Settings::*> member;
};

// The settings in the order they are kept in the host's property store.
inline constexpr std::array<SettingField, 22> kSettingFields{{
    {"SelectionType", &Settings::selectionType},
    {"ObjectiveFunctionType", &Settings::objectiveFunctionType},
    {"BinaryCrossoverType", &Settings::binaryCrossoverType},
    {"IntegerCrossoverType", &Settings::integerCrossoverType},
    {"BinaryMutationType", &Settings::binaryMutationType},
    {"RealMutationType", &Settings::realMutationType},
    {"IntegerMutationType", &Settings::integerMutationType},
    {"TerminationMode", &Settings::terminationMode},
    {"Elitism", &Settings::elitism},
    {"PopulationSize", &Settings::populationSize},
    {"MutationProbability", &Settings::mutationProbability},
    {"CrossoverProbability", &Settings::crossoverProbability},
    {"NumberOfBinaryGenes", &Settings::numberOfBinaryGenes},
    {"NumberOfRealGenes", &Settings::numberOfRealGenes},
    {"NumberOfIntegerGenes", &Settings::numberOfIntegerGenes},
    {"MaximumRunTime", &Settings::maximumRunTime},
    {"MaximumGenerationsWithNoChange", &Settings::maximumGenerationsWithNoChange},
    {"NumberOfGenerations", &Settings::numberOfGenerations},
    {"RandomSeed", &Settings::randomSeed},
    {"ShowErrorMessageBox", &Settings::showErrorMessageBox},
    {"ReportEveryGeneration", &Settings::reportEveryGeneration},
    {"RealCrossoverType", &Settings::realCrossoverType},
}};

}  // namespace tarnix::detail
