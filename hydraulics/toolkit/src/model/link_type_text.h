// A link type as EPANET writes it: "CV", "Pipe", "Pump" or the valve's code ("PRV" ...).
#pragma once

#include "model/model.h"

namespace kvepa2 {

const char* linkTypeText(LinkType type);

}  // namespace kvepa2
