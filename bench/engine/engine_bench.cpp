// tarnix-bench: what one chromosome costs the engine per generation, beside a
// fitness function that does nothing. The "per_chromosome" counter is the figure:
// seconds per chromosome per generation.

#include <benchmark/benchmark.h>
#include <tarnix/tarnix.h>

#include <vector>

namespace {

constexpr std::int32_t kPopulation = 100;
constexpr std::int32_t kGenerations = 100;

void configure(tarnix::Engine& engine) {
    engine.SetPopulationSize(kPopulation);
    engine.SetNumberOfGenerations(kGenerations);
    engine.SetRandomSeed(1);
    engine.SetFitnessFunction([](const tarnix::BinaryGeneArray&, const tarnix::RealGeneArray&,
                                 const tarnix::IntegerGeneArray&, std::int32_t,
                                 float& fitness) { fitness = 1.0f; });
}

void run(benchmark::State& state, tarnix::Engine& engine) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.RunMoravex());
    }
    state.counters["per_chromosome"] =
        benchmark::Counter(static_cast<double>(kPopulation) * kGenerations,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BinaryGenes100x4Bits(benchmark::State& state) {
    tarnix::Engine engine;
    configure(engine);
    engine.DefineBinaryGenes(100, tarnix::BoundedArray<std::int32_t>(std::vector<std::int32_t>(100, 4)));
    engine.SetSelectionType(static_cast<tarnix::mvxSelectionType>(state.range(0)));
    run(state, engine);
}

void RealGenes50(benchmark::State& state) {
    tarnix::Engine engine;
    configure(engine);
    engine.DefineRealGenes(50, tarnix::BoundedArray<double>(std::vector<double>(50, -1.0)),
                           tarnix::BoundedArray<double>(std::vector<double>(50, 1.0)));
    engine.SetSelectionType(static_cast<tarnix::mvxSelectionType>(state.range(0)));
    run(state, engine);
}

// Arguments: the selection type (0 top mate, 1 rank roulette, 3 tournament).
BENCHMARK(BinaryGenes100x4Bits)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(RealGenes50)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
