#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tarnix/enums.h"
#include "tarnix/gene_array.h"

namespace tarnix {

// The engine's events. Each is raised synchronously from inside RunMoravex on the
// caller's thread. Arguments passed as non-const references refer to the engine's
// own values, so a write by the handler is seen by the engine as described below.

// Raised once per chromosome per generation. The gene arrays hold the decoded genes
// of the chromosome being evaluated (refilled for every chromosome: copy what you
// want to keep); generationNumber counts from 1. fitness is the chromosome's cell in
// the engine's fitness table, 0 on entry: storing the fitness there is the answer.
using FitnessFunction =
    std::function<void(const BinaryGeneArray& binaryGenes, const RealGeneArray& realGenes,
                       const IntegerGeneArray& integerGenes, std::int32_t generationNumber, float& fitness)>;

// Raised after every ReportEveryGeneration-th generation. bestFitness is the best
// fitness of the generation just evaluated; writing it changes the value the
// no-change stop rule compares. The gene arrays hold the best chromosome as carried
// into the new population. elapsedTime (whole seconds since the run started) is
// refreshed after the event; a write to generationMeanFitness has no lasting effect.
using GenerationReport =
    std::function<void(float& bestFitness, std::int32_t generationNumber, const BinaryGeneArray& binaryGenes,
                       const RealGeneArray& realGenes, const IntegerGeneArray& integerGenes,
                       std::int32_t& elapsedTime, float& generationMeanFitness)>;

// The genes a user-defined crossover works on. Only the member of the event's
// data type is filled. Binary: the two parents' (children's) whole bit strings.
// Real and integer: one row per gene, column 0 for parent A (child 1) and column 1
// for parent B (child 2).
struct CrossoverData {
    std::array<std::string, 2> binary;
    std::vector<std::array<float, 2>> real;
    std::vector<std::array<std::int32_t, 2>> integer;
};

// Raised once per pair and gene kind whose crossover type is user-defined.
// offspring starts as a copy of parents; the engine reads the children back from it.
// A binary child must stay a string of the same length made of '0' and '1', and
// the real and integer rows must keep their number; otherwise the run fails (1).
using UserDefinedCrossoverFunction =
    std::function<void(mvxDataType dataType, const CrossoverData& parents, CrossoverData& offspring)>;

// The value a user-defined mutation works on; only the member of the event's data
// type is filled. Binary: the member's whole bit string. Real and integer: the one
// gene being mutated.
struct MutationData {
    std::string binary;
    float real = 0.0f;
    std::int32_t integer = 0;
};

// Raised once per mutation of a kind whose mutation type is user-defined.
// afterMutation starts as a copy of beforeMutation; the engine takes it back.
// A binary string must keep its length and consist of '0' and '1'.
using UserDefinedMutationFunction = std::function<void(
    mvxDataType dataType, const MutationData& beforeMutation, MutationData& afterMutation)>;

}  // namespace tarnix
