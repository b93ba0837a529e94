#include "kit/analytics/Tally.h"

#include "kit/core/CRNKitRegistry.h"

#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kit {
namespace {

using platform::foundation::Date;
using Starts = std::vector<std::optional<std::string>>;

// A crash kit that counts the platform's start hook.
class CountingCrashKit : public Kit {
public:
    std::string kitName() const override { return "Ember"; }
    std::string bundleIdentifier() const override { return "com.cairn.ember.ios"; }
    std::string kitDisplayVersion() const override { return "3.7.0"; }
    void initializeIfNeeded() override { ++starts; }

    int starts { 0 };
};

class TallyTest : public ::testing::Test {
protected:
    void SetUp() override { Tally::sharedInstance()->reset(); }
    void TearDown() override
    {
        CRNKitRegistry::shared().unregisterClass("Ember");
        Tally::sharedInstance()->reset();
    }

    static Tally& tally() { return *Tally::sharedInstance(); }
};

TEST_F(TallyTest, ItsClassIsRegisteredWithThePlatformWhenTheProgramLoads)
{
    auto kitClass = CRNKitRegistry::shared().classNamed("Tally");
    ASSERT_NE(kitClass, nullptr);
    EXPECT_TRUE(kitClass->conformsToKitProtocol());
    EXPECT_EQ(kitClass->kit(), Tally::sharedInstance());
    EXPECT_EQ(kitClass->kit()->bundleIdentifier(), "com.cairn.tally.ios");
    EXPECT_EQ(kitClass->kit()->kitDisplayVersion(), "1.2.0");
}

TEST_F(TallyTest, ThePlatformsHookLeavesTheStartToACrashKitAndStartsAloneWithoutOne)
{
    tally().initializeIfNeeded();
    EXPECT_EQ(tally().startCalls(), Starts { std::nullopt }) << "no crash kit: analytics starts itself";

    tally().reset();
    auto crashKit = std::make_shared<CountingCrashKit>();
    CRNKitRegistry::shared().registerClass(CRNKitClass::kitClass(crashKit));
    tally().initializeIfNeeded();
    EXPECT_EQ(crashKit->starts, 1);
    EXPECT_TRUE(tally().startCalls().empty()) << "the crash kit starts analytics itself";
    EXPECT_FALSE(tally().isStarted());
}

TEST_F(TallyTest, EventsCountFromTheFirstStartAndKeepWhatTheyWereGiven)
{
    Tally::logCustomEventWithName("too early", nullptr);
    Tally::logPreviousSessionCrashedOnDate(Date { 1 });
    Tally::startWithBetaToken("beta-1");
    Tally::startWithBetaToken(std::nullopt);
    EXPECT_EQ(tally().startCalls(), (Starts { "beta-1", std::nullopt }));

    auto attributes = std::make_shared<platform::foundation::Dictionary>();
    attributes->set("screen", "invoice");
    Tally::logCustomEventWithName("opened", attributes);
    attributes->set("screen", "changed later");
    Tally::logPreviousSessionCrashedOnDate(Date { 1'765'400'000 });

    auto events = tally().customEvents();
    ASSERT_EQ(events.size(), 1u) << "nothing is kept before the start";
    EXPECT_EQ(events[0].name, "opened");
    EXPECT_EQ(events[0].attributes->get("screen").stringValue(), "invoice");
    EXPECT_EQ(tally().previousSessionCrashDates(), std::vector<Date> { Date { 1'765'400'000 } });
}

}
}
