#include "platform/ui/Device.h"

#include "platform/foundation/Defaults.h"

#include <gtest/gtest.h>

using platform::ui::Device;

TEST(Device, TheIdentifierForVendorIsKeptWithTheAppsDataAndStaysTheSame)
{
    auto identifier = Device::current().identifierForVendor();
    ASSERT_TRUE(identifier);
    EXPECT_EQ(Device::current().identifierForVendor(), identifier);
    auto kept = platform::foundation::Defaults::standard()->string("DeviceIdentifierForVendor");
    EXPECT_EQ(kept, identifier->string()) << "the next launch reads the same identifier back";
}
