#include "kit/analytics/EMBAnalyticsEventFilter.h"

#include "kit/analytics/EMBAnalyticsApplicationLifecycleEvent.h"
#include "kit/analytics/EMBAnalyticsMetadataEvent.h"
#include "kit/analytics/EMBAnalyticsViewControllerEvent.h"

#include "platform/ui/Application.h"
#include "platform/ui/ViewController.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kit {
namespace {

// Installation identifiers with known hashes: positive, negative (as signed 32-bit) and the most negative.
constexpr const char* kPositive { "E621E1F8-C36C-495A-93FC-0C247A3E6E5F" }; // 1171620668
constexpr const char* kNegative { "6BA7B810-9DAD-11D1-80B4-00C04FD430C8" }; // -333166131 = -3 × 111055377
constexpr const char* kMostNegative { "polygenelubricants" }; // -2^31

TEST(EMBAnalyticsEventFilter, HashesTheUtf16UnitsWrappingAt32Bits)
{
    struct Case {
        std::string text;
        std::uint32_t hash;
    };
    const Case cases[] = {
        { "", 0 },
        { "abc", 96354 },
        { "hello world", 1794106052 },
        { "\xC3\xA9", 233 }, // é: one unit
        { "\xF0\x9F\x98\x80", 0xD83Du * 31 + 0xDE00u }, // 😀: a surrogate pair
        { "\xFF", 0xFFFD }, // not UTF-8: the replacement character
        { kPositive, 1171620668u },
        { kNegative, static_cast<std::uint32_t>(-333166131) },
        { kMostNegative, 0x80000000u },
    };
    for (const auto& test : cases)
        EXPECT_EQ(EMBAnalyticsEventFilter::javaHashCodeForString(test.text), test.hash) << test.text;
}

TEST(EMBAnalyticsEventFilter, AnInstallationIsSampledOutUnlessItsHashIsAMultipleOfTheFactor)
{
    struct Case {
        std::optional<std::string> installationID;
        std::int64_t factor;
        bool discarded;
    };
    const Case cases[] = {
        { "abc", 3, false }, // 96354 = 3 × 32118
        { "abc", 7, true }, // remainder 6
        { kPositive, 2, false }, { kPositive, 10, true }, { kNegative, 3, false },
        { kNegative, 7, true }, // remainder -4
        { kMostNegative, 2, false }, { kMostNegative, 3, true }, { kNegative, 1, false },
        { kNegative, 0, false }, { kNegative, -7, false }, { std::nullopt, 7, false },
        { "", 7, false }, // hash 0
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(::testing::Message() << test.installationID.value_or("(none)") << " by " << test.factor);
        EXPECT_EQ(
            EMBAnalyticsEventFilter::shouldDiscardEventWithInstallationID(test.installationID, test.factor),
            test.discarded);
    }
}

TEST(EMBAnalyticsEventFilter, OnlyApplicationLifecycleEventsAfterTheInstallationAreSampled)
{
    for (const char* key : { "app_launched", "app_terminated", "app_crashed", "app_memory_warning",
             "app_entered_background", "app_entered_foreground", "app_became_inactive", "app_became_active" })
        EXPECT_TRUE(EMBAnalyticsEventFilter::samplingEnabledForEventType(key)) << key;
    for (const char* key : { "app_installed", "view_controller_appeared", "view_controller_disappeared",
             "custom", "predefined", "metadata", "" })
        EXPECT_FALSE(EMBAnalyticsEventFilter::samplingEnabledForEventType(key)) << key;
}

TEST(EMBAnalyticsEventFilter, ASampledOutInstallationLosesOnlyItsLifecycleEventsAndOnlyWithoutABetaToken)
{
    using Lifecycle = EMBAnalyticsApplicationLifecycleEvent;
    auto launched = Lifecycle::applicationLaunchedEvent(1000, "launch");
    auto active = Lifecycle::eventWithApplicationNotificationName(
        platform::ui::Application::didBecomeActiveNotification, 1000, "active", false);
    ASSERT_NE(active, nullptr);
    auto installed = Lifecycle::applicationInstalledEvent(1000, "install");
    auto screen = std::make_shared<platform::ui::ViewController>();
    auto appeared = EMBAnalyticsViewControllerEvent::appearedEventForViewController(*screen, 1000, "screen");
    ASSERT_NE(appeared, nullptr);
    EMBAnalyticsMetadataEvent metadata(1, 1000, { '{', '}' });
    EMBAnalyticsEvent custom(2, 1000, "custom", "custom-id");

    struct Case {
        const char* what;
        const EMBEventLogEvent* event;
        std::optional<std::string> betaToken;
        bool discarded;
    };
    const Case cases[] = {
        { "no event", nullptr, std::nullopt, true },
        { "launch", launched.get(), std::nullopt, true },
        { "activation", active.get(), std::nullopt, true },
        { "launch with a beta token", launched.get(), "2:beta", false },
        { "installation", installed.get(), std::nullopt, false },
        { "screen", appeared.get(), std::nullopt, false },
        { "metadata", &metadata, std::nullopt, false },
        { "custom event", &custom, std::nullopt, false },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(EMBAnalyticsEventFilter::shouldDiscardEvent(test.event, test.betaToken, kNegative, 7),
            test.discarded);
    }
    EXPECT_FALSE(EMBAnalyticsEventFilter::shouldDiscardEvent(launched.get(), std::nullopt, kNegative, 3))
        << "an installation sampled in keeps its launches";
}

}
}
