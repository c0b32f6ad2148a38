// One entry of the pipe option catalogue.
#pragma once

#include <cstdint>
#include <string>

namespace kelvarn::design {

struct clsDesignOptions {
    std::string ID;           // also the key in the catalogue
    std::string Description;  // never contains a double quote
    float Cost = 0;           // per unit of pipe length, in the model's units
    float Roughness = 0;      // given to a pipe taking this option (<= 0 becomes 0.01)
    float Diameter = 0;       // <= 0: the option leaves the pipe out (closed)
    std::int32_t Index = 0;   // 1-based position in the program's catalogue
};

}  // namespace kelvarn::design
