// The nine algorithm settings. A value-initialised GaOptions is all zero, which
// is what the program holds before any project exists; New assigns Defaults().
#pragma once

#include <cstdint>

namespace kelvarn::design {

struct GaOptions {
    float PressurePenalty = 0;             // PRESSURE_PENALTY
    float WarningPenalty = 0;              // WARNING_PENALTY
    float VelocityPenalty = 0;             // VELOCITY_PENALTY
    float SourcesPenalty = 0;              // SOURCES_PENALTY
    std::int32_t Population = 0;           // POPULATION
    std::int32_t Generations = 0;          // GENERATIONS
    float PressureTolerance = 0;           // PRESSURE_TOLERANCE
    float VelocityTolerance = 0;           // VELOCITY_TOLERANCE
    std::int32_t GenerationsNoChange = 0;  // GENERATIONS_NO_CHANGE

    // The settings a new project starts with.
    static GaOptions Defaults() {
        GaOptions o;
        o.PressurePenalty = 200000;
        o.WarningPenalty = 500000;
        o.VelocityPenalty = 200000;
        o.SourcesPenalty = 200000;
        o.Population = 100;
        o.Generations = 500;
        o.PressureTolerance = 0.05f;
        o.VelocityTolerance = 0.05f;
        o.GenerationsNoChange = 50;
        return o;
    }

    bool operator==(const GaOptions&) const = default;
};

}  // namespace kelvarn::design
