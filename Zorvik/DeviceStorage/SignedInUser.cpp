#include "Zorvik/DeviceStorage/SignedInUser.h"

#include "Zorvik/DeviceStorage/FileStore.h"
#include "Zorvik/DeviceStorage/UserStore.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObjectContext.h"

#include <vector>

namespace zorvik {

namespace {

// Every record marked active, the unsaved ones included.
std::vector<DeviceUser> activeUsers(UserStore& store)
{
    auto fetched = store.context()->fetch(platform::store::FetchRequest {
        DeviceUser::kEntityName, platform::store::FetchRequest::Equals { "isActiveUser", 1 }, 0 });
    std::vector<DeviceUser> users;
    for (const auto& object : fetched.value)
        users.emplace_back(object);
    return users;
}

}

void SignedInUser::save(const std::string& email)
{
    FileStore {}.saveToFile(kUserFileName, email);
    auto& store = UserStore::sharedStore();
    for (auto& user : activeUsers(store)) {
        if (user.username() != email)
            user.setIsActiveUser(false);
    }
    auto found = store.fetchUserWithUsername(email);
    DeviceUser user = found ? *found : store.createUserWithUsername(email);
    user.setIsActiveUser(true);
    store.updateStore();
}

void SignedInUser::clear()
{
    FileStore {}.removeFile(kUserFileName);
    auto& store = UserStore::sharedStore();
    for (auto& user : activeUsers(store))
        user.setIsActiveUser(false);
    store.updateStore();
}

}
