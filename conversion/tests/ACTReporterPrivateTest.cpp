#include "conversion/ACTApplication.h"
#include "conversion/ACTAutomatedUsageTracker.h"
#include "conversion/ACTConversionIDReporter.h"
#include "conversion/ACTIAPConversionReporter.h"
#include "conversion/ACTPingRetryScheduler.h"
#include "conversion/ACTRemarketingReporterPrivate.h"
#include "conversion/ADTActivityReporterPrivate.h"
#include "conversion/tests/ConversionFixture.h"

#include "platform/foundation/AdvertisingIdentifierManager.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace conversion::test {
namespace {

using platform::foundation::Array;
using platform::foundation::Defaults;
using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using testing::ConversionPing;

using Names = std::vector<std::string>;

class ACTReporterPrivateTest : public ConversionFixture {
protected:
    /// Reports through `reporter` and answers the ping the service kept.
    ConversionPing sent(const std::shared_ptr<ACTReporterPrivate>& reporter)
    {
        auto before = backend.conversionPings().pings().size();
        EXPECT_TRUE(reporter->report());
        EXPECT_TRUE(waitForPings(before + 1));
        return backend.conversionPings().pings().back();
    }

    static void storeReferrer(const std::string& conversionID)
    {
        ASSERT_TRUE(ACTConversionReporterPrivate::saveReferrerComponents(
            Dictionary::make({ { "conv", conversionID }, { "mclid", "click-7" }, { "ai", "a b&c" } })));
    }
};

TEST_F(ACTReporterPrivateTest, AConversionPingListsItsParametersInCaseInsensitiveKeyOrder)
{
    storeReferrer("123");
    auto ping = sent(ACTConversionIDReporter::make("123", "sale", "9.99", true));
    EXPECT_EQ(ping.service, ConversionPing::Service::Conversion);
    EXPECT_EQ(ping.conversionID, "123");
    EXPECT_EQ(ping.names(),
        (Names { "ai", "appversion", "bundleid", "label", "lat", "mclid", "osversion", "rdid", "sdkversion",
            "timestamp", "usage_tracking_enabled", "value" }));
    EXPECT_EQ(ping.parameter("ai"), "a b&c");
    EXPECT_EQ(ping.parameter("mclid"), "click-7");
    EXPECT_EQ(ping.parameter("rdid"), advertisingIdentifier());
    EXPECT_EQ(ping.parameter("sdkversion"), "ct-sdk-i-v3.2.0");
    EXPECT_EQ(ping.parameter("timestamp"), "1421236800");
    EXPECT_EQ(ping.parameter("lat"), "0");
    EXPECT_EQ(ping.parameter("usage_tracking_enabled"), "1");
    EXPECT_EQ(ping.parameter("value"), "9.99");
    EXPECT_NE(ping.target.find("ai=a%20b%26c&"), std::string::npos);
    EXPECT_TRUE(logged("ACTConversionIDReporter: sending ping: " + backend.baseUrl() + ping.target + "."));
}

TEST_F(ACTReporterPrivateTest, ANonRepeatableConversionIsPingedUntilOnePingSucceeds)
{
    struct Case {
        bool repeatable;
        bool reportedAgain;
    };
    for (auto [repeatable, reportedAgain] : { Case { false, false }, Case { true, true } }) {
        SCOPED_TRACE(repeatable);
        clearLog();
        auto label = repeatable ? "signup" : "sale";
        // The caller lets go of the reporter at once; the ping's success still reaches it.
        ASSERT_TRUE(ACTConversionIDReporter::make("123", label, std::nullopt, repeatable)->report());
        ASSERT_TRUE(mainQueue().runUntil([] { return storedRequests().empty(); }));
        EXPECT_EQ(
            Defaults::standard()->boolean(std::string("marquee_conversion_ping:") + label), !repeatable);

        auto count = backend.conversionPings().pings().size();
        EXPECT_EQ(
            ACTConversionIDReporter::make("123", label, std::nullopt, repeatable)->report(), reportedAgain);
        EXPECT_EQ(logged("ACTConversionIDReporter: already sent successful ping."), !reportedAgain);
        if (reportedAgain) {
            EXPECT_TRUE(waitForPings(count + 1));
        }
    }
}

TEST_F(ACTReporterPrivateTest, ANonRepeatableConversionRetriedAfterAServerErrorIsRememberedOnceThrough)
{
    // No automated usage pings for the ID: the service's one failure is the conversion ping's.
    ACTAutomatedUsageTracker::disableAutomatedUsageReportingWithConversionID("123");
    backend.failRoute("GET", "/pagead/conversion/*", 500, 1);
    ASSERT_TRUE(ACTConversionIDReporter::make("123", "sale", std::nullopt, false)->report());
    auto& retries = ACTApplication::sharedApplication()->retryScheduler()->retryQueue();
    ASSERT_TRUE(mainQueue().runUntil([&] { return retries.count() == 1; }));
    mainQueue().advance(ACTPingRetryScheduler::kTimeBetweenBatches);
    ASSERT_TRUE(mainQueue().runUntil([] {
        return Defaults::standard()->boolean("marquee_conversion_ping:sale");
    })) << "the retry's success reaches the reporter";
    EXPECT_FALSE(ACTConversionIDReporter::make("123", "sale", std::nullopt, false)->report());
}

TEST_F(ACTReporterPrivateTest, AConversionWithoutALabelIsKnownByItsConversionID)
{
    struct Case {
        std::string conversionID;
        std::optional<std::string> label;
        std::string key;
    };
    const std::vector<Case> cases {
        { "123", std::nullopt, "marquee_conversion_ping:(null):123" },
        { "456", std::nullopt, "marquee_conversion_ping:(null):456" },
        { "789", "sale", "marquee_conversion_ping:sale" },
    };
    // The one key all unlabelled conversions once shared is not read: it may not stop any of them.
    Defaults::standard()->setValue("marquee_conversion_ping:(null)", true);
    for (const auto& [conversionID, label, key] : cases) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(ACTConversionIDReporter::make(conversionID, label, std::nullopt, false)->report());
        ASSERT_TRUE(mainQueue().runUntil([&] { return Defaults::standard()->boolean(key); }));
    }
    for (const auto& [conversionID, label, key] : cases) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(ACTConversionIDReporter::make(conversionID, label, std::nullopt, false)->report());
    }
    auto pings = backend.conversionPings().pings();
    EXPECT_EQ(
        std::count_if(pings.begin(), pings.end(), [](const auto& ping) { return !ping.parameter("auto"); }),
        static_cast<std::ptrdiff_t>(cases.size()))
        << "one conversion ping each, besides the automated usage pings";
}

TEST_F(ACTReporterPrivateTest, ReferrersNeedAllThreePartsAndAtMostAHundredKeysAreEverStored)
{
    for (const char* missing : { "conv", "mclid", "ai" }) {
        SCOPED_TRACE(missing);
        auto components = Dictionary::make({ { "conv", "1" }, { "mclid", "m" }, { "ai", "a" } });
        components->set(missing, "");
        EXPECT_FALSE(ACTConversionReporterPrivate::saveReferrerComponents(components));
    }
    EXPECT_EQ(Defaults::standard()->integer(ACTConversionReporterPrivate::kReferrerCountKey), 0);

    Defaults::standard()->setValue(ACTConversionReporterPrivate::kReferrerCountKey, 98);
    storeReferrer("first");
    storeReferrer("hundredth");
    EXPECT_FALSE(ACTConversionReporterPrivate::saveReferrerComponents(
        Dictionary::make({ { "conv", "one-too-many" }, { "mclid", "m" }, { "ai", "a" } })));
    EXPECT_FALSE(ACTConversionReporterPrivate::referrerComponentsForReferrerKeyWithSuffix("one-too-many"));
    // A key stored already takes a new referrer all the same.
    EXPECT_TRUE(ACTConversionReporterPrivate::saveReferrerComponents(
        Dictionary::make({ { "conv", "first" }, { "mclid", "newer" }, { "ai", "a" } })));
    auto stored = ACTConversionReporterPrivate::referrerComponentsForReferrerKeyWithSuffix("first");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->get("mclid").stringValue(), "newer");
    EXPECT_EQ(Defaults::standard()->integer(ACTConversionReporterPrivate::kReferrerCountKey), 100);
    EXPECT_TRUE(
        logged("Registering click referrer for converison ID \"first\" with click ID \"newer\" and click "
               "string \"a\"."));
}

TEST_F(ACTReporterPrivateTest, ARemarketingPingCarriesItsCustomParametersUnderData)
{
    auto custom = Dictionary::make({ { "screen_name", "Invoices" }, { "Zeta", "z" }, { "alpha", 3 },
        { "items", Array::make({ "a", "b" }) }, { "skipped", Dictionary::make() } });
    auto ping = sent(ACTRemarketingReporterPrivate::make("77", custom));
    EXPECT_EQ(ping.conversionID, "77");
    EXPECT_EQ(ping.names(),
        (Names { "appversion", "bundleid", "data.alpha", "data.items", "data.items", "data.screen_name",
            "data.Zeta", "lat", "osversion", "rdid", "remarketing_only", "sdkversion", "timestamp",
            "usage_tracking_enabled" }));
    EXPECT_EQ(ping.parameter("data.screen_name"), "Invoices");
    EXPECT_EQ(ping.parameter("data.alpha"), "3");
    EXPECT_NE(ping.target.find("data.items=a&data.items=b"), std::string::npos);
    EXPECT_EQ(ping.parameter("remarketing_only"), "1");
}

TEST_F(ACTReporterPrivateTest, AnAutomatedUsagePingIsStampedAndMarkedAutomatic)
{
    auto reporter = ACTAutomatedUsageReporterPrivate::make("77");
    reporter->setTimestamp(1421240400.5);
    auto ping = sent(reporter);
    EXPECT_EQ(ping.parameter("auto"), "1");
    EXPECT_EQ(ping.parameter("timestamp"), "1421240400.5");
    EXPECT_EQ(ping.parameter("usage_tracking_enabled"), "1");
    EXPECT_FALSE(ping.parameter("remarketing_only"));
}

TEST_F(ACTReporterPrivateTest, AnExcludedConversionIDSaysSoInItsPings)
{
    ACTAutomatedUsageTracker::disableAutomatedUsageReportingWithConversionID("123");
    EXPECT_EQ(sent(ACTConversionIDReporter::make("123", "sale", std::nullopt, true))
                  .parameter("usage_tracking_enabled"),
        "0");
    EXPECT_EQ(
        sent(ACTRemarketingReporterPrivate::make("123", nullptr)).parameter("usage_tracking_enabled"), "0");
    EXPECT_EQ(sent(ACTConversionIDReporter::make("124", "sale", std::nullopt, true))
                  .parameter("usage_tracking_enabled"),
        "1");
}

TEST_F(ACTReporterPrivateTest, APurchasePingNamesItsProduct)
{
    auto ping = sent(ACTIAPConversionReporter::make("com.zorvik.pro", "4.99", false));
    EXPECT_TRUE(ping.target.starts_with("/pagead/conversion/?"));
    EXPECT_EQ(ping.parameter("sku"), "com.zorvik.pro");
    EXPECT_FALSE(ping.parameter("usage_tracking_enabled"));
    ASSERT_TRUE(mainQueue().runUntil(
        [] { return Defaults::standard()->boolean("marquee_iap_ping:com.zorvik.pro"); }));
}

TEST_F(ACTReporterPrivateTest, ActivityServicePingsUseSemicolonsAndNoCommonParameters)
{
    storeReferrer("555");
    platform::foundation::AdvertisingIdentifierManager::sharedManager()->setAdvertisingTrackingEnabled(false);
    auto conversion = sent(ADTConversionReporterPrivate::make("555", "2.50", true));
    EXPECT_EQ(conversion.service, ConversionPing::Service::Activity);
    EXPECT_EQ(conversion.names(),
        (Names { "ait", "appversion", "bundleid", "lat", "osversion", "rdid", "sdkversion", "timestamp",
            "value", "xsp" }));
    EXPECT_EQ(conversion.parameter("lat"), "1");
    EXPECT_EQ(conversion.parameter("xsp"), "555");
    EXPECT_EQ(conversion.parameter("ait"), "1");

    auto request = ADTActivityRequest::requestWithAdUnitID(
        "/6499/example/banner", "user-1", Dictionary::make({ { "section", "news;sport" } }));
    auto activity = sent(ADTActivityReporterPrivate::make(request));
    EXPECT_EQ(activity.service, ConversionPing::Service::Activity);
    EXPECT_EQ(activity.names(), (Names { "dc_iu", "dc_lat", "dc_ppid", "dc_rdid", "section" }));
    EXPECT_EQ(activity.parameter("dc_iu"), "/6499/example/banner");
    EXPECT_EQ(activity.parameter("section"), "news;sport");
    EXPECT_EQ(activity.parameter("dc_rdid"), advertisingIdentifier());
    EXPECT_TRUE(activity.target.starts_with("/adactivity/activity;dc_iu=%2F6499%2Fexample%2Fbanner;"));
}

TEST_F(ACTReporterPrivateTest, NoPingGoesOutWithoutAnAdvertisingIdentifier)
{
    platform::foundation::AdvertisingIdentifierManager::setAvailable(false);
    auto request = ADTActivityRequest::requestWithAdUnitID("unit", std::nullopt, nullptr);
    EXPECT_FALSE(ACTConversionIDReporter::make("123", "sale", std::nullopt, true)->report());
    EXPECT_FALSE(ADTActivityReporterPrivate::make(request)->report());
    EXPECT_TRUE(logged("not sending ping. Unexpected error getting the advertisingIdentifier."));
    EXPECT_TRUE(storedRequests().empty());
}

TEST_F(ACTReporterPrivateTest, AnUnusableURLIsNotPinged)
{
    environment.set("ZORVIK_CONVERSION_URL", "http://bad host");
    EXPECT_FALSE(ACTRemarketingReporterPrivate::make("77", nullptr)->report());
    EXPECT_TRUE(logged("ACTRemarketingReporterPrivate: not sending ping. Invalid URL."));
    EXPECT_TRUE(storedRequests().empty());
}

TEST_F(ACTReporterPrivateTest, EmptyIDsMakeNoReporter)
{
    EXPECT_FALSE(ACTConversionIDReporter::make("", "sale", std::nullopt, true));
    EXPECT_FALSE(ADTConversionReporterPrivate::make("", std::nullopt, true));
    EXPECT_FALSE(ACTIAPConversionReporter::make("", std::nullopt, true));
    EXPECT_FALSE(ACTRemarketingReporterPrivate::make("", nullptr));
    EXPECT_FALSE(ACTAutomatedUsageReporterPrivate::make(""));
}

}
}
