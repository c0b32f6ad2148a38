// Design values read from a project file, waiting for their network. Entry
// i - 1 of each array belongs to entry i of the matching design list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvarn::design {

struct StagedDesign {
    // DesignJunctions; an empty value is a limit the file gave no value for.
    std::vector<std::optional<float>> StagedJunctionMinPressure;
    std::vector<std::optional<float>> StagedJunctionMaxPressure;
    // DesignPipes.
    std::vector<float> StagedPipeMinVelocity;
    std::vector<float> StagedPipeMaxVelocity;
    std::vector<std::int32_t> StagedPipeOptionCount;
    // [i - 1][k - 1] is the k-th option ID listed for pipe i; its size is
    // StagedPipeOptionCount[i - 1].
    std::vector<std::vector<std::string>> StagedPipeOptionIds;
    // DesignSources.
    std::vector<float> StagedSourceMaxFlow;

    void Clear() { *this = StagedDesign(); }
    bool Empty() const {
        return StagedJunctionMinPressure.empty() && StagedJunctionMaxPressure.empty() &&
               StagedPipeMinVelocity.empty() && StagedPipeMaxVelocity.empty() &&
               StagedPipeOptionCount.empty() && StagedPipeOptionIds.empty() && StagedSourceMaxFlow.empty();
    }
    bool operator==(const StagedDesign&) const = default;
};

}  // namespace kelvarn::design
