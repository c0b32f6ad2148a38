// tarnix-example: a host that uses only the engine's public header to solve a
// 0/1 knapsack and a real-valued minimisation, both with known optima.

#include <tarnix/tarnix.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

struct Item {
    int weight;
    int value;
};

constexpr std::array<Item, 16> kItems{{{23, 92},
                                       {31, 57},
                                       {29, 49},
                                       {44, 68},
                                       {53, 60},
                                       {38, 43},
                                       {63, 67},
                                       {85, 84},
                                       {89, 87},
                                       {82, 72},
                                       {12, 21},
                                       {17, 33},
                                       {41, 39},
                                       {26, 40},
                                       {58, 63},
                                       {35, 44}}};
constexpr int kCapacity = 300;

struct Load {
    int weight = 0;
    int value = 0;
};

Load loadOf(std::uint32_t chosen) {
    Load load;
    for (std::size_t i = 0; i < kItems.size(); ++i) {
        if (chosen & (1u << i)) {
            load.weight += kItems[i].weight;
            load.value += kItems[i].value;
        }
    }
    return load;
}

// The known optimum, by trying every one of the 2^16 selections.
int bestValueByEnumeration() {
    int best = 0;
    for (std::uint32_t chosen = 0; chosen < (1u << kItems.size()); ++chosen) {
        const Load load = loadOf(chosen);
        if (load.weight <= kCapacity && load.value > best) {
            best = load.value;
        }
    }
    return best;
}

std::uint32_t selectionOf(const tarnix::BinaryGeneArray& genes) {
    std::uint32_t chosen = 0;
    for (std::size_t i = 0; i < genes->size(); ++i) {
        if ((*genes)[i] != 0) {
            chosen |= 1u << i;
        }
    }
    return chosen;
}

// One binary gene of one bit per item; an overweight load is penalised by its
// excess. Like the design program, the host runs the engine several times and
// keeps the best feasible selection it has seen in any run.
bool solveKnapsack(float seed) {
    tarnix::Engine ga;
    ga.DefineBinaryGenes(static_cast<std::int32_t>(kItems.size()),
                         tarnix::BoundedArray<std::int32_t>(std::vector<std::int32_t>(kItems.size(), 1)));
    ga.SetObjectiveFunctionType(tarnix::mvxMaximum);
    ga.SetSelectionType(tarnix::mvxRandom);
    ga.SetPopulationSize(100);
    ga.SetNumberOfGenerations(300);
    ga.SetMutationProbability(0.05f);
    ga.SetRandomSeed(seed);

    int evaluations = 0;
    Load bestFeasible;
    std::string bestChromosome;
    ga.SetFitnessFunction([&](const tarnix::BinaryGeneArray& binary, const tarnix::RealGeneArray&,
                              const tarnix::IntegerGeneArray&, std::int32_t, float& fitness) {
        ++evaluations;
        const std::uint32_t chosen = selectionOf(binary);
        const Load load = loadOf(chosen);
        const int excess = load.weight > kCapacity ? load.weight - kCapacity : 0;
        fitness = static_cast<float>(load.value - 10 * excess);
        if (excess == 0 && load.value > bestFeasible.value) {
            bestFeasible = load;
            bestChromosome.clear();
            for (const std::int32_t gene : *binary) {
                bestChromosome += gene != 0 ? '1' : '0';
            }
        }
    });
    constexpr int kRuns = 3;
    for (int run = 1; run <= kRuns; ++run) {
        if (ga.RunMoravex() != 0) {
            std::puts("knapsack: the run failed");
            return false;
        }
        tarnix::Solution best;
        ga.GetSolutionParameters(best);
        std::printf("knapsack: run %d best fitness %.0f\n", run, best.bestFitness);
    }
    const int optimum = bestValueByEnumeration();
    const bool found = bestFeasible.value == optimum;
    std::printf("knapsack: best chromosome %s, fitness %d (weight %d of %d), %d evaluations\n",
                bestChromosome.c_str(), bestFeasible.value, bestFeasible.weight, kCapacity, evaluations);
    std::printf("knapsack: known optimum %d %s\n", optimum, found ? "found" : "NOT found");
    return found;
}

// Two real genes; the minimum 0 lies at (1.5, -0.5).
bool solveRealFunction() {
    tarnix::Engine ga;
    ga.DefineRealGenes(2, {-5.0, -5.0}, {5.0, 5.0});
    ga.SetPopulationSize(80);
    ga.SetNumberOfGenerations(200);
    ga.SetMutationProbability(0.05f);
    ga.SetRandomSeed(5);
    ga.SetFitnessFunction([](const tarnix::BinaryGeneArray&, const tarnix::RealGeneArray& real,
                             const tarnix::IntegerGeneArray&, std::int32_t, float& fitness) {
        const double x = (*real)[0] - 1.5;
        const double y = (*real)[1] + 0.5;
        fitness = static_cast<float>(x * x + y * y);
    });
    if (ga.RunMoravex() != 0) {
        std::puts("function: the run failed");
        return false;
    }
    tarnix::Solution best;
    ga.GetSolutionParameters(best);
    const float x = (*best.realGenes)[0];
    const float y = (*best.realGenes)[1];
    const bool found = std::fabs(x - 1.5f) < 0.01f && std::fabs(y + 0.5f) < 0.01f;
    std::printf("function: best chromosome (%.5f, %.5f), fitness %.3g\n", x, y, best.bestFitness);
    std::printf("function: known minimum 0 at (1.5, -0.5) %s\n", found ? "found" : "NOT found");
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    const bool knapsack = solveKnapsack(argc > 1 ? std::stof(argv[1]) : 11.0f);
    const bool function = solveRealFunction();
    return knapsack && function ? 0 : 1;
}
