#include "Zorvik/DeviceStorage/UserStore.h"

#include "Zorvik/DeviceStorage/DeviceSettingsStore.h"
#include "Zorvik/tests/DeviceStorageFixture.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Files.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"

#include <gtest/gtest.h>

#include <functional>

namespace zorvik::test {
namespace {

using platform::foundation::Bytes;
using platform::foundation::Date;
using platform::foundation::Files;
using platform::foundation::NamedException;

using UserStoreTest = DeviceStorageTest;

std::size_t userCount()
{
    return UserStore::sharedStore().context()->count(platform::store::FetchRequest { "DeviceUser" }).value;
}

TEST_F(UserStoreTest, ThePlainInitialisersRefuseWithSingleton)
{
    struct Case {
        const char* reason;
        std::function<void()> make;
    };
    const std::vector<Case> cases {
        { "Use +[UserStore sharedStore]", [] { UserStore store; } },
        { "Use +[DeviceSettingsStore sharedStore]", [] { DeviceSettingsStore store; } },
    };
    for (const auto& test : cases) {
        try {
            test.make();
            ADD_FAILURE() << "no exception for " << test.reason;
        } catch (const NamedException& exception) {
            EXPECT_EQ(exception.name(), "Singleton");
            EXPECT_EQ(exception.reason(), test.reason);
        }
    }
    EXPECT_FALSE(Files::exists(documents() / "user.data")) << "a refused store opens no file";
    EXPECT_EQ(&UserStore::sharedStore(), &UserStore::sharedStore());
    EXPECT_EQ(&DeviceSettingsStore::sharedStore(), &DeviceSettingsStore::sharedStore());
    EXPECT_EQ(UserStore::itemArchivePath(), documents() / "user.data");
    EXPECT_EQ(DeviceSettingsStore::itemArchivePath(), documents() / "device_settings.data");
}

TEST_F(UserStoreTest, UsernamesMatchExactlyAndMissesAnswerNothing)
{
    auto& store = UserStore::sharedStore();
    EXPECT_FALSE(store.containsUserWithUsername("amy@example.com"));
    EXPECT_EQ(store.fetchUserWithUsername("amy@example.com"), std::nullopt);
    EXPECT_EQ(store.fetchActiveUser(), std::nullopt);

    DeviceUser created = store.createUserWithUsername("amy@example.com");
    EXPECT_FALSE(created.isActiveUser());
    EXPECT_TRUE(created.logoURL().empty());
    EXPECT_TRUE(created.logoImage().empty());
    EXPECT_TRUE(store.containsUserWithUsername("amy@example.com")) << "an unsaved user counts";
    store.updateStore();

    EXPECT_FALSE(store.containsUserWithUsername("Amy@example.com"));
    EXPECT_FALSE(store.containsUserWithUsername("amy@example.co"));
    EXPECT_EQ(store.fetchUserWithUsername("AMY@EXAMPLE.COM"), std::nullopt);
    EXPECT_EQ(store.fetchActiveUser(), std::nullopt) << "a created user is not signed in";
}

TEST_F(UserStoreTest, SigningInAgainReusesTheRecordWithItsLogo)
{
    DeviceUser amy = signIn("amy@example.com");
    amy.setLogoURL("http://127.0.0.1/qz-image-uploads/abc");
    amy.setLogoImage(Bytes { 1, 2, 3 });
    amy.setHasShownBankAccountDetailsDialog(true);
    UserStore::sharedStore().updateStore();
    signOut();
    EXPECT_EQ(UserStore::sharedStore().fetchActiveUser(), std::nullopt);

    signIn("ben@example.com");
    signOut();
    UserStore::resetSharedStore();
    signIn("amy@example.com");

    EXPECT_EQ(userCount(), 2u);
    UserStore::resetSharedStore();
    auto active = UserStore::sharedStore().fetchActiveUser();
    ASSERT_TRUE(active.has_value());
    EXPECT_EQ(active->username(), "amy@example.com");
    EXPECT_EQ(active->logoURL(), "http://127.0.0.1/qz-image-uploads/abc");
    EXPECT_EQ(active->logoImage(), (Bytes { 1, 2, 3 }));
    EXPECT_TRUE(active->hasShownBankAccountDetailsDialog());
    EXPECT_FALSE(UserStore::sharedStore().fetchUserWithUsername("ben@example.com")->isActiveUser());
}

TEST_F(UserStoreTest, DeviceSettingsAreMadeOnceAndKeepTheLatestBackgroundTime)
{
    auto& store = DeviceSettingsStore::sharedStore();
    EXPECT_EQ(store.fetchDeviceSettings().value, std::nullopt);
    store.createDeviceSettings();
    store.updateStore();

    DeviceSettingsStore::resetSharedStore();
    auto settings = DeviceSettingsStore::sharedStore().fetchDeviceSettings().value;
    ASSERT_TRUE(settings.has_value());
    EXPECT_FALSE(settings->hasShownAPNSDialog());
    EXPECT_EQ(settings->object()->value("hasShownAPNSDialog"), platform::foundation::Value(false));
    EXPECT_EQ(settings->timeAppWentToBackground(), std::nullopt);

    for (double seconds : { 1421236800.0, 1421240400.0 }) {
        DeviceSettingsStore::sharedStore().fetchDeviceSettings().value->setTimeAppWentToBackground(
            Date { seconds });
        DeviceSettingsStore::sharedStore().updateStore();
    }
    DeviceSettingsStore::resetSharedStore();
    auto reopened = DeviceSettingsStore::sharedStore().fetchDeviceSettings().value;
    EXPECT_EQ(reopened->timeAppWentToBackground(), Date { 1421240400.0 });
}

TEST_F(UserStoreTest, ADamagedStoreFileIsMovedAsideAndANewOneMade)
{
    struct Case {
        const char* fileName;
        std::function<void()> use;
    };
    const std::vector<Case> cases {
        { "user.data",
            [] {
                signIn("amy@example.com");
                UserStore::resetSharedStore();
                EXPECT_EQ(UserStore::sharedStore().fetchActiveUser()->username(), "amy@example.com");
            } },
        { "device_settings.data",
            [] {
                DeviceSettingsStore::sharedStore().createDeviceSettings();
                DeviceSettingsStore::sharedStore().updateStore();
                DeviceSettingsStore::resetSharedStore();
                EXPECT_TRUE(DeviceSettingsStore::sharedStore().fetchDeviceSettings().value.has_value());
            } },
    };
    const std::string garbage(4096, '\x5A');
    for (const auto& test : cases) {
        SCOPED_TRACE(test.fileName);
        m_logLines.clear();
        Files::writeText(documents() / test.fileName, garbage);

        test.use();

        auto movedName = std::string(test.fileName) + ".corrupt-20150114T120000Z";
        EXPECT_EQ(Files::readText(documents() / movedName), garbage)
            << "the damaged file is kept for a person";
        ASSERT_EQ(m_logLines.size(), 1u);
        EXPECT_NE(
            m_logLines[0].find("[DeviceStorage] The store " + std::string(test.fileName)), std::string::npos);
        EXPECT_NE(m_logLines[0].find(movedName), std::string::npos) << m_logLines[0];
    }

    // A second damaged file in the same second gets a name of its own.
    UserStore::resetSharedStore();
    Files::writeText(documents() / "user.data", "damaged again");
    EXPECT_EQ(UserStore::sharedStore().fetchActiveUser(), std::nullopt);
    EXPECT_EQ(Files::readText(documents() / "user.data.corrupt-20150114T120000Z-2"), "damaged again");
}

TEST_F(UserStoreTest, WithoutADocumentsFolderTheRecordsLiveInMemory)
{
    Files::writeText(m_home.path() / "not-a-folder", "a file where the home folder should be");
    Files::setHomeDirectory(m_home.path() / "not-a-folder");

    signIn("amy@example.com");
    EXPECT_EQ(UserStore::sharedStore().fetchActiveUser()->username(), "amy@example.com");
    EXPECT_TRUE(UserStore::sharedStore().context()->path().empty());
    EXPECT_EQ(UserStore::itemArchivePath(), std::nullopt);
    ASSERT_EQ(m_logLines.size(), 1u);
    EXPECT_NE(m_logLines[0].find("user.data is kept in memory"), std::string::npos) << m_logLines[0];
}

}
}
