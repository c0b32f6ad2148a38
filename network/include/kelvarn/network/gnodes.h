// The vertices of one link, in drawing order from its start node.
#pragma once

#include <string>

#include "kelvarn/common/keyed_collection.h"

namespace kelvarn::network {

struct clsGnodes {
    float Y = 0;
    float X = 0;
};

class colGnodes : public common::KeyedCollection<clsGnodes> {
  public:
    // Appends a vertex at (X, Y), under sKey when it is not empty.
    clsGnodes& Add(float X, float Y, const std::string& sKey = {}) {
        return common::KeyedCollection<clsGnodes>::Add(sKey, clsGnodes{Y, X});
    }
};

}  // namespace kelvarn::network
