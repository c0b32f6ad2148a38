// The bundled example projects: written by our own writer from the published
// benchmark data, and reproduced byte for byte by opening and saving them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "example_projects.h"
#include "kelvarn/binding/toolkit.h"
#include "kelvarn/design/apply_staged_design.h"
#include "kelvarn/design/project_file.h"
#include "kelvarn/network/load_network.h"

namespace kelvarn::examples {
namespace {

namespace fs = std::filesystem;

// The toolkit's scratch files, named for this test so that tests run side by
// side do not share them.
constexpr const char* kReport = "examples_test_rep.dat";
constexpr const char* kOutput = "examples_test_out.dat";

struct Example {
    const char* name;
    Benchmark benchmark;
    const char* folder;
    const char* network;
    const char* project;
    int junctions;
    int pipes;
};

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class Examples : public ::testing::TestWithParam<Example> {
  protected:
    fs::path Folder() const { return fs::path(KELVARN_SOURCE_DIR) / "examples" / GetParam().folder; }
    fs::path ProjectPath() const { return Folder() / GetParam().project; }
    fs::path Scratch() const {
        const fs::path dir = fs::current_path() / "examples_test_files" / GetParam().folder;
        fs::create_directories(dir);
        return dir;
    }

    // The main window's Open: read the project, load its network, apply it.
    design::Project Open() {
        design::Project p;
        p.ProjectDir = Folder().string() + "/";
        p.ProjectFileName = GetParam().project;
        std::string error;
        EXPECT_TRUE(design::ReadProject(p, ProjectPath().string(), &error)) << error;
        EXPECT_TRUE(network::LoadNetwork(p.Network, toolkit, p.ProjectDir + p.InpFileName, kReport, kOutput));
        EXPECT_TRUE(design::ApplyStagedDesign(p).empty());
        return p;
    }

    binding::Toolkit toolkit;
};

TEST_P(Examples, TheNetworkIsACopyOfTheSharedBenchmark) {
    EXPECT_EQ(Bytes(Folder() / GetParam().network),
              Bytes(fs::path(KELVARN_NETWORKS_DIR) / GetParam().network));
}

TEST_P(Examples, OpeningAndSavingReproducesTheFile) {
    design::Project p = Open();
    const fs::path saved = Scratch() / GetParam().project;
    std::string error;
    ASSERT_TRUE(design::WriteProject(p, saved.string(), &error)) << error;
    EXPECT_EQ(Bytes(saved), Bytes(ProjectPath()));
}

TEST_P(Examples, TheFileIsWhatTheGeneratorWritesToday) {
    design::Project p;
    ASSERT_TRUE(
        network::LoadNetwork(p.Network, toolkit, (Folder() / GetParam().network).string(), kReport, kOutput));
    p.InpFileName = GetParam().network;
    FillBenchmarkDesign(p, GetParam().benchmark);
    const fs::path written = Scratch() / ("generated-" + std::string(GetParam().project));
    ASSERT_TRUE(design::WriteProject(p, written.string()));
    EXPECT_EQ(Bytes(written), Bytes(ProjectPath()));
}

TEST_P(Examples, HoldsThePublishedDesignProblem) {
    design::Project p = Open();
    const auto& published = PublishedCatalogue(GetParam().benchmark);
    ASSERT_EQ(p.OptionCatalogue.Count(), static_cast<std::int32_t>(published.size()));
    for (std::int32_t k = 1; k <= p.OptionCatalogue.Count(); ++k) {
        const design::clsDesignOptions& o = p.OptionCatalogue(k);
        const PublishedPipe& pipe = published[k - 1];
        EXPECT_EQ(o.Description, std::to_string(pipe.inches) + " in");
        EXPECT_NEAR(o.Diameter, pipe.inches * 25.4, 1e-3);  // CMH models: millimetres
        EXPECT_EQ(o.Cost, pipe.costPerMetre);
        EXPECT_EQ(o.Roughness, 130.0f);
        if (k > 1) {
            EXPECT_GT(o.Diameter, p.OptionCatalogue(k - 1).Diameter);  // smallest first
        }
    }
    ASSERT_EQ(static_cast<int>(p.DesignJunctions.size()), GetParam().junctions);
    for (const std::string& id : p.DesignJunctions) {
        EXPECT_EQ(p.Network.Nodes(id).MinPressure, kMinPressure);
        EXPECT_EQ(p.Network.Nodes(id).MaxPressure, kMaxPressure);
    }
    ASSERT_EQ(static_cast<int>(p.DesignPipes.size()), GetParam().pipes);
    for (const std::string& id : p.DesignPipes) {
        const network::clsLink& pipe = p.Network.Links(id);
        EXPECT_EQ(pipe.colPipeDesignOptions.size(), published.size());
        EXPECT_EQ(pipe.MinVelocity, 0.0f);
        EXPECT_EQ(pipe.MaxVelocity, kMaxVelocity);
    }
    EXPECT_TRUE(p.DesignSources.empty());
    EXPECT_EQ(p.GaOptions, design::GaOptions::Defaults());
}

INSTANTIATE_TEST_SUITE_P(
    Benchmarks, Examples,
    ::testing::Values(Example{"TwoLoop", Benchmark::kTwoLoop, "two-loop", "TLN.inp", "TLN.kv", 6, 8},
                      Example{"Hanoi", Benchmark::kHanoi, "hanoi", "HAN.inp", "HAN.kv", 31, 34}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvarn::examples
