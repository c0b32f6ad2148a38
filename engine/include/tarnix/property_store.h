#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "tarnix/export.h"

namespace tarnix {

// One stored setting: a Boolean, a Long (also the enumerations) or a Single.
using PropertyValue = std::variant<bool, std::int32_t, float>;

// The host's property store (for a window host, the settings saved with its form).
class TARNIX_API PropertyStore {
  public:
    virtual ~PropertyStore();
    // The value stored under key, or nothing when the key is absent.
    virtual std::optional<PropertyValue> read(std::string_view key) const = 0;
    virtual void write(std::string_view key, const PropertyValue& value) = 0;
};

// A property store in memory that keeps keys in the order of their first write.
class TARNIX_API MemoryPropertyStore final : public PropertyStore {
  public:
    std::optional<PropertyValue> read(std::string_view key) const override;
    void write(std::string_view key, const PropertyValue& value) override;

    const std::vector<std::pair<std::string, PropertyValue>>& entries() const { return entries_; }
    void clear() { entries_.clear(); }

  private:
    std::vector<std::pair<std::string, PropertyValue>> entries_;
};

}  // namespace tarnix
