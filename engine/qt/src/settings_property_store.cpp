#include "tarnix/qt/settings_property_store.h"

namespace tarnix::qt {

namespace {

QString keyOf(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

std::optional<PropertyValue> SettingsPropertyStore::read(std::string_view key) const {
    const QVariant value = settings_.value(keyOf(key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool();
        case QMetaType::Int:
            return static_cast<std::int32_t>(value.toInt());
        case QMetaType::Float:
        case QMetaType::Double:
            return value.toFloat();
        default:
            break;
    }
    const QString text = value.toString().trimmed();
    bool ok = false;
    if (const int whole = text.toInt(&ok); ok) {
        return static_cast<std::int32_t>(whole);
    }
    if (const float number = text.toFloat(&ok); ok) {
        return number;
    }
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    return std::nullopt;  // unreadable: the setting keeps its default
}

void SettingsPropertyStore::write(std::string_view key, const PropertyValue& value) {
    std::visit([&](auto v) { settings_.setValue(keyOf(key), QVariant::fromValue(v)); }, value);
}

}  // namespace tarnix::qt
