// A chromosome of binary genes, one per designed pipe, turned into pipe options
// written into the hydraulic model, and the cost of that design.
#pragma once

#include <cstdint>
#include <span>

#include "kelvarn/design/design_layout.h"
#include "kelvarn/design/hydraulic_model.h"

namespace kelvarn::design {

// Written for an option whose roughness is 0 or less.
inline constexpr float kMinimumRoughness = 0.01f;
// Written, with the pipe closed, for an option whose diameter is 0 or less.
inline constexpr float kClosedPipeDiameter = 0.01f;
// Written for a gene that selects no option while evaluating: a rough, wide pipe.
inline constexpr float kInvalidGeneRoughness = 10.0f;
inline constexpr float kInvalidGeneDiameter = 100.0f;
// Cost per unit length of a gene that selects no option (eleven nines).
inline constexpr double InvalidGeneCostFactor = 99999999999.0;
// Written for a gene that selects no option in the final pass.
inline constexpr float kFinalInvalidGeneRoughness = 0.01f;
inline constexpr float kFinalInvalidGeneDiameter = 0.01f;

// The number of bits of the gene of a pipe with n options: the smallest b with
// 2^b >= n, at least 1. Gene values from n to 2^b - 1 select no option.
// n below 1 gives 1 (such a pipe is refused before a run).
std::int32_t bits(std::int32_t n);

enum class ApplyMode {
    Evaluation,  // a candidate: invalid genes get a huge cost and a rough, wide pipe
    Final,       // the best design, once: invalid genes get a tiny pipe; no cost
};

// The option gene value g selects for a pipe, or nullptr when it selects none.
const PipeOption* DecodeGene(const DesignedPipe& pipe, std::int32_t g);

// Writes the options the genes select into the model (roughness, diameter, then
// status, per pipe in gene order) and returns the design cost (0 in final mode).
// genes holds one value per designed pipe; throws std::invalid_argument otherwise.
float ApplyChromosome(const DesignLayout& layout, HydraulicModel& model, std::span<const std::int32_t> genes,
                      ApplyMode mode);

}  // namespace kelvarn::design
