// Any bytes as an input file, taken as far as the hydraulics go: whatever the
// reader and the network checks accept must simulate without crashing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "hydraulics/hydraulic_simulation.h"
#include "input/input_reader.h"
#include "model/network_validation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    kvepa2::Model model;
    if (kvepa2::readInputText(text, model).code != 0)
        return 0;
    std::vector<std::string> report;
    if (kvepa2::validateNetwork(model, report) != 0)
        return 0;
    if (model.nodes.size() > 2000)
        return 0;  // keep each run short
    kvepa2::HydraulicSimulation simulation(model);
    if (simulation.init(0) >= 100)
        return 0;
    long t = 0, step = 0;
    for (int period = 0; period < 40; ++period) {
        if (simulation.run(t) >= 100)
            break;
        for (int i = 0; i < static_cast<int>(model.nodes.size()); ++i) (void)simulation.nodeHead(i);
        if (simulation.next(step) >= 100 || step <= 0)
            break;
    }
    return 0;
}
