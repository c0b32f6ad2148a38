#include "kelvarn/design/decoding.h"

#include <stdexcept>
#include <string>

#include "kelvarn/binding/toolkit.h"

namespace kelvarn::design {

std::int32_t bits(std::int32_t n) {
    // Counted in integers, so no rounding of a logarithm can decide the width.
    std::int32_t b = 1;
    while (b < 31 && (std::int64_t{1} << b) < n) {
        ++b;
    }
    return b;
}

const PipeOption* DecodeGene(const DesignedPipe& pipe, std::int32_t g) {
    if (g < 0 || static_cast<std::size_t>(g) >= pipe.options.size()) {
        return nullptr;
    }
    return &pipe.options[static_cast<std::size_t>(g)];
}

float ApplyChromosome(const DesignLayout& layout, HydraulicModel& model, std::span<const std::int32_t> genes,
                      ApplyMode mode) {
    if (genes.size() != layout.pipes.size()) {
        throw std::invalid_argument("a chromosome of " + std::to_string(genes.size()) + " genes for " +
                                    std::to_string(layout.pipes.size()) + " designed pipes");
    }
    float cost = 0.0f;
    for (std::size_t k = 0; k < layout.pipes.size(); ++k) {
        const DesignedPipe& pipe = layout.pipes[k];
        const PipeOption* option = DecodeGene(pipe, genes[k]);
        if (option != nullptr) {
            model.ENsetlinkvalue(pipe.index, binding::en::ROUGHNESS,
                                 option->roughness > 0.0f ? option->roughness : kMinimumRoughness);
            if (option->diameter > 0.0f) {
                model.ENsetlinkvalue(pipe.index, binding::en::DIAMETER, option->diameter);
                model.ENsetlinkvalue(pipe.index, binding::en::INITSTATUS, 1.0f);
            } else {
                model.ENsetlinkvalue(pipe.index, binding::en::DIAMETER, kClosedPipeDiameter);
                model.ENsetlinkvalue(pipe.index, binding::en::INITSTATUS, 0.0f);
            }
            if (mode == ApplyMode::Evaluation) {
                cost = static_cast<float>(static_cast<double>(cost) + static_cast<double>(option->cost) *
                                                                          static_cast<double>(pipe.length));
            }
        } else if (mode == ApplyMode::Evaluation) {
            model.ENsetlinkvalue(pipe.index, binding::en::ROUGHNESS, kInvalidGeneRoughness);
            model.ENsetlinkvalue(pipe.index, binding::en::DIAMETER, kInvalidGeneDiameter);
            cost = static_cast<float>(static_cast<double>(cost) +
                                      static_cast<double>(pipe.length) * InvalidGeneCostFactor);
        } else {
            model.ENsetlinkvalue(pipe.index, binding::en::ROUGHNESS, kFinalInvalidGeneRoughness);
            model.ENsetlinkvalue(pipe.index, binding::en::DIAMETER, kFinalInvalidGeneDiameter);
        }
    }
    return cost;
}

}  // namespace kelvarn::design
