#pragma once

#include "Zorvik/DeviceStorage/DeviceSettingsStore.h"
#include "Zorvik/DeviceStorage/UserStore.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {

/// A device of its own for each test: a fresh home folder (so an empty Documents), store singletons that
/// open anew in it, and the log lines written meanwhile.
class DeviceStorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::foundation::Files::setHomeDirectory(m_home.path());
        UserStore::resetSharedStore();
        DeviceSettingsStore::resetSharedStore();
        platform::foundation::Log::setCapture(
            [this](const std::string& line) { m_logLines.push_back(line); });
    }

    void TearDown() override
    {
        platform::foundation::Log::setCapture({});
        UserStore::resetSharedStore();
        DeviceSettingsStore::resetSharedStore();
        platform::foundation::Files::setHomeDirectory({});
    }

    /// Signs `email` in as the sign-up and PIN log-in screens do: reuses the record of that address or
    /// makes one, marks it active and saves.
    static DeviceUser signIn(const std::string& email)
    {
        auto& store = UserStore::sharedStore();
        DeviceUser user = store.containsUserWithUsername(email) ? *store.fetchUserWithUsername(email)
                                                                : store.createUserWithUsername(email);
        user.setIsActiveUser(true);
        store.updateStore();
        return user;
    }

    /// Signs the active user out as log-out does.
    static void signOut()
    {
        auto& store = UserStore::sharedStore();
        store.fetchActiveUser()->setIsActiveUser(false);
        store.updateStore();
    }

    /// The Documents folder of this test's device.
    std::filesystem::path documents() const { return *platform::foundation::Files::documentsDirectory(); }

    ::testing::TemporaryDirectory m_home;
    std::vector<std::string> m_logLines;
};

}
