// Map coordinates and link vertices, read from the text of an input file.
#pragma once

#include <string>

#include "kelvarn/network/network.h"
#include "kelvarn/network/network_file_error.h"

namespace kelvarn::network {

// Fills X and Y of the nodes listed in [COORDINATES] and appends the vertices
// of [VERTICES] to their links (section names in exact letter case). Throws
// NetworkFileError for an ID the network lacks, a coordinate
// that is not a number, a data line with fewer than three fields or a file
// that cannot be read; vertices added before the failing line stay.
void ReadCoordinates(Network& net, const std::string& inputPath);

}  // namespace kelvarn::network
