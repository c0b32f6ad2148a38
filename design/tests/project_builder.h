// Small hand-made projects for the design tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "kelvarn/design/project.h"

namespace kelvarn::design::testing {

class ProjectBuilder {
  public:
    ProjectBuilder& Option(const std::string& id, float cost, float diameter, float roughness) {
        clsDesignOptions* o = project_.OptionCatalogue.Add(id);
        *o = {id, "", cost, roughness, diameter, project_.OptionCatalogue.Count()};
        return *this;
    }
    // A designed pipe with toolkit index `index`.
    ProjectBuilder& Pipe(const std::string& id, int index, float length, std::vector<std::string> options,
                         float minVelocity = 0, float maxVelocity = 100, bool designed = true) {
        network::clsLink& link = project_.Network.Links.Add(id);
        link.ID = id;
        link.Index = index;
        link.Length = length;
        link.MinVelocity = minVelocity;
        link.MaxVelocity = maxVelocity;
        link.colPipeDesignOptions = std::move(options);
        project_.Network.PipeIDs.push_back(id);
        ++project_.Network.PipeCount;
        if (designed) {
            project_.DesignPipes.push_back(id);
        }
        return *this;
    }
    ProjectBuilder& Junction(const std::string& id, int index, std::optional<float> minPressure,
                             std::optional<float> maxPressure, bool designed = true) {
        network::clsNode& node = project_.Network.Nodes.Add(id);
        node.ID = id;
        node.Index = index;
        node.MinPressure = minPressure;
        node.MaxPressure = maxPressure;
        project_.Network.JunctionIDs.push_back(id);
        ++project_.Network.JunctionCount;
        if (designed) {
            project_.DesignJunctions.push_back(id);
        }
        return *this;
    }
    ProjectBuilder& Source(const std::string& id, int index, float maxFlow, bool designed = true) {
        network::clsNode& node = project_.Network.Nodes.Add(id);
        node.ID = id;
        node.Index = index;
        node.NodeType = network::kReservoir;
        node.MaxFlow = maxFlow;
        project_.Network.ReservoirIDs.push_back(id);
        ++project_.Network.ReservoirCount;
        if (designed) {
            project_.DesignSources.push_back(id);
        }
        return *this;
    }
    ProjectBuilder& Settings(const GaOptions& options) {
        project_.GaOptions = options;
        return *this;
    }
    Project Build() const { return project_; }

  private:
    Project project_;
};

}  // namespace kelvarn::design::testing
