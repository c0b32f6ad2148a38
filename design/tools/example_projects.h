// The bundled example projects: the two-loop and Hanoi design benchmarks with
// their published catalogues, written by our own project writer.
#pragma once

#include <string>
#include <vector>

#include "kelvarn/design/project.h"

namespace kelvarn::examples {

enum class Benchmark { kTwoLoop, kHanoi };

// One published pipe size: nominal diameter in inches and cost per metre.
struct PublishedPipe {
    int inches;
    float costPerMetre;
};

const std::vector<PublishedPipe>& PublishedCatalogue(Benchmark benchmark);

// Limits that never bind on these networks, so that only the published
// minimum pressure decides feasibility.
inline constexpr float kMinPressure = 30;     // m, at every junction
inline constexpr float kMaxPressure = 1000;   // m; the reservoirs stand 60 and 100 m above the junctions
inline constexpr float kMaxVelocity = 10000;  // m/s; all of Hanoi's demand in its smallest pipe is 76 m/s
inline constexpr float kMinVelocity = 0;      // m/s
inline constexpr float kHazenWilliamsC = 130;

// On a project whose network is loaded: the published catalogue (diameters in
// millimetres, the models being in CMH units), every pipe designed with every
// option, every junction held to the minimum pressure, the settings of a new
// project. Sources are not limited.
void FillBenchmarkDesign(design::Project& project, Benchmark benchmark);

// "two-loop" or "hanoi"; false for any other name.
bool BenchmarkByName(const std::string& name, Benchmark& benchmark);

}  // namespace kelvarn::examples
