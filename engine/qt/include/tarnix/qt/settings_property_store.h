#pragma once

#include <QSettings>

#include "tarnix/property_store.h"
#include "tarnix/qt/export.h"

namespace tarnix::qt {

// The engine's property store over a QSettings group, so that a window host can
// keep the control's settings with its own (Engine::SaveSettings / LoadSettings).
// Values read back as text (INI files) are taken as a Long, a Single or a
// Boolean, whichever they spell.
class TARNIXQT_API SettingsPropertyStore final : public PropertyStore {
  public:
    explicit SettingsPropertyStore(QSettings& settings) : settings_(settings) {}

    std::optional<PropertyValue> read(std::string_view key) const override;
    void write(std::string_view key, const PropertyValue& value) override;

  private:
    QSettings& settings_;
};

}  // namespace tarnix::qt
