#include "model/link_type_text.h"

#include <iterator>

namespace kvepa2 {

const char* linkTypeText(LinkType type) {
    // Indexed by the type's EPANET code.
    static constexpr const char* kWords[] = {"CV",  "Pipe", "Pump", "PRV", "PSV",
                                             "PBV", "FCV",  "TCV",  "GPV", "PCV"};
    const auto i = static_cast<size_t>(type);
    return i < std::size(kWords) ? kWords[i] : "Link";
}

}  // namespace kvepa2
