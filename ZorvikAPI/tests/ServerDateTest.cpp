#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/DeviceEnvironment.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Date;
using platform::foundation::ScopedDeviceEnvironment;

TEST(ServerDate, WritesTheDeviceOffset)
{
    struct Case {
        const char* zone;
        double seconds;
        const char* text;
    };
    const Case cases[] = {
        { "Europe/London", 1456820100, "2016-03-01T08:15:00.000+0000" },
        { "Europe/London", 1467374400.25, "2016-07-01T13:00:00.250+0100" },
        { "Europe/Paris", 1456820100, "2016-03-01T09:15:00.000+0100" },
        { "America/New_York", 1456820100, "2016-03-01T03:15:00.000-0500" },
    };
    for (auto& testCase : cases) {
        SCOPED_TRACE(testCase.text);
        ScopedDeviceEnvironment device("en_GB", testCase.zone);
        EXPECT_EQ(toServerDateString(Date { testCase.seconds }), testCase.text);
        EXPECT_EQ(serverDateFormatter().pattern(), "yyyy-MM-dd'T'HH:mm:ss.SSSZ");
    }
}

TEST(ServerDate, ReadsBackTheSameInstantInAnyZone)
{
    const Date instant { 1456820100.123 };
    for (auto zone : { "Europe/London", "Asia/Kolkata", "America/New_York" }) {
        SCOPED_TRACE(zone);
        ScopedDeviceEnvironment device("en_GB", zone);
        auto text = toServerDateString(instant);
        auto read = fromServerDateString(text);
        ASSERT_TRUE(read);
        EXPECT_NEAR(read->secondsSince1970, instant.secondsSince1970, 0.0005);
        EXPECT_EQ(fromServerDateString("2016-03-01T09:15:00.000+0100")->secondsSince1970, 1456820100);
        EXPECT_EQ(fromServerDateString("2016-03-01T03:15:00.000-0500")->secondsSince1970, 1456820100);
    }
}

TEST(ServerDate, RejectsTextThatIsNotAServerDate)
{
    for (auto text : { "", "2016-03-01", "2016-03-01T09:15:00+0100", "2016-02-30T09:15:00.000+0100",
             "2016-03-01T09:15:00.000+0100 and more", "yesterday" }) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(fromServerDateString(text));
    }
}

}
}
