// One link of the hydraulic model with its design limits, candidate options,
// vertices and results.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kelvarn/network/gnodes.h"

namespace kelvarn::network {

inline constexpr std::int32_t kPipe = 0;  // also a pipe with a check valve
inline constexpr std::int32_t kPump = 1;
inline constexpr std::int32_t kValve = 2;  // any kind of valve

// Drawing colours, 0x00BBGGRR.
inline constexpr std::uint32_t kPipeColor = 0xFF0000;   // blue
inline constexpr std::uint32_t kPumpColor = 0x0000FF;   // red
inline constexpr std::uint32_t kValveColor = 0x00FF00;  // green

struct clsLink {
    std::string ID;
    std::int32_t Index = 0;  // 1-based toolkit index; 0 until loaded
    std::int32_t LinkType = kPipe;
    std::string Node1;  // IDs of the end nodes, resolved through Nodes
    std::string Node2;
    std::int32_t nGnodes = 0;  // number of vertices in Gnodes
    std::uint32_t BColor = 0;
    std::int16_t BWidth = 0;
    float MaxVelocity = 0;  // velocity limits of a designed pipe
    float DesignMaxVelocity = 0;
    float MinVelocity = 0;
    float DesignMinVelocity = 0;
    // Catalogue option IDs this pipe may take, in the user's order; entry k-1
    // is what gene value k-1 selects. Empty for a pipe that is not designed.
    std::vector<std::string> colPipeDesignOptions;
    float Length = 0;  // EN_LENGTH, pipes only, in the model's length unit
    colGnodes Gnodes;  // the link's vertices (the colGnodes property)
};

}  // namespace kelvarn::network
