#pragma once

#include <chrono>
#include <cstdint>
#include <string_view>

#include "crossover.h"
#include "fitness_table.h"
#include "gene_definitions.h"
#include "gene_layout.h"
#include "mutation.h"
#include "population.h"
#include "random_generator.h"
#include "settings.h"
#include "tarnix/engine.h"

namespace tarnix {

// The engine's state: settings, gene definitions, the populations of the last
// run and the run's memory.
struct __attribute__((visibility("hidden"))) Engine::Impl {
    using TimePoint = std::chrono::system_clock::time_point;

    Host defaultHost;
    Host* host = &defaultHost;

    detail::Settings settings;
    detail::GeneDefinitions definitions;

    // Run state; what a finished run leaves is read by GetSolutionParameters.
    bool runInProgress = false;
    TimePoint runStartTime{};
    TimePoint runEndTime{};
    detail::GeneLayout layout;
    detail::Population population;
    detail::Population nextPopulation;
    detail::FitnessTable fitnessTable;
    BinaryGeneArray binaryGenes;
    RealGeneArray realGenes;
    IntegerGeneArray integerGenes;
    std::int32_t elapsedTime = 0;
    float generationMeanFitness = 0.0f;

    // Memory of the no-change stop rule: kept for the engine's whole life.
    std::int32_t noChangeCounter = 0;
    float lastBestFitness = 0.0f;

    detail::RandomGenerator random;

    FitnessFunction fitnessFunction;
    GenerationReport generationReport;
    UserDefinedCrossoverFunction crossoverFunction;
    UserDefinedMutationFunction mutationFunction;

    // Shows a refusal or a failed definition when messages are on.
    void report(std::string_view message) const;
    // Stores an accepted value and marks the property changed, or reports the refusal.
    template <class T>
    bool assign(T& field, T value, bool accepted, std::string_view property, std::string_view message) {
        if (!accepted) {
            report(message);
            return false;
        }
        field = value;
        host->propertyChanged(property);
        return true;
    }

    void seed() { random.seed(settings.randomSeed); }
    std::int32_t secondsSince(TimePoint start, TimePoint end) const;
    void decodeMember(std::int32_t member);

    int run();
    // The breeding steps of a generation; false when an operator fails.
    bool crossoverStep(std::int32_t survivors, detail::CrossoverEvent& event);
    bool mutationStep(detail::MutationEvent& event);
};

}  // namespace tarnix
