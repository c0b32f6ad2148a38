#pragma once

#include "settings.h"
#include "tarnix/property_store.h"

namespace tarnix::detail {

// Writes every setting that differs from its default, in the store's key order.
void saveSettings(const Settings& settings, PropertyStore& store);

// Reads every setting as stored (no range checks); a missing key or a value that
// cannot be converted to the setting's kind gives the default.
Settings loadSettings(const PropertyStore& store);

}  // namespace tarnix::detail
