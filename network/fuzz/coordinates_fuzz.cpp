// libFuzzer target: any bytes as the text of an input file, read into a small
// network. The reader either fills it or throws NetworkFileError, nothing else;
// the field splitter never reports more fields than fit plus one.
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "kelvarn/network/read_coordinates.h"
#include "kelvarn/network/split_fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::array<std::string, 5> small;
    if (kelvarn::network::SplitFields(text, small) > 5) {
        std::abort();
    }
    static const std::string path = "/tmp/kelvarn-fuzz-" + std::to_string(getpid()) + ".inp";
    std::ofstream(path, std::ios::binary) << text;
    kelvarn::network::Network net;
    for (const char* id : {"1", "2", "J1"}) {
        net.Nodes.Add(id).ID = id;
        net.Links.Add(id).ID = id;
    }
    try {
        kelvarn::network::ReadCoordinates(net, path);
    } catch (const kelvarn::network::NetworkFileError&) {
    }
    for (const kelvarn::network::clsLink& link : net.Links) {
        if (link.nGnodes != link.Gnodes.Count()) {
            std::abort();
        }
    }
    return 0;
}
