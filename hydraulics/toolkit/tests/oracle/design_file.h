// The designs file shared with the EPANET side of the oracle: for every design, the
// ENsetlinkvalue calls to make, in order.
#pragma once

#include <string>
#include <vector>

namespace kvepa2::oracle {

struct LinkSet {
    int index = 0;
    int property = 0;
    float value = 0.0f;
};

struct Design {
    int number = 0;
    std::vector<LinkSet> sets;
};

// Throws std::runtime_error naming the file and line of the first bad record.
std::vector<Design> readDesigns(const std::string& path);

}  // namespace kvepa2::oracle
