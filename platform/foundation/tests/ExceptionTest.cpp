#include "platform/foundation/Exception.h"

#include <gtest/gtest.h>

using platform::foundation::NamedException;

TEST(NamedException, CarriesNameAndReasonAndDescribesBoth)
{
    try {
        throw NamedException("Singleton", "use sharedStore");
    } catch (const std::exception& e) {
        auto& named = dynamic_cast<const NamedException&>(e);
        EXPECT_EQ(named.name(), "Singleton");
        EXPECT_EQ(named.reason(), "use sharedStore");
        EXPECT_STREQ(e.what(), "Singleton: use sharedStore");
    }
}
