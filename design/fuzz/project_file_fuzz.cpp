// libFuzzer target: any bytes as a project file. The reader must not crash,
// must leave the design data empty when it refuses a file, and must keep the
// staged values aligned with the design lists when it accepts one.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "kelvarn/design/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/kelvarn-fuzz-" + std::to_string(getpid()) + ".kv";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    kelvarn::design::Project p;
    const bool read = kelvarn::design::ReadProject(p, path);
    const kelvarn::design::StagedDesign& s = p.StagedDesign;
    if (!read) {
        if (p.OptionCatalogue.Count() != 0 || !p.DesignJunctions.empty() || !p.DesignPipes.empty() ||
            !p.DesignSources.empty() || !s.Empty()) {
            std::abort();
        }
        return 0;
    }
    if (s.StagedJunctionMinPressure.size() != p.DesignJunctions.size() ||
        s.StagedJunctionMaxPressure.size() != p.DesignJunctions.size() ||
        s.StagedPipeMinVelocity.size() != p.DesignPipes.size() ||
        s.StagedPipeOptionIds.size() != p.DesignPipes.size() ||
        s.StagedPipeOptionCount.size() != p.DesignPipes.size() ||
        s.StagedSourceMaxFlow.size() != p.DesignSources.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < p.DesignPipes.size(); ++i) {
        if (static_cast<std::size_t>(s.StagedPipeOptionCount[i]) != s.StagedPipeOptionIds[i].size() ||
            s.StagedPipeOptionCount[i] > 47 || s.StagedPipeOptionCount[i] > p.OptionCatalogue.Count()) {
            std::abort();
        }
    }
    for (std::int32_t k = 1; k <= p.OptionCatalogue.Count(); ++k) {
        if (p.OptionCatalogue(k).Index != k) {
            std::abort();
        }
    }
    return 0;
}
