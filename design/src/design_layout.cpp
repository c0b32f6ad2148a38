#include "kelvarn/design/design_layout.h"

namespace kelvarn::design {

DesignLayout BuildDesignLayout(const Project& project) {
    const network::Network& net = project.Network;
    DesignLayout layout;
    layout.pipes.reserve(project.DesignPipes.size());
    for (const std::string& id : project.DesignPipes) {
        if (!net.Links.Contains(id)) {
            throw DesignDataError("The pipe " + id + " is not in the network - run is canceled");
        }
        const network::clsLink& link = net.Links.Item(id);
        DesignedPipe pipe;
        pipe.id = id;
        pipe.index = link.Index;
        pipe.length = link.Length;
        pipe.minVelocity = link.MinVelocity;
        pipe.maxVelocity = link.MaxVelocity;
        if (link.colPipeDesignOptions.empty()) {
            throw DesignDataError("The pipe " + id + " has no design options - run is canceled");
        }
        for (const std::string& optionId : link.colPipeDesignOptions) {
            if (!project.OptionCatalogue.Contains(optionId)) {
                throw DesignDataError("The design option " + optionId + " of the pipe " + id +
                                      " is not in the catalogue - run is canceled");
            }
            const clsDesignOptions& option = project.OptionCatalogue.Item(optionId);
            pipe.options.push_back(PipeOption{option.ID, option.Cost, option.Diameter, option.Roughness});
        }
        layout.pipes.push_back(std::move(pipe));
    }
    for (const std::string& id : project.DesignJunctions) {
        if (!net.Nodes.Contains(id)) {
            throw DesignDataError("The junction " + id + " is not in the network - run is canceled");
        }
        const network::clsNode& node = net.Nodes.Item(id);
        layout.junctions.push_back(DesignedJunction{id, node.Index, node.MinPressure.value_or(0.0f),
                                                    node.MaxPressure.value_or(0.0f)});
    }
    for (const std::string& id : project.DesignSources) {
        if (!net.Nodes.Contains(id)) {
            throw DesignDataError("The source " + id + " is not in the network - run is canceled");
        }
        const network::clsNode& node = net.Nodes.Item(id);
        layout.sources.push_back(DesignedSource{id, node.Index, node.MaxFlow});
    }
    return layout;
}

}  // namespace kelvarn::design
