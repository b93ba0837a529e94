#include "conversion/ACTAutomatedUsageTracker.h"
#include "conversion/ACTApplication.h"
#include "conversion/ACTReporter.h"
#include "conversion/tests/ConversionFixture.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/AdvertisingIdentifierManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace conversion::test {
namespace {

using platform::foundation::Defaults;
using platform::foundation::mainQueue;

constexpr double kStart { 1421236800 };
constexpr double kHour { 3600 };

class ACTAutomatedUsageTrackerTest : public ConversionFixture {
protected:
    static std::shared_ptr<ACTAutomatedUsageTracker> tracker()
    {
        return ACTApplication::sharedApplication()->automatedUsageTracker();
    }

    static std::string text(double seconds)
    {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.0f", seconds);
        return buffer;
    }

    /// The timestamps of the automated usage pings received so far, in order of time (pings under way
    /// together may arrive in either order), after the main queue has run what is due and `count` pings
    /// have arrived in all.
    std::vector<std::string> usagePings(std::size_t count)
    {
        mainQueue().runUntilIdle();
        EXPECT_TRUE(waitForPings(count));
        std::vector<std::string> stamps;
        for (const auto& ping : backend.conversionPings().pings()) {
            if (ping.parameter("auto") == "1")
                stamps.push_back(ping.parameter("timestamp").value_or(""));
        }
        std::sort(stamps.begin(), stamps.end());
        return stamps;
    }
};

TEST_F(ACTAutomatedUsageTrackerTest, TheFirstEnrolmentPingsForTheFirstHourAndThenEveryHour)
{
    ACTAutomatedUsageTracker::enableAutomatedUsageReportingWithConversionID("42");
    EXPECT_EQ(usagePings(1), (std::vector<std::string> { text(kStart + kHour) }));
    EXPECT_EQ(ACTAutomatedUsageTracker::persistentTimeToNextUsageIntervalSince1970(), kStart + kHour);
    EXPECT_EQ(backend.conversionPings().pings()[0].conversionID, "42");

    // The hour the first ping reported ends without another; the next hours each get theirs, the timer
    // firing on the very second its interval ends.
    mainQueue().advance(kHour);
    mainQueue().advance(kHour);
    mainQueue().advance(kHour);
    EXPECT_EQ(usagePings(3),
        (std::vector<std::string> {
            text(kStart + kHour), text(kStart + 2 * kHour), text(kStart + 3 * kHour) }));
    EXPECT_EQ(ACTAutomatedUsageTracker::persistentTimeToNextUsageIntervalSince1970(), kStart + 4 * kHour);
}

TEST_F(ACTAutomatedUsageTrackerTest, EnrolmentCatchesUpOnTheStoredGrid)
{
    struct Case {
        const char* name;
        double stored;
        std::vector<std::string> stamps;
    };
    const Case cases[] = {
        { "ended in the past", kStart - 5000, { text(kStart - 5000), text(kStart - 5000 + 2 * kHour) } },
        { "ends within the hour", kStart + 1000, { text(kStart + 1000) } },
        { "ends more than an hour ahead", kStart + 5000, { text(kStart + kHour) } },
    };
    for (const auto& [name, stored, stamps] : cases) {
        SCOPED_TRACE(name);
        Defaults::standard()->setValue(ACTAutomatedUsageTracker::kDefaultsKey, stored);
        restart();
        auto before = backend.conversionPings().pings().size();
        tracker()->lockAndEnableAutomatedUsageReportingWithConversionID("42");
        mainQueue().runUntilIdle();
        ASSERT_TRUE(waitForPings(before + stamps.size()));
        std::vector<std::string> received;
        for (auto i = before; i < backend.conversionPings().pings().size(); ++i)
            received.push_back(backend.conversionPings().pings()[i].parameter("timestamp").value_or(""));
        std::sort(received.begin(), received.end());
        EXPECT_EQ(received, stamps);
        // Delivered, the pings leave the store; else the next case's start would send them again.
        ASSERT_TRUE(mainQueue().runUntil([] { return storedRequests().empty(); }));
    }
}

TEST_F(ACTAutomatedUsageTrackerTest, EnablingAnIDTwiceMakesOneReporterAndOneTimer)
{
    tracker()->lockAndEnableAutomatedUsageReportingWithConversionID("42");
    auto reporter = tracker()->reporter("42");
    tracker()->lockAndEnableAutomatedUsageReportingWithConversionID("42");
    EXPECT_EQ(tracker()->reporter("42"), reporter);
    mainQueue().advance(2 * kHour);
    EXPECT_EQ(usagePings(2), (std::vector<std::string> { text(kStart + kHour), text(kStart + 2 * kHour) }));
}

TEST_F(ACTAutomatedUsageTrackerTest, AnExcludedIDIsOnlyEnrolledAgainOnPurpose)
{
    ACTAutomatedUsageTracker::disableAutomatedUsageReportingWithConversionID("42");
    ACTAutomatedUsageTracker::disableAutomatedUsageReportingWithConversionID(std::nullopt);
    EXPECT_TRUE(tracker()->isAutomatedUsageReportingDisabledForConversionID("42"));
    auto conversion = ACTConversionReporter::make("42", "sale", std::nullopt, true);
    mainQueue().runUntilIdle();
    EXPECT_FALSE(tracker()->reporter("42"));
    EXPECT_FALSE(tracker()->hasStartedUsageReporting());

    ACTAutomatedUsageTracker::enableAutomatedUsageReportingWithConversionID("42");
    EXPECT_TRUE(tracker()->reporter("42"));
    EXPECT_FALSE(tracker()->isAutomatedUsageReportingDisabledForConversionID("42"));
    EXPECT_TRUE(tracker()->hasStartedUsageReporting());

    ACTAutomatedUsageTracker::disableAutomatedUsageReportingWithConversionID("42");
    EXPECT_FALSE(tracker()->reporter("42"));
}

TEST_F(ACTAutomatedUsageTrackerTest, NothingIsEnrolledWithoutTheAdvertisingIdentifierManager)
{
    platform::foundation::AdvertisingIdentifierManager::setAvailable(false);
    tracker()->lockAndEnableAutomatedUsageReportingWithConversionID("42");
    tracker()->lockAndEnableAutomatedUsageReportingWithConversionID("");
    EXPECT_FALSE(tracker()->reporter("42"));
    EXPECT_FALSE(tracker()->hasStartedUsageReporting());
}

TEST_F(ACTAutomatedUsageTrackerTest, TheCurrentIntervalEndsOnTheGridThroughThePriorEnd)
{
    struct Case {
        double prior;
        double end;
    };
    for (auto [prior, end] : { Case { 0, kStart + kHour }, Case { kStart + 10, kStart + 10 },
             Case { kStart, kStart + kHour }, Case { kStart - 10, kStart - 10 + kHour },
             Case { kStart - 2 * kHour - 10, kStart - 10 + kHour } }) {
        SCOPED_TRACE(prior);
        EXPECT_EQ(tracker()->timeSince1970ToEndOfCurrentUsageIntervalBasedOnPriorUsageInterval(prior), end);
    }
}

}
}
