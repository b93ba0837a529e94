#include "Zorvik/Controllers/AnalyticsListener.h"
#include "Zorvik/Events/AnalyticsEvents.h"
#include "Zorvik/Events/InvoiceEventsObjc.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/Regex.h"
#include "platform/outside/Pulse.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zorvik::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::NotificationCenter;
using platform::outside::Pulse;
using platform::outside::PulseRecord;

class AnalyticsListenerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Pulse::resetSharedInstance();
        listener = std::make_unique<AnalyticsListener>(center);
    }
    void TearDown() override
    {
        listener.reset();
        Pulse::resetSharedInstance();
    }

    std::vector<PulseRecord> records() const { return listener->pulse()->records(); }
    std::string anonymousId() const { return listener->pulse()->distinctId(); }
    /// The properties every event carries, with `own` over them.
    DictionaryRef sentWith(const DictionaryRef& own) const
    {
        auto properties = Dictionary::make({ { "User ID", anonymousId() } });
        if (own)
            properties->addEntries(*own);
        return properties;
    }

    NotificationCenter center;
    std::unique_ptr<AnalyticsListener> listener;
};

TEST_F(AnalyticsListenerTest, SetUpUsesTheSharedPulseWithTheAnonymousIdentityAsUserID)
{
    EXPECT_EQ(&listener->broadcaster(), &center);
    EXPECT_EQ(listener->pulse(), Pulse::sharedInstance());
    EXPECT_EQ(listener->pulse()->token(), AnalyticsListener::kPulseToken);
    EXPECT_TRUE(platform::foundation::Regex("[0-9a-f]{32}").matchesEntirely(AnalyticsListener::kPulseToken));
    EXPECT_FALSE(anonymousId().empty());
    EXPECT_TRUE(listener->pulse()->superProperties()->equals(*sentWith(nullptr)));
    EXPECT_TRUE(records().empty());
}

TEST_F(AnalyticsListenerTest, EachNotificationBecomesItsEventWithItsProperties)
{
    struct Case {
        const char* name;
        DictionaryRef userInfo;
        const char* event;
    };
    const Case cases[] = {
        { AnalyticsEvents::analyticsOpenedApp, nullptr, "Opened App" },
        { AnalyticsEvents::analyticsClosedApp, nullptr, "Closed App" },
        { AnalyticsEvents::analyticsSignedUp, Dictionary::make({ { "username", "jo@example.co.uk" } }),
            "Signed Up" },
        { AnalyticsEvents::analyticsOpenedCreateInvoiceScreen, nullptr, "Opened Create Invoice Screen" },
        { AnalyticsEvents::analyticsSentInvoice, nullptr, "Sent Invoice" },
        { AnalyticsEvents::analyticsCancelledCreateInvoice, Dictionary::make({ { "lines", 2 } }),
            "Cancelled Create Invoice" },
    };
    for (const auto& [name, userInfo, event] : cases) {
        SCOPED_TRACE(name);
        auto before = records().size();
        center.post(name, nullptr, userInfo);

        auto after = records();
        ASSERT_GT(after.size(), before);
        const auto& tracked = after[before];
        EXPECT_EQ(tracked.kind, PulseRecord::Kind::Track);
        EXPECT_EQ(tracked.event, event);
        EXPECT_EQ(tracked.distinctId, anonymousId());
        EXPECT_TRUE(tracked.properties->equals(*sentWith(userInfo)));
        auto trackedNow = std::count_if(after.begin() + before, after.end(),
            [](const PulseRecord& record) { return record.kind == PulseRecord::Kind::Track; });
        EXPECT_EQ(trackedNow, 1);
    }
}

TEST_F(AnalyticsListenerTest, SignUpFillsTheProfileButKeepsTheAnonymousIdentity)
{
    platform::foundation::mainQueue().advance(90);
    center.post(AnalyticsEvents::analyticsSignedUp, nullptr,
        Dictionary::make({ { "username", "jo@example.co.uk" } }));

    auto recorded = records();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[0].event, "Signed Up");
    EXPECT_EQ(recorded[1].kind, PulseRecord::Kind::PeopleSet);
    EXPECT_EQ(recorded[1].distinctId, anonymousId());
    EXPECT_TRUE(recorded[1].properties->equals(*Dictionary::make(
        { { "$email", "jo@example.co.uk" }, { "$created", platform::foundation::now() } })));
}

TEST_F(AnalyticsListenerTest, SignUpWithoutAUserNameTracksOnly)
{
    center.post(AnalyticsEvents::analyticsSignedUp);
    center.post(AnalyticsEvents::analyticsSignedUp, nullptr, Dictionary::make({ { "username", 7 } }));
    auto recorded = records();
    ASSERT_EQ(recorded.size(), 2u);
    for (const auto& record : recorded)
        EXPECT_EQ(record.kind, PulseRecord::Kind::Track);
}

TEST_F(AnalyticsListenerTest, OtherNamesChangeNothingAndAnySenderCounts)
{
    for (auto name :
        { InvoiceEventsObjc::sentInvoice, InvoiceEventsObjc::movedInvoice, InvoiceEventsObjc::deletedInvoice,
            InvoiceEventsObjc::removeAllInvoiceListeners, "analyticsopenedapp", "Opened App" })
        center.post(name);
    EXPECT_TRUE(records().empty());

    int sender = 0;
    center.post(AnalyticsEvents::analyticsSentInvoice, &sender);
    EXPECT_EQ(records().size(), 1u);
}

TEST_F(AnalyticsListenerTest, StopsObservingWhenReleased)
{
    auto pulse = listener->pulse();
    listener.reset();
    center.post(AnalyticsEvents::analyticsOpenedApp);
    EXPECT_TRUE(pulse->records().empty());
}

TEST_F(AnalyticsListenerTest, TheSharedListenerObservesTheDefaultCentre)
{
    auto shared = AnalyticsListener::sharedAnalyticsManager();
    EXPECT_EQ(AnalyticsListener::sharedAnalyticsManager(), shared);
    EXPECT_EQ(&shared->broadcaster(), &NotificationCenter::defaultCenter());

    auto before = shared->pulse()->records().size();
    NotificationCenter::defaultCenter().post(AnalyticsEvents::analyticsOpenedApp);
    NotificationCenter::defaultCenter().post(AnalyticsEvents::analyticsClosedApp);
    auto after = shared->pulse()->records();
    ASSERT_EQ(after.size(), before + 2);
    EXPECT_EQ(after[before].event, "Opened App");
    EXPECT_EQ(after[before + 1].event, "Closed App");
}

}
}
