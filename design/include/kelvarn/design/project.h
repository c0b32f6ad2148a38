// The one open project: the network and the design data that turns it into a
// design problem. The program holds exactly one and hands it to whoever needs it.
#pragma once

#include <string>
#include <vector>

#include "kelvarn/design/design_options.h"
#include "kelvarn/design/ga_options.h"
#include "kelvarn/design/staged_design.h"
#include "kelvarn/network/network.h"

namespace kelvarn::design {

// Element IDs in insertion order; entry i is element [i - 1]. An ID may occur
// twice when a project file lists it twice.
using DesignList = std::vector<std::string>;

struct Project {
    network::Network Network;

    colDesignOptions OptionCatalogue;
    DesignList DesignJunctions;  // junctions whose MinPressure/MaxPressure are limits
    DesignList DesignPipes;      // pipes the design chooses options for
    DesignList DesignSources;    // reservoirs whose MaxFlow is a limit

    std::string ProjectFileName;  // bare name of the project file; empty until saved
    std::string ProjectDir;       // directory of the project, ending with "/"
    std::string InpFileName;      // bare name of the network file, looked up in ProjectDir

    design::GaOptions GaOptions;  // all zero until New or a project file assigns them
    design::StagedDesign StagedDesign;

    // Empties the catalogue and the three design lists.
    void ClearDesignData() {
        OptionCatalogue.Clear();
        DesignJunctions.clear();
        DesignPipes.clear();
        DesignSources.clear();
    }
};

}  // namespace kelvarn::design
