#include "tarnix/help_text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tarnix {

namespace {

using Entry = std::pair<std::string_view, std::string_view>;

constexpr std::array<Entry, 29> kHelpTexts{{
    {"SelectionType",
     "Return or sets the selection method to use. Available types: TopMate, RouletRank, RouletCost, Random "
     "and "
     "Tournament."},
    {"ObjectiveFunctionType",
     "Return or sets the objective functions type. The objective function can be minimized or maximized."},
    {"BinaryCrossoverType",
     "Return or sets the binary portion of the chromosomes crossover type. Available types: OnePoint, "
     "TwoPoints, "
     "Uniform, UserDefined."},
    {"RealCrossoverType",
     "Return or sets the real portion of the chromosomes crossover type. Available types: Blending, Uniform, "
     "UserDefined."},
    {"IntegerCrossoverType",
     "Return or sets the Integer portion of the chromosomes crossover type. Available types: Blending, "
     "Uniform, "
     "UserDefined."},
    {"BinaryMutationType",
     "Return or sets the binary portion of the chromosomes mutation type. Available types: FlipBit, "
     "UserDefined."},
    {"RealMutationType",
     "Return or sets the real portion of the chromosomes mutation type. Available types: Random, MinMax, "
     "UserDefined."},
    {"IntegerMutationType",
     "Return or sets the integer portion of the chromosomes mutation type. Available types: Random, MinMax, "
     "UserDefined."},
    {"TerminationMode",
     "Return or sets the termination mode for the genetic algorithm. Available types: MaximumGenerations, "
     "ElapsedTime, NoChangeInFitness."},
    {"Elitism",
     "Determines whether the best chromosome in each generation will be included unchanged in the next "
     "generation."},
    {"PopulationSize", "Return or sets the populations size."},
    {"MutationProbability",
     "Returns or sets the probability for a bit (in binary genes) and a gene (in real and integer data) to "
     "be "
     "mutated."},
    {"CrossoverProbability",
     "Return or sets the probability for two chosen chromosomes to get crossed over."},
    {"NumberOfBinaryGenes", "Returns the number of binary genes defined."},
    {"NumberOfRealGenes", "Returns the number of real genes defined."},
    {"NumberOfIntegerGenes", "Returns the number of integer genes defined."},
    {"MaximumRunTime",
     "Return or sets the maximum time, in seconds, allowed for the genetic algorithm to run."},
    {"MaximumGenerationsWithNoChange",
     "Return or sets the maximum number of generation allowed with no change in the best fitness."},
    {"NumberOfGenerations", "Return or sets the number of generations to run."},
    {"RandomSeed",
     "Initializes the random number generator with the seed entered. If the RandomSeed is set 0 then the "
     "systems "
     "timer is used to generate the seed"},
    {"ShowErrorMessageBox", "Determines whether a message box will be shown in case of an error."},
    {"ReportEveryGeneration",
     "Return or sets the frequency of the \"GenerationReport\" event.\r\nThe event will be fired after "
     "\"ReportEveryGeneration\" generations have passed.\r\nIf 0 is used then the event will never be "
     "fired."},
    {"RunMoravex", "Starts the genetic process."},
    {"ShowAboutBox", "Opens the OCX about box."},
    {"ResetMoravex", "Resets all entered parameters to their initial values."},
    {"ResetDefaults", "Resets all parameters to their default values."},
    {"DefineBinaryGenes", "Define the binary genes set."},
    {"DefineRealGenes", "Define the real genes set."},
    {"DefineIntegerGenes", "Define the integer genes set."},
}};

constexpr std::array<std::string_view, 31> kEnumerationMembers{
    "mvxTopMate",        "mvxRouletRank",
    "mvxRouletCost",     "mvxTournament",
    "mvxRandom",         "mvxMinimum",
    "mvxMaximum",        "mvxOnePointBCO",
    "mvxTwoPointsBCO",   "mvxUniformBCO",
    "mvxUserDefinedBCO", "mvxBlendingRCO",
    "mvxUniformRCO",     "mvxUserDefinedRCO",
    "mvxBlendingICO",    "mvxUniformICO",
    "mvxUserDefinedICO", "mvxFlipBitBMU",
    "mvxUserDefinedBMU", "mvxRandomRMU",
    "mvxMinMaxRMU",      "mvxUserDefinedRMU",
    "mvxRandomIMU",      "mvxMinMaxIMU",
    "mvxUserDefinedIMU", "mvxMaximumGenerations",
    "mvxElapsedTime",    "mvxNoChangeInFitness",
    "mvxBinary",         "mvxReal",
    "mvxInteger",
};

}  // namespace

std::string_view HelpText(std::string_view name) {
    if (name.empty()) {
        return {};
    }
    const auto entry = std::ranges::find(kHelpTexts, name, &Entry::first);
    if (entry != kHelpTexts.end()) {
        return entry->second;
    }
    const auto member = std::ranges::find(kEnumerationMembers, name);
    return member != kEnumerationMembers.end() ? *member : std::string_view{};
}

}  // namespace tarnix
