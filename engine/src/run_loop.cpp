#include <algorithm>
#include <limits>
#include <exception>
#include <utility>

#include "engine_impl.h"
#include "selection.h"

namespace tarnix {

std::int32_t Engine::Impl::secondsSince(TimePoint start, TimePoint end) const {
    using std::chrono::floor;
    using std::chrono::seconds;
    const auto boundaries = (floor<seconds>(end) - floor<seconds>(start)).count();
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        boundaries, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void Engine::Impl::decodeMember(std::int32_t member) {
    if (binaryGenes) {
        detail::decodeBinaryGenes(population.binary(member), layout, *binaryGenes);
    }
    if (realGenes) {
        const auto genes = population.real(member);
        std::ranges::copy(genes, realGenes->begin());
    }
    if (integerGenes) {
        const auto genes = population.integer(member);
        std::ranges::copy(genes, integerGenes->begin());
    }
}

int Engine::Impl::run() {
    if (runInProgress) {
        return 1;
    }
    // Settings loaded unchecked from a property store may make a run impossible;
    // refuse it before anything of the last run is touched.
    const std::int32_t populationSize = settings.populationSize;
    const std::int32_t generations = settings.numberOfGenerations;
    const std::int32_t objective = settings.objectiveFunctionType;
    auto runLayout = detail::makeGeneLayout(definitions, settings.numberOfBinaryGenes,
                                            settings.numberOfRealGenes, settings.numberOfIntegerGenes);
    if (populationSize < 4 || populationSize % 2 != 0 || generations < 1 ||
        (objective != mvxMinimum && objective != mvxMaximum) || !runLayout) {
        return 1;
    }

    // Ends the run however it is left, including by an exception thrown from a
    // host's handler, so that the engine never stays "running".
    struct RunScope {
        Impl& engine;
        explicit RunScope(Impl& e) : engine(e) {
            engine.runInProgress = true;
            engine.runStartTime = engine.host->now();
        }
        ~RunScope() {
            engine.runInProgress = false;
            engine.runEndTime = engine.host->now();
        }
        RunScope(const RunScope&) = delete;
        RunScope& operator=(const RunScope&) = delete;
    } scope(*this);
    binaryGenes.reset();
    realGenes.reset();
    integerGenes.reset();

    // Handlers are taken now: one replaced from inside an event must not be
    // destroyed while it runs.
    const FitnessFunction onFitness = fitnessFunction;
    const GenerationReport onReport = generationReport;
    const UserDefinedCrossoverFunction onCrossover = crossoverFunction;
    const UserDefinedMutationFunction onMutation = mutationFunction;
    detail::CrossoverEvent crossoverEvent{&onCrossover, {}, {}};
    detail::MutationEvent mutationEvent{&onMutation, {}, {}};

    try {
        layout = std::move(*runLayout);
        if (layout.binaryCount() > 0) {
            binaryGenes.emplace(static_cast<std::size_t>(layout.binaryCount()));
        }
        if (layout.realCount() > 0) {
            realGenes.emplace(static_cast<std::size_t>(layout.realCount()));
        }
        if (layout.integerCount() > 0) {
            integerGenes.emplace(static_cast<std::size_t>(layout.integerCount()));
        }
        population.allocate(populationSize, layout);
        nextPopulation.allocate(populationSize, layout);
        fitnessTable.assign(static_cast<std::size_t>(populationSize), {});
    } catch (const std::exception&) {  // bad_alloc or length_error: a population too large to hold
        population.clear();
        nextPopulation.clear();
        fitnessTable.clear();
        binaryGenes.reset();
        realGenes.reset();
        integerGenes.reset();
        return 1;
    }
    seed();
    detail::drawInitialPopulation(population, layout, random);

    seed();
    const bool minimise = objective == mvxMinimum;
    const std::int32_t survivors = detail::survivorCount(populationSize);

    for (std::int32_t g = 0; g < generations; ++g) {
        const std::int32_t generationNumber = g + 1;
        for (std::int32_t i = 0; i < populationSize; ++i) {
            decodeMember(i);
            auto& column = fitnessTable[static_cast<std::size_t>(i)];
            column.fitness = 0.0f;
            if (onFitness) {
                onFitness(binaryGenes, realGenes, integerGenes, generationNumber, column.fitness);
            }
            column.member = static_cast<float>(i);
        }
        detail::orderFitnessTable(fitnessTable, minimise);

        for (std::int32_t k = 0; k < survivors; ++k) {
            nextPopulation.copyMember(
                k, population, static_cast<std::int32_t>(fitnessTable[static_cast<std::size_t>(k)].member));
        }
        crossoverEvent.handler = &onCrossover;
        mutationEvent.handler = &onMutation;
        if (!crossoverStep(survivors, crossoverEvent) || !mutationStep(mutationEvent)) {
            return 1;
        }
        // Every slot of the next population is rebuilt each generation, so the
        // two populations can trade places instead of copying.
        std::swap(population, nextPopulation);

        const std::int32_t every = settings.reportEveryGeneration;
        if (every > 0 && generationNumber % every == 0) {
            decodeMember(0);
            float sum = 0.0f;
            for (const auto& column : fitnessTable) {
                sum += column.fitness;
            }
            generationMeanFitness = sum / static_cast<float>(populationSize);
            elapsedTime = secondsSince(runStartTime, host->now());
            if (onReport) {
                onReport(fitnessTable.front().fitness, generationNumber, binaryGenes, realGenes, integerGenes,
                         elapsedTime, generationMeanFitness);
            }
            host->processPendingMessages();
        }

        elapsedTime = secondsSince(runStartTime, host->now());
        bool stop = false;
        switch (settings.terminationMode) {
            case mvxElapsedTime:
                stop = elapsedTime > settings.maximumRunTime;
                break;
            case mvxNoChangeInFitness: {
                const float best = fitnessTable.front().fitness;
                if (best == lastBestFitness) {
                    if (noChangeCounter == settings.maximumGenerationsWithNoChange) {
                        stop = true;
                    } else {
                        ++noChangeCounter;
                    }
                } else {
                    lastBestFitness = best;
                    noChangeCounter = 1;
                }
                break;
            }
            default:
                break;
        }
        if (stop) {
            break;
        }
    }
    return 0;
}

bool Engine::Impl::crossoverStep(std::int32_t survivors, detail::CrossoverEvent& event) {
    const std::int32_t populationSize = population.size();
    seed();
    detail::RouletteTable roulette;
    if (settings.selectionType == mvxRouletRank) {
        roulette = detail::rankRouletteTable(survivors);
    } else if (settings.selectionType == mvxRouletCost) {
        roulette = detail::costRouletteTable(fitnessTable, survivors);
    }
    const std::int32_t pairs = (populationSize - survivors) / 2;
    for (std::int32_t p = 0; p < pairs; ++p) {
        const auto parents = detail::chooseParents(settings.selectionType, p, survivors, roulette, random);
        if (!parents) {
            return false;
        }
        const auto [a, b] = *parents;
        const std::int32_t child1 = survivors + 2 * p;
        const std::int32_t child2 = child1 + 1;
        detail::Population& next = nextPopulation;
        if (layout.binaryCount() > 0) {
            seed();
            if (!detail::crossBinary(settings.binaryCrossoverType, next.binary(a), next.binary(b),
                                     next.binary(child1), next.binary(child2), random, event)) {
                return false;
            }
        }
        if (layout.realCount() > 0) {
            seed();
            if (!detail::crossReal(settings.realCrossoverType, next.real(a), next.real(b), next.real(child1),
                                   next.real(child2), random, event)) {
                return false;
            }
        }
        if (layout.integerCount() > 0) {
            seed();
            if (!detail::crossInteger(settings.integerCrossoverType, next.integer(a), next.integer(b),
                                      next.integer(child1), next.integer(child2), random, event)) {
                return false;
            }
        }
    }
    return true;
}

bool Engine::Impl::mutationStep(detail::MutationEvent& event) {
    if (layout.binaryCount() > 0) {
        seed();
        if (!detail::mutateBinary(
                {settings.binaryMutationType, settings.mutationProbability, settings.elitism}, nextPopulation,
                layout, random, event)) {
            return false;
        }
    }
    if (layout.realCount() > 0) {
        seed();
        if (!detail::mutateReal({settings.realMutationType, settings.mutationProbability, settings.elitism},
                                nextPopulation, layout, random, event)) {
            return false;
        }
    }
    if (layout.integerCount() > 0) {
        seed();
        if (!detail::mutateInteger(
                {settings.integerMutationType, settings.mutationProbability, settings.elitism},
                nextPopulation, layout, random, event)) {
            return false;
        }
    }
    return true;
}

}  // namespace tarnix
