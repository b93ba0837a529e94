#include "platform/ui/ContactsStore.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace platform::ui {
namespace {

class ContactsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ContactsStore::resetDevice(); }
    void TearDown() override { ContactsStore::resetDevice(); }

    ContactsStore store;
};

TEST_F(ContactsStoreTest, AccessIsAskedOnlyWhileUndeterminedAndAnsweredOffTheMainThread)
{
    struct Case {
        ContactsAuthorizationStatus before;
        bool userGrants;
        bool granted;
        ContactsAuthorizationStatus after;
        std::size_t questions;
    };
    const Case cases[] = {
        { ContactsAuthorizationStatus::NotDetermined, true, true, ContactsAuthorizationStatus::Authorized,
            1 },
        { ContactsAuthorizationStatus::NotDetermined, false, false, ContactsAuthorizationStatus::Denied, 1 },
        { ContactsAuthorizationStatus::Denied, true, false, ContactsAuthorizationStatus::Denied, 0 },
        { ContactsAuthorizationStatus::Restricted, true, false, ContactsAuthorizationStatus::Restricted, 0 },
        { ContactsAuthorizationStatus::Authorized, false, true, ContactsAuthorizationStatus::Authorized, 0 },
    };
    for (const auto& test : cases) {
        ContactsStore::resetDevice();
        ContactsStore::setAuthorizationStatus(test.before);
        ContactsStore::setUserAnswer(test.userGrants);
        std::optional<bool> granted;
        std::optional<std::string> error;
        bool onMainThread = true;
        store.requestAccess([&](bool answer, const std::optional<std::string>& reason) {
            onMainThread = foundation::mainQueue().isMainThread();
            foundation::mainQueue().async([&, answer, reason] {
                granted = answer;
                error = reason;
            });
        });
        ASSERT_TRUE(foundation::mainQueue().runUntil([&] { return granted.has_value(); }));
        EXPECT_FALSE(onMainThread);
        EXPECT_EQ(*granted, test.granted);
        EXPECT_EQ(error.has_value(), !test.granted);
        EXPECT_EQ(ContactsStore::authorizationStatus(), test.after);
        EXPECT_EQ(ContactsStore::questionCount(), test.questions);
    }
}

TEST_F(ContactsStoreTest, ContactsLoadFromJsonAndAreReadableOnlyWithAccess)
{
    ::testing::TemporaryDirectory folder;
    auto good = folder.path() / "contacts.json";
    ASSERT_TRUE(foundation::Files::writeText(good,
        R"([{"givenName": "Ann", "familyName": "Lee", "emailAddresses": ["ann@example.co.uk", "a@x.io"]},)"
        R"( {"givenName": "Bob"}])"));
    auto bad = folder.path() / "bad.json";
    ASSERT_TRUE(foundation::Files::writeText(bad, R"([{"givenName": 3}])"));

    EXPECT_TRUE(ContactsStore::loadDeviceContacts(good));
    EXPECT_FALSE(ContactsStore::loadDeviceContacts(bad));
    EXPECT_FALSE(ContactsStore::loadDeviceContacts(folder.path() / "missing.json"));
    EXPECT_FALSE(store.contacts()) << "not determined yet";

    ContactsStore::setAuthorizationStatus(ContactsAuthorizationStatus::Authorized);
    auto contacts = store.contacts();
    ASSERT_TRUE(contacts);
    ASSERT_EQ(contacts->size(), 2U);
    EXPECT_EQ((*contacts)[0], (Contact { "Ann", "Lee", { "ann@example.co.uk", "a@x.io" } }));
    EXPECT_EQ((*contacts)[1], (Contact { "Bob", "", {} }));
}

}
}
