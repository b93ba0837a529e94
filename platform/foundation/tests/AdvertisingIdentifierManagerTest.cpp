#include "platform/foundation/AdvertisingIdentifierManager.h"

#include <gtest/gtest.h>

namespace platform::foundation {
namespace {

TEST(AdvertisingIdentifierManager, OnePhoneOneIdentifierAndTheUsersChoiceOfTracking)
{
    auto manager = AdvertisingIdentifierManager::sharedManager();
    ASSERT_NE(manager, nullptr) << "the phone offers the service";
    EXPECT_EQ(manager->advertisingIdentifier(), manager->advertisingIdentifier());
    EXPECT_TRUE(manager->isAdvertisingTrackingEnabled()) << "allowed until the user says otherwise";

    const auto identifier = manager->advertisingIdentifier();
    manager->setAdvertisingTrackingEnabled(false);
    EXPECT_FALSE(AdvertisingIdentifierManager::sharedManager()->isAdvertisingTrackingEnabled());
    EXPECT_EQ(manager->advertisingIdentifier().string(), "00000000-0000-0000-0000-000000000000")
        << "no app sees the identifier of a user who does not allow tracking";
    manager->setAdvertisingTrackingEnabled(true);
    EXPECT_EQ(manager->advertisingIdentifier(), identifier) << "the identifier is kept meanwhile";

    AdvertisingIdentifierManager::setAvailable(false);
    EXPECT_EQ(AdvertisingIdentifierManager::sharedManager(), nullptr);
    AdvertisingIdentifierManager::setAvailable(true);
    EXPECT_EQ(AdvertisingIdentifierManager::sharedManager(), manager);
}

}
}
