// kelvarn-make-example BENCHMARK NETWORK.inp PROJECT.kv
// Loads the network through the toolkit beside this program, fills in the
// benchmark's published design data and writes the project file beside it.
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "example_projects.h"
#include "kelvarn/binding/toolkit.h"
#include "kelvarn/design/project_file.h"
#include "kelvarn/network/load_network.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    kelvarn::examples::Benchmark benchmark{};
    if (argc != 4 || !kelvarn::examples::BenchmarkByName(argv[1], benchmark)) {
        std::cerr << "usage: kelvarn-make-example two-loop|hanoi NETWORK.inp PROJECT.kv\n";
        return 2;
    }
    const fs::path network = fs::absolute(argv[2]);
    const fs::path projectFile = fs::absolute(argv[3]);
    if (network.parent_path() != projectFile.parent_path()) {
        std::cerr << "the project file must lie beside its network file\n";
        return 2;
    }
    try {
        kelvarn::design::Project project;
        project.ProjectDir = network.parent_path().string() + "/";
        project.InpFileName = network.filename().string();
        project.ProjectFileName = projectFile.filename().string();
        kelvarn::binding::Toolkit toolkit;
        if (!kelvarn::network::LoadNetwork(project.Network, toolkit, network.string(), "rep.dat",
                                           "out.dat")) {
            std::cerr << "Error in EpaNet file! (" << network.string() << ")\n";
            return 1;
        }
        kelvarn::examples::FillBenchmarkDesign(project, benchmark);
        std::string error;
        if (!kelvarn::design::WriteProject(project, projectFile.string(), &error)) {
            std::cerr << error << "\n";
            return 1;
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
