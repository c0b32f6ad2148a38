// The keyed node and link collections; keys are IDs, compared exactly.
#pragma once

#include "kelvarn/common/keyed_collection.h"
#include "kelvarn/network/link.h"
#include "kelvarn/network/node.h"

namespace kelvarn::network {

using colNodes = common::KeyedCollection<clsNode>;
using colLinks = common::KeyedCollection<clsLink>;

}  // namespace kelvarn::network
