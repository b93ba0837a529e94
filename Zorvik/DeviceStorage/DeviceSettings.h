#pragma once

#include "platform/foundation/Date.h"

#include <memory>
#include <optional>

namespace platform::store {
class ManagedObject;
}

namespace zorvik {

/// A typed view of the device's one settings record: whether the notification permission question was
/// answered, and when the app last went to the background. Changes reach the store file at
/// DeviceSettingsStore::updateStore().
class DeviceSettings {
public:
    /// The entity's name in the data model.
    static constexpr const char* kEntityName = "DeviceSettings";

    /// A view of `object`, a record of the entity DeviceSettings.
    explicit DeviceSettings(std::shared_ptr<platform::store::ManagedObject> object);

    /// Whether the notification permission question has been answered (false when empty).
    bool hasShownAPNSDialog() const;
    /// Records whether the question has been answered.
    void setHasShownAPNSDialog(bool shown);

    /// When the app last entered the background, or nullopt before the first time.
    std::optional<platform::foundation::Date> timeAppWentToBackground() const;
    /// Sets (or, with nullopt, clears) the background time.
    void setTimeAppWentToBackground(std::optional<platform::foundation::Date> date);

    /// The underlying record.
    const std::shared_ptr<platform::store::ManagedObject>& object() const { return m_object; }

private:
    std::shared_ptr<platform::store::ManagedObject> m_object;
};

}
