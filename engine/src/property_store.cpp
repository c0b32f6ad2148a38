#include "tarnix/property_store.h"

#include <algorithm>

namespace tarnix {

PropertyStore::~PropertyStore() = default;

std::optional<PropertyValue> MemoryPropertyStore::read(std::string_view key) const {
    const auto it =
        std::ranges::find(entries_, key, [](const auto& entry) { return std::string_view(entry.first); });
    if (it == entries_.end()) {
        return std::nullopt;
    }
    return it->second;
}

void MemoryPropertyStore::write(std::string_view key, const PropertyValue& value) {
    const auto it =
        std::ranges::find(entries_, key, [](const auto& entry) { return std::string_view(entry.first); });
    if (it != entries_.end()) {
        it->second = value;
    } else {
        entries_.emplace_back(std::string(key), value);
    }
}

}  // namespace tarnix
