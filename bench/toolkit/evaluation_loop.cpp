// One benchmark iteration is one evaluation of a design run, as the program makes it: set
// roughness, diameter and status of every design pipe from a random option, ENinitH, then
// ENrunH, read the pressures of all junctions, the velocities of the design pipes and the
// demands of the reservoirs, ENnextH until the step is 0.
//
//   kvepa2-bench [--networks DIR] [benchmark flags]      (networks TLN HAN ky4 Net1 Net2 Net3)
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "design_options.h"
#include "kelvarn/binding/toolkit.h"

namespace {

namespace en = kelvarn::binding::en;
using kelvarn::binding::Toolkit;
using kvepa2::bench::DesignPipe;
using kvepa2::bench::Rng;

struct Model {
    std::vector<int> junctions;
    std::vector<int> reservoirs;
    std::vector<DesignPipe> pipes;
};

Model openModel(Toolkit& tk, const std::filesystem::path& file) {
    const auto rpt = std::filesystem::temp_directory_path() / "kvepa2-bench.rpt";
    if (int rc = tk.ENopen(file.string(), rpt.string(), ""); rc >= 100) {
        throw std::runtime_error("ENopen of " + file.string() + " returned " + std::to_string(rc));
    }
    Model m;
    int nodes = 0;
    int links = 0;
    tk.ENgetcount(en::NODECOUNT, nodes);
    tk.ENgetcount(en::LINKCOUNT, links);
    for (int i = 1; i <= nodes; ++i) {
        int type = -1;
        tk.ENgetnodetype(i, type);
        if (type == en::JUNCTION) {
            m.junctions.push_back(i);
        } else if (type == en::RESERVOIR) {
            m.reservoirs.push_back(i);
        }
    }
    const std::string name = file.stem().string();
    for (int j = 1; j <= links; ++j) {
        int type = -1;
        tk.ENgetlinktype(j, type);
        if (type != en::PIPE) {
            continue;
        }
        float diameter = 0.0f;
        float roughness = 0.0f;
        tk.ENgetlinkvalue(j, en::DIAMETER, diameter);
        tk.ENgetlinkvalue(j, en::ROUGHNESS, roughness);
        m.pipes.push_back({j, kvepa2::bench::optionsFor(name, diameter, roughness)});
    }
    if (int rc = tk.ENopenH(); rc >= 100) {
        throw std::runtime_error("ENopenH returned " + std::to_string(rc));
    }
    return m;
}

void evaluationLoop(benchmark::State& state, std::filesystem::path file, int initFlag) {
    Toolkit tk;
    Model m;
    try {
        m = openModel(tk, file);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    Rng rng(12345);
    long steps = 0;
    long warnings = 0;
    for (auto _ : state) {
        for (const auto& p : m.pipes) {
            const auto& o = p.options[rng.below(p.options.size())];
            tk.ENsetlinkvalue(p.index, en::ROUGHNESS, o.roughness);
            tk.ENsetlinkvalue(p.index, en::DIAMETER, o.diameter);
            tk.ENsetlinkvalue(p.index, en::INITSTATUS, 1.0f);
        }
        tk.ENinitH(initFlag);
        long step = 0;
        do {
            long t = 0;
            warnings += tk.ENrunH(t) != 0;
            float v = 0.0f;
            for (int i : m.junctions) {
                tk.ENgetnodevalue(i, en::PRESSURE, v);
            }
            for (const auto& p : m.pipes) {
                tk.ENgetlinkvalue(p.index, en::VELOCITY, v);
            }
            for (int i : m.reservoirs) {
                tk.ENgetnodevalue(i, en::DEMAND, v);
            }
            benchmark::DoNotOptimize(v);
            tk.ENnextH(step);
            ++steps;
        } while (step > 0);
    }
    tk.ENclose();
    state.counters["steps"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
    state.counters["warned"] =
        benchmark::Counter(static_cast<double>(warnings), benchmark::Counter::kAvgIterations);
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path dir = KELVARN_NETWORKS_DIR;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--networks") == 0 && i + 1 < argc) {
            dir = argv[++i];
        } else {
            rest.push_back(argv[i]);
        }
    }
    for (const char* net : {"TLN", "HAN", "ky4", "Net1", "Net2", "Net3"}) {
        const auto file = dir / (std::string(net) + ".inp");
        // Flag 1 is what the program passes; 0 is how the reference figures were taken.
        for (int flag : {1, 0}) {
            benchmark::RegisterBenchmark((std::string(net) + "/initH" + std::to_string(flag)).c_str(),
                                         evaluationLoop, file, flag)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    int n = static_cast<int>(rest.size());
    benchmark::Initialize(&n, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
