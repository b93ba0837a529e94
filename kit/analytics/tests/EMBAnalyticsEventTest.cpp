#include "kit/analytics/EMBAnalyticsEvent.h"
#include "kit/analytics/EMBAnalyticsApplicationLifecycleEvent.h"
#include "kit/analytics/EMBAnalyticsIdentifierGenerator.h"
#include "kit/analytics/EMBAnalyticsMetadataEvent.h"
#include "kit/analytics/EMBAnalyticsTimestampGenerator.h"
#include "kit/analytics/EMBAnalyticsViewControllerEvent.h"
#include "kit/analytics/EMBEventLogEvent.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Application.h"
#include "platform/ui/ViewController.h"

#include <gtest/gtest.h>

#include <set>

namespace kit {
namespace {

using platform::foundation::Bytes;
using platform::foundation::Dictionary;
using platform::foundation::Value;
using platform::ui::Application;

std::string text(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

Bytes bytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

// The payload of an analytics event, read back as JSON.
platform::foundation::DictionaryRef payloadOf(const EMBEventLogEvent& event)
{
    return platform::foundation::parseJson(text(*event.payload())).value.dictionary();
}

TEST(EMBEventLogEventTest, WritesOneLinePerEventWithALengthOnlyBeforeAPayload)
{
    struct Case {
        const char* name;
        EMBEventLogEvent event;
        std::string line;
    };
    const Case cases[] = {
        { "no payload", EMBEventLogEvent(1, 1421236800123, "app_launched"), "1421236800123\tapp_launched\n" },
        { "an empty payload", EMBEventLogEvent(0, 7, "k", Bytes {}), "7\tk\t0\t\n" },
        { "tabs and line feeds inside the payload stay as they are",
            EMBEventLogEvent(2, 7, "k", bytes("a\tb\nc")), "7\tk\t5\ta\tb\nc\n" },
        // "é" is one character of two bytes: the length counts bytes.
        { "a two-byte character", EMBEventLogEvent(2, 7, "k", bytes("{\"v\":\"\xC3\xA9\"}")),
            "7\tk\t10\t{\"v\":\"\xC3\xA9\"}\n" },
        { "the largest timestamp", EMBEventLogEvent(0, UINT64_MAX, "k"), "18446744073709551615\tk\n" },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(text(test.event.eventData()), test.line);
    }
}

TEST(EMBEventLogEventTest, EqualsByItsFourFieldsAndHashesAlike)
{
    const EMBEventLogEvent event(1, 10, "k", bytes("p"));
    const EMBEventLogEvent others[] = {
        EMBEventLogEvent(0, 10, "k", bytes("p")),
        EMBEventLogEvent(1, 11, "k", bytes("p")),
        EMBEventLogEvent(1, 10, "j", bytes("p")),
        EMBEventLogEvent(1, 10, "k", bytes("q")),
        EMBEventLogEvent(1, 10, "k"),
    };
    for (const auto& other : others) {
        SCOPED_TRACE(other.description());
        EXPECT_FALSE(event == other);
    }
    EXPECT_TRUE(event == EMBEventLogEvent(1, 10, "k", bytes("p")));
    EXPECT_EQ(event.hash(), EMBEventLogEvent(1, 10, "k", bytes("p")).hash());
    EXPECT_TRUE(EMBEventLogEvent(1, 10, "k") == EMBEventLogEvent(1, 10, "k"));

    // An analytics event equals the plain event of the same line.
    EMBAnalyticsEvent analytics(2, 10, "custom", "ID");
    EXPECT_TRUE(analytics == EMBEventLogEvent(2, 10, "custom", bytes(R"({"eventId":"ID"})")));
}

TEST(EMBAnalyticsEventTest, ItsPayloadIsTheValuesWithTheIdentifierAsCompactJSON)
{
    auto values = Dictionary::make({ { "view_controller_class", "HomeViewController" }, { "count", 3 } });
    EMBAnalyticsEvent event(2, 1421236800000, "custom", "E-1", values);
    values->set("count", 4);

    EXPECT_EQ(text(*event.payload()),
        R"({"count":3,"eventId":"E-1","view_controller_class":"HomeViewController"})");
    EXPECT_EQ(event.eventIdentifier(), "E-1");
    EXPECT_FALSE(event.stringPayloadValueDict()->contains("eventId"));
    EXPECT_EQ(event.stringPayloadValueDict()->get("count"), Value(3)) << "the values were copied in";
    EXPECT_EQ(event.description(),
        R"(EMBAnalyticsEvent {id=E-1, key=custom, stringPayloadValueDict={"count":3,"view_controller_class":"HomeViewController"}})");

    EMBAnalyticsEvent bare(1, 5, "app_launched", "E-2");
    EXPECT_EQ(text(bare.eventData()), "5\tapp_launched\t17\t{\"eventId\":\"E-2\"}\n");
    EXPECT_TRUE(bare.stringPayloadValueDict()->empty());
}

TEST(EMBAnalyticsApplicationLifecycleEventTest, NotificationsBecomeTheirEventsAtTheirPriorities)
{
    struct Case {
        const char* notification;
        bool highPriorityOnBackground;
        const char* key;
        std::uint64_t priority;
    };
    const Case cases[] = {
        { Application::willTerminateNotification, false, "app_terminated", 1 },
        { Application::didReceiveMemoryWarningNotification, false, "app_memory_warning", 1 },
        { Application::didEnterBackgroundNotification, true, "app_entered_background", 1 },
        { Application::willEnterForegroundNotification, true, "app_entered_foreground", 1 },
        { Application::willResignActiveNotification, false, "app_became_inactive", 1 },
        { Application::willResignActiveNotification, true, "app_became_inactive", 0 },
        { Application::didBecomeActiveNotification, false, "app_became_active", 0 },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.notification) + (test.highPriorityOnBackground ? " (flush)" : ""));
        auto event = EMBAnalyticsApplicationLifecycleEvent::eventWithApplicationNotificationName(
            test.notification, 42, "ID", test.highPriorityOnBackground);
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(event->key(), test.key);
        EXPECT_EQ(event->priority(), test.priority);
        EXPECT_EQ(event->timestamp(), 42u);
        EXPECT_TRUE(payloadOf(*event)->equals(*Dictionary::make({ { "eventId", "ID" } })));
    }
    EXPECT_EQ(EMBAnalyticsApplicationLifecycleEvent::eventWithApplicationNotificationName(
                  Application::didFinishLaunchingNotification, 42, "ID", true),
        nullptr);
    EXPECT_EQ(EMBAnalyticsApplicationLifecycleEvent::eventWithApplicationNotificationName("", 42, "ID", true),
        nullptr);

    auto installed = EMBAnalyticsApplicationLifecycleEvent::applicationInstalledEvent(1, "A");
    auto launched = EMBAnalyticsApplicationLifecycleEvent::applicationLaunchedEvent(2, "B");
    auto crashed = EMBAnalyticsApplicationLifecycleEvent::applicationCrashedEvent(3, "C");
    EXPECT_EQ(text(installed->eventData()), "1\tapp_installed\t15\t{\"eventId\":\"A\"}\n");
    EXPECT_EQ(installed->priority(), 0u);
    EXPECT_EQ(launched->key(), "app_launched");
    EXPECT_EQ(launched->priority(), 1u);
    EXPECT_EQ(crashed->key(), "app_crashed");
    EXPECT_EQ(crashed->priority(), 1u);
    EXPECT_EQ(crashed->description(),
        "EMBAnalyticsApplicationLifecycleEvent {id=C, key=app_crashed, stringPayloadValueDict={}}");
}

// A screen whose class name a test chooses.
class NamedScreen : public platform::ui::ViewController {
public:
    explicit NamedScreen(std::string name)
        : m_name(std::move(name))
    {
    }
    std::string className() const override { return m_name; }

private:
    std::string m_name;
};

TEST(EMBAnalyticsViewControllerEventTest, NamesTheScreensClassAndTitle)
{
    NamedScreen titled("InvoiceViewController");
    titled.setTitle("Invoice");
    auto appeared = EMBAnalyticsViewControllerEvent::appearedEventForViewController(titled, 9, "ID");
    ASSERT_NE(appeared, nullptr);
    EXPECT_EQ(appeared->key(), "view_controller_appeared");
    EXPECT_EQ(appeared->priority(), 2u);
    EXPECT_TRUE(payloadOf(*appeared)->equals(*Dictionary::make({ { "eventId", "ID" },
        { "view_controller_class", "InvoiceViewController" }, { "view_controller_title", "Invoice" } })));

    NamedScreen untitled("HomeViewController");
    auto disappeared = EMBAnalyticsViewControllerEvent::disappearedEventForViewController(untitled, 9, "ID");
    ASSERT_NE(disappeared, nullptr);
    EXPECT_EQ(disappeared->key(), "view_controller_disappeared");
    EXPECT_EQ(disappeared->stringPayloadValueDict()->get("view_controller_title"), Value(""));

    NamedScreen nameless("");
    EXPECT_EQ(EMBAnalyticsViewControllerEvent::appearedEventForViewController(nameless, 9, "ID"), nullptr);
}

TEST(EMBAnalyticsMetadataEventTest, CarriesTheMetadataJSONAsItStands)
{
    const std::string metadata = R"({"session_id":"abc","platform":"iOS"})";
    EMBAnalyticsMetadataEvent event(1, 1421236800000, bytes(metadata));
    EXPECT_EQ(event.key(), "metadata");
    EXPECT_EQ(text(event.metadataJSONData()), metadata);
    EXPECT_EQ(text(event.eventData()), "1421236800000\tmetadata\t37\t" + metadata + "\n");
}

TEST(EMBAnalyticsGeneratorTest, TimestampsAreWholeMillisecondsOfTheClockAndIdentifiersAreNew)
{
    auto& clock = platform::foundation::mainQueue().clock();
    EMBAnalyticsTimestampGenerator timestamps;
    clock.setNow(platform::foundation::Date { 1421236800.9996 });
    EXPECT_EQ(timestamps.generateAnalyticsTimestamp(), 1421236800999u);
    clock.setNow(platform::foundation::Date { -5 });
    EXPECT_EQ(timestamps.generateAnalyticsTimestamp(), 0u);

    EMBAnalyticsIdentifierGenerator identifiers;
    std::set<std::string> made;
    for (int index = 0; index < 10; ++index) {
        made.insert(identifiers.generateEventIdentifier());
        made.insert(identifiers.generateSessionFragmentIdentifier());
    }
    EXPECT_EQ(made.size(), 20u);
    EXPECT_EQ(made.begin()->size(), 36u);
}

}
}
