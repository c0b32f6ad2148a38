// Any bytes as an input file: the reader must not crash, and whatever it
// accepts must survive writing and reading back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "input/input_reader.h"
#include "model/network_validation.h"
#include "output/input_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    kvepa2::Model model;
    const kvepa2::ReadResult result = kvepa2::readInputText(text, model);
    if (result.code != 0) {
        if (!model.nodes.empty() || result.errors.empty())
            std::abort();
        return 0;
    }
    std::vector<std::string> report;
    kvepa2::validateNetwork(model, report);
    for (int i = 0; i < static_cast<int>(model.nodes.size()); ++i) {
        if (model.nodes[static_cast<size_t>(i)].type == kvepa2::NodeType::Tank) {
            (void)model.tankVolume(i, model.nodes[static_cast<size_t>(i)].initLevel);
        }
    }
    const std::string written = kvepa2::formatInputText(model);
    kvepa2::Model back;
    const kvepa2::ReadResult again = kvepa2::readInputText(written, back);
    // What was accepted once is accepted again, with the same objects.
    if (again.code != 0 || back.nodes.size() != model.nodes.size() ||
        back.links.size() != model.links.size()) {
        std::abort();
    }
    return 0;
}
