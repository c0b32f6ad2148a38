// Loading an EPANET input file into the network through the toolkit.
#pragma once

#include <string>

#include "kelvarn/network/network.h"
#include "kelvarn/network/network_file_error.h"

namespace kelvarn::binding {
class Toolkit;
}

namespace kelvarn::network {

// Releases nodes and links, empties the ID lists (slot 0 only) and sets the
// nine counts to 0.
void ClearNetwork(Network& net);

// Checks the file by a complete toolkit run (ENepanet), then opens it
// (ENopen), copies links and nodes, reads coordinates and vertices and closes
// the toolkit (ENclose). Returns false, leaving `net` untouched, when the run
// ends with a code above 6. Any later failure, an error code from ENopen or a
// getter included, throws (NetworkFileError, or binding::ToolkitUnavailable) and
// also leaves `net` untouched; the toolkit is closed either way.
bool LoadNetwork(Network& net, binding::Toolkit& toolkit, const std::string& inputPath,
                 const std::string& reportPath, const std::string& outputPath);

}  // namespace kelvarn::network
