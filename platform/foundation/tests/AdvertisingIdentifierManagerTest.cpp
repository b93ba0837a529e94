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

    manager->setAdvertisingTrackingEnabled(false);
    EXPECT_FALSE(AdvertisingIdentifierManager::sharedManager()->isAdvertisingTrackingEnabled());
    manager->setAdvertisingTrackingEnabled(true);

    AdvertisingIdentifierManager::setAvailable(false);
    EXPECT_EQ(AdvertisingIdentifierManager::sharedManager(), nullptr);
    AdvertisingIdentifierManager::setAvailable(true);
    EXPECT_EQ(AdvertisingIdentifierManager::sharedManager(), manager);
}

}
}
