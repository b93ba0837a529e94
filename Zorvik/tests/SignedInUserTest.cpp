#include "Zorvik/DeviceStorage/SignedInUser.h"

#include "Zorvik/DeviceStorage/FileStore.h"
#include "Zorvik/tests/DeviceStorageFixture.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObjectContext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

class SignedInUserTest : public DeviceStorageTest {
protected:
    /// Every record as "address" or "address (active)", in the order made.
    static std::vector<std::string> users()
    {
        auto& store = UserStore::sharedStore();
        std::vector<std::string> names;
        for (const auto& object :
            store.context()->fetch({ DeviceUser::kEntityName, std::nullopt, 0 }).value) {
            DeviceUser user(object);
            names.push_back(user.username() + (user.isActiveUser() ? " (active)" : ""));
        }
        return names;
    }
};

TEST_F(SignedInUserTest, SavingMakesThatAddressTheOneActiveUserAndReusesItsRecord)
{
    SignedInUser::save("ann@zorvik.test");
    EXPECT_EQ(FileStore {}.readFromFile("user"), "ann@zorvik.test");
    EXPECT_EQ(users(), std::vector<std::string> { "ann@zorvik.test (active)" });

    SignedInUser::save("bob@zorvik.test");
    SignedInUser::save("ann@zorvik.test");
    EXPECT_EQ(FileStore {}.readFromFile("user"), "ann@zorvik.test");
    EXPECT_EQ(users(), (std::vector<std::string> { "ann@zorvik.test (active)", "bob@zorvik.test" }));

    UserStore::resetSharedStore();
    EXPECT_EQ(users(), (std::vector<std::string> { "ann@zorvik.test (active)", "bob@zorvik.test" }))
        << "saved in the store file";
}

TEST_F(SignedInUserTest, ClearingSignsEveryoneOutAndKeepsTheRecords)
{
    auto& store = UserStore::sharedStore();
    store.createUserWithUsername("old@zorvik.test").setIsActiveUser(true);
    store.updateStore();
    SignedInUser::save("ann@zorvik.test");
    EXPECT_EQ(users(), (std::vector<std::string> { "old@zorvik.test", "ann@zorvik.test (active)" }));

    SignedInUser::clear();
    EXPECT_EQ(FileStore {}.readFromFile("user"), std::nullopt);
    EXPECT_EQ(users(), (std::vector<std::string> { "old@zorvik.test", "ann@zorvik.test" }));
    SignedInUser::clear();
    EXPECT_FALSE(store.fetchActiveUser());
}

}
}
