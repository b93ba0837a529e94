#pragma once

#include "Zorvik/DeviceStorage/DeviceRecordStore.h"
#include "Zorvik/DeviceStorage/DeviceSettings.h"

#include <filesystem>
#include <optional>

namespace zorvik {

/// The device's one DeviceSettings record, in "device_settings.data" in Documents. The application
/// delegate makes the record at the first launch. One store per process, reached through sharedStore(),
/// on the main thread.
///
/// Tests: resetSharedStore() closes the store so that the next sharedStore() opens the file anew.
class DeviceSettingsStore : public DeviceRecordStore {
public:
    /// The store's file name in Documents.
    static constexpr const char* kFileName = "device_settings.data";

    /// The one store, opened on first use (see DeviceRecordStore for what happens to a damaged file).
    static DeviceSettingsStore& sharedStore();

    /// Closes the one store; the next sharedStore() opens it again. For tests.
    static void resetSharedStore();

    /// Always throws platform::foundation::NamedException "Singleton" with the reason
    /// "Use +[DeviceSettingsStore sharedStore]": the store is reached through sharedStore() only.
    DeviceSettingsStore();

    /// The store file's path: Documents followed by "device_settings.data" (nullopt without Documents).
    static std::optional<std::filesystem::path> itemArchivePath();

    /// The first settings record, nullopt when there is none, or the store's error when it could not be
    /// read (a file another program holds locked): no record should be made then.
    platform::store::StoreResult<std::optional<DeviceSettings>> fetchDeviceSettings();

    /// A new settings record with hasShownAPNSDialog false and no background time; saved at the next
    /// updateStore().
    DeviceSettings createDeviceSettings();

private:
    struct Opening { };
    explicit DeviceSettingsStore(Opening);
};

}
