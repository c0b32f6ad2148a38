#pragma once

#include <cstdint>

namespace tarnix {

// The engine's enumerations. They are 32-bit and unscoped so that hosts can
// write tarnix::mvxTournament; a setter still refuses values outside its list.

enum mvxSelectionType : std::int32_t {
    mvxTopMate = 0,
    mvxRouletRank = 1,
    mvxRouletCost = 2,
    mvxTournament = 3,
    mvxRandom = 4,
};

enum mvxObjectiveFunctionType : std::int32_t {
    mvxMinimum = 0,
    mvxMaximum = 1,
};

enum mvxBinaryCrossoverType : std::int32_t {
    mvxOnePointBCO = 0,
    mvxTwoPointsBCO = 1,
    mvxUniformBCO = 2,
    mvxUserDefinedBCO = 3,
};

enum mvxRealCrossoverType : std::int32_t {
    mvxBlendingRCO = 0,
    mvxUniformRCO = 1,
    mvxUserDefinedRCO = 2,
};

enum mvxIntegerCrossoverType : std::int32_t {
    mvxBlendingICO = 0,
    mvxUniformICO = 1,
    mvxUserDefinedICO = 2,
};

enum mvxBinaryMutationType : std::int32_t {
    mvxFlipBitBMU = 0,
    mvxUserDefinedBMU = 1,
};

enum mvxRealMutationType : std::int32_t {
    mvxRandomRMU = 0,
    mvxMinMaxRMU = 1,
    mvxUserDefinedRMU = 2,
};

enum mvxIntegerMutationType : std::int32_t {
    mvxRandomIMU = 0,
    mvxMinMaxIMU = 1,
    mvxUserDefinedIMU = 2,
};

enum mvxTerminationType : std::int32_t {
    mvxMaximumGenerations = 0,
    mvxElapsedTime = 1,
    mvxNoChangeInFitness = 2,
};

enum mvxDataType : std::int32_t {
    mvxBinary = 0,
    mvxReal = 1,
    mvxInteger = 2,
};

}  // namespace tarnix
