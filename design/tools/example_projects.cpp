#include "example_projects.h"

namespace kelvarn::examples {

const std::vector<PublishedPipe>& PublishedCatalogue(Benchmark benchmark) {
    // Alperovits and Shamir (1977).
    static const std::vector<PublishedPipe> twoLoop = {
        {1, 2},   {2, 5},   {3, 8},   {4, 11},   {6, 16},   {8, 23},   {10, 32},
        {12, 50}, {14, 60}, {16, 90}, {18, 130}, {20, 170}, {22, 300}, {24, 550},
    };
    // Fujiwara and Khang (1990).
    static const std::vector<PublishedPipe> hanoi = {
        {12, 45.73f}, {16, 70.40f}, {20, 98.39f}, {24, 129.33f}, {30, 180.75f}, {40, 278.28f},
    };
    return benchmark == Benchmark::kTwoLoop ? twoLoop : hanoi;
}

void FillBenchmarkDesign(design::Project& project, Benchmark benchmark) {
    project.ClearDesignData();
    project.StagedDesign.Clear();

    std::vector<std::string> optionIds;
    for (const PublishedPipe& pipe : PublishedCatalogue(benchmark)) {
        const std::string id = "D" + std::to_string(pipe.inches);
        design::clsDesignOptions* option = project.OptionCatalogue.Add(id);
        option->ID = id;
        option->Description = std::to_string(pipe.inches) + " in";
        option->Cost = pipe.costPerMetre;
        option->Diameter = static_cast<float>(pipe.inches * 25.4);
        option->Roughness = kHazenWilliamsC;
        option->Index = project.OptionCatalogue.Count();
        optionIds.push_back(id);
    }

    network::Network& net = project.Network;
    for (std::int32_t i = 1; i <= net.JunctionCount; ++i) {
        network::clsNode& junction = net.Nodes(net.JunctionIDs[i]);
        junction.MinPressure = kMinPressure;
        junction.MaxPressure = kMaxPressure;
        project.DesignJunctions.push_back(junction.ID);
    }
    for (std::int32_t i = 1; i <= net.PipeCount; ++i) {
        network::clsLink& pipe = net.Links(net.PipeIDs[i]);
        pipe.MinVelocity = kMinVelocity;
        pipe.MaxVelocity = kMaxVelocity;
        pipe.colPipeDesignOptions = optionIds;
        project.DesignPipes.push_back(pipe.ID);
    }
    project.GaOptions = design::GaOptions::Defaults();
}

bool BenchmarkByName(const std::string& name, Benchmark& benchmark) {
    if (name == "two-loop") {
        benchmark = Benchmark::kTwoLoop;
        return true;
    }
    if (name == "hanoi") {
        benchmark = Benchmark::kHanoi;
        return true;
    }
    return false;
}

}  // namespace kelvarn::examples
