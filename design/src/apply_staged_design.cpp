#include "kelvarn/design/apply_staged_design.h"

#include <algorithm>
#include <optional>

namespace kelvarn::design {

namespace {

bool Listed(const network::IdList& ids, const std::string& id) {
    // Slot 0 is unused.
    return std::find(ids.begin() + (ids.empty() ? 0 : 1), ids.end(), id) != ids.end();
}

template <class T>
T StagedAt(const std::vector<T>& values, std::size_t i, T fallback = T()) {
    return i < values.size() ? values[i] : fallback;
}

void RemoveFirst(DesignList& list, const std::string& id) {
    auto found = std::find(list.begin(), list.end(), id);
    if (found != list.end()) {
        list.erase(found);
    }
}

}  // namespace

std::vector<std::string> MissingElements::Lines() const {
    std::vector<std::string> lines;
    auto group = [&](const char* heading, const std::vector<std::string>& ids) {
        if (ids.empty()) {
            return;
        }
        lines.emplace_back(heading);
        lines.insert(lines.end(), ids.begin(), ids.end());
    };
    group("JUNCTIONS:", junctions);
    group("PIPES:", pipes);
    group("SOURCES:", sources);
    return lines;
}

MissingElements ApplyStagedDesign(Project& project) {
    network::Network& net = project.Network;
    StagedDesign& staged = project.StagedDesign;
    MissingElements missing;

    for (std::size_t i = 0; i < project.DesignJunctions.size(); ++i) {
        const std::string& id = project.DesignJunctions[i];
        if (Listed(net.JunctionIDs, id)) {
            network::clsNode& node = net.Nodes.Item(id);
            node.MinPressure = StagedAt<std::optional<float>>(staged.StagedJunctionMinPressure, i);
            node.MaxPressure = StagedAt<std::optional<float>>(staged.StagedJunctionMaxPressure, i);
        } else {
            missing.junctions.push_back(id);
        }
    }
    staged.StagedJunctionMinPressure.clear();
    staged.StagedJunctionMaxPressure.clear();

    for (std::size_t i = 0; i < project.DesignPipes.size(); ++i) {
        const std::string& id = project.DesignPipes[i];
        if (Listed(net.PipeIDs, id)) {
            network::clsLink& link = net.Links.Item(id);
            link.MinVelocity = StagedAt(staged.StagedPipeMinVelocity, i);
            link.MaxVelocity = StagedAt(staged.StagedPipeMaxVelocity, i);
            const std::int32_t count = StagedAt(staged.StagedPipeOptionCount, i);
            const std::vector<std::string> none;
            const std::vector<std::string>& ids =
                i < staged.StagedPipeOptionIds.size() ? staged.StagedPipeOptionIds[i] : none;
            for (std::int32_t s = 0; s < count && static_cast<std::size_t>(s) < ids.size(); ++s) {
                std::vector<std::string>& options = link.colPipeDesignOptions;
                // Options are keyed by themselves: the same one is held once.
                if (std::find(options.begin(), options.end(), ids[s]) == options.end()) {
                    options.push_back(ids[s]);
                }
            }
        } else {
            missing.pipes.push_back(id);
        }
    }
    staged.StagedPipeMinVelocity.clear();
    staged.StagedPipeMaxVelocity.clear();
    staged.StagedPipeOptionCount.clear();
    staged.StagedPipeOptionIds.clear();

    for (std::size_t i = 0; i < project.DesignSources.size(); ++i) {
        const std::string& id = project.DesignSources[i];
        if (Listed(net.ReservoirIDs, id)) {
            net.Nodes.Item(id).MaxFlow = StagedAt(staged.StagedSourceMaxFlow, i);
        } else {
            missing.sources.push_back(id);
        }
    }
    staged.StagedSourceMaxFlow.clear();

    // Staged values are all applied before any entry leaves its list, so the
    // positions stayed aligned.
    for (const std::string& id : missing.junctions) {
        RemoveFirst(project.DesignJunctions, id);
    }
    for (const std::string& id : missing.pipes) {
        RemoveFirst(project.DesignPipes, id);
    }
    for (const std::string& id : missing.sources) {
        RemoveFirst(project.DesignSources, id);
    }
    return missing;
}

}  // namespace kelvarn::design
