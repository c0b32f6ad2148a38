#include "design_options.h"

#include <map>

namespace kvepa2::bench {

std::vector<PipeOption> optionsFor(const std::string& name, float diameter, float roughness) {
    // Catalogues in inches, roughness C = 130 (the benchmarks' published design data).
    static const std::map<std::string, std::vector<float>> catalogues = {
        {"TLN", {1, 2, 3, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24}},
        {"HAN", {12, 16, 20, 24, 30, 40}},
    };
    std::vector<PipeOption> out;
    if (auto it = catalogues.find(name); it != catalogues.end()) {
        for (float inches : it->second) {
            out.push_back({inches * 25.4f, 130.0f});
        }
        return out;
    }
    for (float scale : {0.75f, 1.0f, 1.25f, 1.5f}) {
        out.push_back({diameter * scale, roughness});
    }
    return out;
}

}  // namespace kvepa2::bench
