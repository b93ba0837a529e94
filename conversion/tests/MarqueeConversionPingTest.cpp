#include "conversion/MarqueeConversionPing.h"
#include "conversion/ACTApplication.h"
#include "conversion/ACTAutomatedUsageTracker.h"
#include "conversion/ACTReporter.h"
#include "conversion/tests/ConversionFixture.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/AdvertisingIdentifierManager.h"

#include <gtest/gtest.h>

namespace conversion::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using testing::ConversionPing;

class MarqueeConversionPingTest : public ConversionFixture {
protected:
    static std::shared_ptr<ACTAutomatedUsageTracker> tracker()
    {
        return ACTApplication::sharedApplication()->automatedUsageTracker();
    }

    /// The pings (not automated usage) that went out once the main queue has run what is due.
    std::vector<ConversionPing> reportedPings()
    {
        mainQueue().runUntil([&] { return storedRequests().empty(); });
        std::vector<ConversionPing> reported;
        for (const auto& ping : backend.conversionPings().pings()) {
            if (!ping.parameter("auto"))
                reported.push_back(ping);
        }
        return reported;
    }
};

TEST_F(MarqueeConversionPingTest, TheTypeChoosesTheService)
{
    struct Case {
        std::int64_t type;
        std::optional<ConversionPing::Service> service;
    };
    for (auto [type, service] : { Case { 0, ConversionPing::Service::Conversion },
             Case { 1, ConversionPing::Service::Activity }, Case { 2, std::nullopt } }) {
        SCOPED_TRACE(type);
        auto before = reportedPings().size();
        MarqueeConversionPing::pingWithConversionIdType("900", type, "sale", "1.00", true);
        auto after = reportedPings();
        ASSERT_EQ(after.size(), before + (service ? 1 : 0));
        if (service) {
            EXPECT_EQ(after.back().service, *service);
        }
    }
}

TEST_F(MarqueeConversionPingTest, AConversionPingCarriesTheReferrerTheAppWasOpenedWith)
{
    EXPECT_TRUE(MarqueeConversionPing::registerReferrer(
        "zorvik://open?ref=home&referrer=conv%3D123%26mclid%3Dclick-1%26ai%3Dstring-2&x=1"));
    EXPECT_FALSE(MarqueeConversionPing::registerReferrer("zorvik://open?referrer="));
    EXPECT_FALSE(MarqueeConversionPing::registerReferrer("zorvik://open?referrer=conv%3D124"));
    MarqueeConversionPing::pingWithConversionId("123", "sale", "5", true, true);
    auto pings = reportedPings();
    ASSERT_EQ(pings.size(), 1u);
    EXPECT_EQ(pings[0].parameter("mclid"), "click-1");
    EXPECT_EQ(pings[0].parameter("ai"), "string-2");
    EXPECT_EQ(pings[0].parameter("label"), "sale");
}

TEST_F(MarqueeConversionPingTest, ARemarketingPingNamesItsScreenOnlyWhenGivenOne)
{
    struct Case {
        std::string screenName;
        std::optional<std::string> sent;
    };
    for (const auto& [screenName, sent] : { Case { "", "caller's" }, Case { "Settings", "Settings" } }) {
        SCOPED_TRACE(screenName);
        auto custom = Dictionary::make({ { "screen_name", "caller's" }, { "plan", "pro" } });
        MarqueeConversionPing::pingRemarketingWithConversionId("77", "unused", screenName, custom);
        auto pings = reportedPings();
        ASSERT_FALSE(pings.empty());
        EXPECT_EQ(pings.back().parameter("data.screen_name"), sent);
        EXPECT_EQ(pings.back().parameter("data.plan"), "pro");
        EXPECT_EQ(custom->get("screen_name").stringValue(), "caller's");
    }
    MarqueeConversionPing::pingRemarketingWithConversionId("78", std::nullopt, "", nullptr);
    EXPECT_FALSE(reportedPings().back().parameter("data.screen_name"));
}

TEST_F(MarqueeConversionPingTest, MakingAReporterEnrolsItsConversionIDUnlessItIsAnActivityServiceConversion)
{
    auto conversion = ACTConversionReporter::make("123", "sale", std::nullopt, false);
    auto remarketing = ACTRemarketingReporter::make("124", nullptr);
    auto display = ADTConversionReporter::make("125", "1", false);
    auto purchase = ACTConversionReporter::makeWithProductID("com.zorvik.pro", std::nullopt, false);
    ASSERT_TRUE(conversion && remarketing && display && purchase);
    mainQueue().runUntilIdle();
    EXPECT_TRUE(tracker()->reporter("123"));
    EXPECT_TRUE(tracker()->reporter("124"));
    EXPECT_FALSE(tracker()->reporter("125"));
    EXPECT_TRUE(reportedPings().empty());
}

TEST_F(MarqueeConversionPingTest, ValuesCanBeChangedBeforeReporting)
{
    auto conversion = ACTConversionReporter::make("123", "sale", "1.00", true);
    auto display = ADTConversionReporter::make("125", std::nullopt, true);
    conversion->setValue("2.00");
    display->setValue("3.00");
    EXPECT_EQ(conversion->value(), "2.00");
    EXPECT_TRUE(conversion->report());
    EXPECT_TRUE(display->report());
    auto pings = reportedPings();
    ASSERT_EQ(pings.size(), 2u);
    for (const auto& ping : pings) {
        bool conversionService = ping.service == ConversionPing::Service::Conversion;
        EXPECT_EQ(ping.parameter("value"), conversionService ? "2.00" : "3.00");
    }
}

TEST_F(MarqueeConversionPingTest, WithoutTheAdvertisingIdentifierManagerNothingIsSent)
{
    platform::foundation::AdvertisingIdentifierManager::setAvailable(false);
    auto conversion = ACTConversionReporter::make("123", "sale", std::nullopt, true);
    ASSERT_TRUE(conversion);
    EXPECT_FALSE(conversion->report());
    EXPECT_TRUE(
        logged("not sending ping. The advertising identifier is not available for this device. This is "
               "expected for devices running < iOS 6."));
    mainQueue().runUntilIdle();
    EXPECT_FALSE(tracker()->reporter("123"));
    EXPECT_TRUE(backend.requests().empty());
}

TEST_F(MarqueeConversionPingTest, ReportersNeedTheirIDs)
{
    EXPECT_FALSE(ACTConversionReporter::make("", "sale", std::nullopt, true));
    EXPECT_FALSE(ACTConversionReporter::makeWithProductID("", std::nullopt, true));
    EXPECT_FALSE(ACTRemarketingReporter::make("", nullptr));
    EXPECT_FALSE(ADTConversionReporter::make("", std::nullopt, true));
    EXPECT_FALSE(ACTAutomatedUsageReporter::make(""));
    // An activity ping without its ad unit would carry no "dc_iu": none is made.
    EXPECT_FALSE(ADTActivityReporter::make("", "user", nullptr));
    ADTActivityReporter::reportWithAdUnitID("", std::nullopt, nullptr);
    MarqueeConversionPing::pingWithConversionId("", "sale", std::nullopt, true);
    mainQueue().runUntilIdle();
    EXPECT_TRUE(backend.requests().empty());
}

TEST_F(MarqueeConversionPingTest, TheClassMethodsReportOnce)
{
    ACTConversionReporter::reportWithProductID("com.zorvik.pro", "4.99", true);
    ADTActivityReporter::reportWithAdUnitID("/1/unit", std::nullopt, nullptr);
    auto pings = reportedPings();
    ASSERT_EQ(pings.size(), 2u);
    for (const auto& ping : pings) {
        auto [key, expected] = ping.service == ConversionPing::Service::Conversion
            ? std::pair { "sku", "com.zorvik.pro" }
            : std::pair { "dc_iu", "/1/unit" };
        EXPECT_EQ(ping.parameter(key), expected);
    }
}

TEST_F(MarqueeConversionPingTest, TellsItsVersion)
{
    EXPECT_EQ(MarqueeConversionPing::sdkVersion(), "ct-sdk-i-v3.2.0");
}

}
}
