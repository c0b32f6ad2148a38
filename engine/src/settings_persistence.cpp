#include "settings_persistence.h"

#include <cmath>
#include <optional>

#include "rounding.h"

namespace tarnix::detail {

namespace {

// A Boolean stored as a number follows the platform's convention: true is -1.
std::optional<std::int32_t> asLong(const PropertyValue& value) {
    if (const auto* b = std::get_if<bool>(&value)) {
        return *b ? -1 : 0;
    }
    if (const auto* l = std::get_if<std::int32_t>(&value)) {
        return *l;
    }
    return toLong(std::get<float>(value));
}

std::optional<float> asSingle(const PropertyValue& value) {
    if (const auto* b = std::get_if<bool>(&value)) {
        return *b ? -1.0f : 0.0f;
    }
    if (const auto* l = std::get_if<std::int32_t>(&value)) {
        return static_cast<float>(*l);
    }
    return std::get<float>(value);
}

std::optional<bool> asBoolean(const PropertyValue& value) {
    if (const auto* b = std::get_if<bool>(&value)) {
        return *b;
    }
    if (const auto* l = std::get_if<std::int32_t>(&value)) {
        return *l != 0;
    }
    const float f = std::get<float>(value);
    if (std::isnan(f)) {
        return std::nullopt;
    }
    return f != 0.0f;
}

template <class T>
std::optional<T> convert(const PropertyValue& value) {
    if constexpr (std::is_same_v<T, bool>) {
        return asBoolean(value);
    } else if constexpr (std::is_same_v<T, float>) {
        return asSingle(value);
    } else {
        return asLong(value);
    }
}

}  // namespace

void saveSettings(const Settings& settings, PropertyStore& store) {
    const Settings defaults;
    for (const auto& field : kSettingFields) {
        std::visit(
            [&](auto member) {
                if (!(settings.*member == defaults.*member)) {
                    store.write(field.name, PropertyValue{settings.*member});
                }
            },
            field.member);
    }
}

Settings loadSettings(const PropertyStore& store) {
    Settings settings;
    for (const auto& field : kSettingFields) {
        const auto stored = store.read(field.name);
        if (!stored) {
            continue;
        }
        std::visit(
            [&](auto member) {
                using T = std::remove_reference_t<decltype(settings.*member)>;
                if (const auto value = convert<T>(*stored)) {
                    settings.*member = *value;
                }
            },
            field.member);
    }
    return settings;
}

}  // namespace tarnix::detail
