// The in-memory network: nodes, links, the typed ID lists and their counts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kelvarn/network/collections.h"

namespace kelvarn::network {

// A 1-based list of IDs: slot 0 exists and is unused (empty), entries 1..n
// hold IDs in ascending toolkit index.
using IdList = std::vector<std::string>;

struct Network {
    colNodes Nodes;
    colLinks Links;

    std::int32_t NodeCount = 0;     // EN_NODECOUNT
    std::int32_t StorageCount = 0;  // reservoirs plus tanks (EN_TANKCOUNT)
    std::int32_t LinkCount = 0;     // EN_LINKCOUNT

    IdList JunctionIDs{std::string()};
    std::int32_t JunctionCount = 0;
    IdList ReservoirIDs{std::string()};  // the sources of the design data
    std::int32_t ReservoirCount = 0;
    IdList TankIDs{std::string()};
    std::int32_t TankCount = 0;
    IdList PipeIDs{std::string()};  // pipes and check-valve pipes
    std::int32_t PipeCount = 0;
    IdList PumpIDs{std::string()};
    std::int32_t PumpCount = 0;
    IdList ValveIDs{std::string()};
    std::int32_t ValveCount = 0;
};

}  // namespace kelvarn::network
