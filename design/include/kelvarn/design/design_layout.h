// The designed elements of a project as one design process sees them: toolkit
// indexes, lengths, limits and each pipe's options resolved once, so that
// decoding and evaluation look nothing up per chromosome. A design process
// runs modally, so the lists cannot change while it holds its layout.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "kelvarn/design/project.h"

namespace kelvarn::design {

// A design list entry that names nothing, or a pipe option missing from the
// catalogue; the message is meant for the user.
class DesignDataError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct PipeOption {
    std::string id;
    float cost = 0;       // per unit length
    float diameter = 0;   // <= 0 closes the pipe
    float roughness = 0;  // <= 0 becomes 0.01
};

struct DesignedPipe {
    std::string id;
    std::int32_t index = 0;  // toolkit index
    float length = 0;
    float minVelocity = 0;
    float maxVelocity = 0;
    std::vector<PipeOption> options;  // entry g is what gene value g selects
};

struct DesignedJunction {
    std::string id;
    std::int32_t index = 0;
    float minPressure = 0;  // a limit never entered compares as 0
    float maxPressure = 0;
};

struct DesignedSource {
    std::string id;
    std::int32_t index = 0;
    float maxFlow = 0;
};

struct DesignLayout {
    std::vector<DesignedPipe> pipes;  // in DesignPipes order: the gene order
    std::vector<DesignedJunction> junctions;
    std::vector<DesignedSource> sources;
};

// Resolves the three design lists of the project. Throws DesignDataError when
// an entry names no element of the network, a designed pipe has no options, or
// an option ID is not in the catalogue.
DesignLayout BuildDesignLayout(const Project& project);

}  // namespace kelvarn::design
