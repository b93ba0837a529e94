#include "ZorvikAPI/models/VATRegistration.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::Value;

TEST(VATRegistration, ReadsItsFlagAndNumber)
{
    VATRegistration registered = VATRegistration::withIsRegistered(true, "GB123456789");
    EXPECT_TRUE(registered.isRegistered());
    EXPECT_EQ(registered.record()->get("is_registered"), Value(true));
    EXPECT_EQ(registered.registrationNumber(), "GB123456789");

    VATRegistration blank(Dictionary::make());
    EXPECT_FALSE(blank.isRegistered());
    EXPECT_EQ(blank.registrationNumber(), std::nullopt);
    // The server may write the flag as a number.
    EXPECT_TRUE(VATRegistration(Dictionary::make({ { "is_registered", 1 } })).isRegistered());
}

}
}
