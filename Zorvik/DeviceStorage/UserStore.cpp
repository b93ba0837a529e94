#include "Zorvik/DeviceStorage/UserStore.h"

#include "platform/foundation/Exception.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"

#include <memory>

namespace zorvik {

using platform::store::FetchRequest;

namespace {

std::unique_ptr<UserStore>& sharedInstance()
{
    static std::unique_ptr<UserStore> instance;
    return instance;
}

std::string refuseSingleton()
{
    throw platform::foundation::NamedException("Singleton", "Use +[UserStore sharedStore]");
}

FetchRequest usersWhere(std::string attribute, platform::foundation::Value value)
{
    return FetchRequest { DeviceUser::kEntityName,
        FetchRequest::Equals { std::move(attribute), std::move(value) }, 1 };
}

}

UserStore& UserStore::sharedStore()
{
    auto& instance = sharedInstance();
    if (!instance)
        instance.reset(new UserStore(Opening {}));
    return *instance;
}

void UserStore::resetSharedStore()
{
    sharedInstance().reset();
}

UserStore::UserStore()
    : DeviceRecordStore(refuseSingleton())
{
}

UserStore::UserStore(Opening)
    : DeviceRecordStore(kFileName)
{
}

std::optional<std::filesystem::path> UserStore::itemArchivePath()
{
    return archivePath(kFileName);
}

bool UserStore::containsUserWithUsername(std::string_view username)
{
    return count(usersWhere("username", username)).value > 0;
}

std::optional<DeviceUser> UserStore::fetchUserWithUsername(std::string_view username)
{
    auto found = fetchFirst(usersWhere("username", username)).value;
    return found ? std::optional<DeviceUser>(DeviceUser(found)) : std::nullopt;
}

std::optional<DeviceUser> UserStore::fetchActiveUser()
{
    auto found = fetchFirst(usersWhere("isActiveUser", 1)).value;
    return found ? std::optional<DeviceUser>(DeviceUser(found)) : std::nullopt;
}

DeviceUser UserStore::createUserWithUsername(std::string_view username)
{
    DeviceUser user(context()->insertNewObject(DeviceUser::kEntityName));
    user.setUsername(username);
    return user;
}

}
