#include "Zorvik/DeviceStorage/DeviceSettingsStore.h"

#include "platform/foundation/Exception.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"

#include <memory>

namespace zorvik {

namespace {

std::unique_ptr<DeviceSettingsStore>& sharedInstance()
{
    static std::unique_ptr<DeviceSettingsStore> instance;
    return instance;
}

std::string refuseSingleton()
{
    throw platform::foundation::NamedException("Singleton", "Use +[DeviceSettingsStore sharedStore]");
}

}

DeviceSettingsStore& DeviceSettingsStore::sharedStore()
{
    auto& instance = sharedInstance();
    if (!instance)
        instance.reset(new DeviceSettingsStore(Opening {}));
    return *instance;
}

void DeviceSettingsStore::resetSharedStore()
{
    sharedInstance().reset();
}

DeviceSettingsStore::DeviceSettingsStore()
    : DeviceRecordStore(refuseSingleton())
{
}

DeviceSettingsStore::DeviceSettingsStore(Opening)
    : DeviceRecordStore(kFileName)
{
}

std::optional<std::filesystem::path> DeviceSettingsStore::itemArchivePath()
{
    return archivePath(kFileName);
}

platform::store::StoreResult<std::optional<DeviceSettings>> DeviceSettingsStore::fetchDeviceSettings()
{
    auto found = fetchFirst(platform::store::FetchRequest { DeviceSettings::kEntityName, std::nullopt, 1 });
    if (!found.ok())
        return { std::nullopt, found.error, found.fault };
    return { found.value ? std::optional<DeviceSettings>(DeviceSettings(found.value)) : std::nullopt, {} };
}

DeviceSettings DeviceSettingsStore::createDeviceSettings()
{
    DeviceSettings settings(context()->insertNewObject(DeviceSettings::kEntityName));
    settings.setHasShownAPNSDialog(false);
    return settings;
}

}
