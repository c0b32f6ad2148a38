// Bringing the design data of an opened project onto its freshly loaded
// network, and dropping what the network lacks.
#pragma once

#include <string>
#include <vector>

#include "kelvarn/design/project.h"

namespace kelvarn::design {

// Design-list entries that named no element of the network, in list order.
struct MissingElements {
    std::vector<std::string> junctions;
    std::vector<std::string> pipes;
    std::vector<std::string> sources;

    bool empty() const { return junctions.empty() && pipes.empty() && sources.empty(); }
    // The lines of the "Missing elements" list: "JUNCTIONS:" and its IDs,
    // "PIPES:" and its IDs, "SOURCES:" and its IDs; a heading only for a kind
    // with missing IDs.
    std::vector<std::string> Lines() const;
};

// Writes the staged limits and option lists onto the network records whose IDs
// exist (exact letter case; sources must be reservoirs), empties the staged
// values, then removes each missing ID once from its design list. An option
// listed twice for one pipe is kept once. Returns what was missing; the caller
// shows it when it is not empty.
MissingElements ApplyStagedDesign(Project& project);

}  // namespace kelvarn::design
