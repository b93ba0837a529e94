#include "kit/analytics/EMBAnalyticsEvent.h"
#include "kit/analytics/EMBTallyCustomEvent.h"
#include "kit/analytics/EMBTallyPredefinedEvents.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kit {
namespace {

using platform::foundation::DecimalNumber;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

// Captures the kit's log lines for the life of the test.
class EMBTallyEventTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::foundation::Log::setCapture([this](const std::string& line) { m_lines.push_back(line); });
    }
    void TearDown() override { platform::foundation::Log::setCapture({}); }

    std::size_t logged(const std::string& text) const
    {
        return static_cast<std::size_t>(std::ranges::count_if(
            m_lines, [&](const std::string& line) { return line.find(text) != std::string::npos; }));
    }

    static DictionaryRef json(const std::string& text)
    {
        return platform::foundation::parseJson(text).value.dictionary();
    }

    std::vector<std::string> m_lines;
};

TEST_F(EMBTallyEventTest, KeepsAtMostTwentyOneAttributes)
{
    auto attributes = Dictionary::make();
    for (int index = 0; index < 25; ++index)
        attributes->set("key" + std::to_string(100 + index), index);
    EMBTallyCustomEvent event("opened", attributes);
    EXPECT_EQ(event.customAttributes()->size(), 21u);
    EXPECT_EQ(logged("[Ember:Tally] Maximum number of Event attributes exceeded. Ignoring attribute"), 4u);
}

TEST_F(EMBTallyEventTest, CutsLongTextsAndRefusesValuesThatAreNoTextOrNumber)
{
    const std::string longText(150, 'v');
    const std::string longKey(150, 'k');
    // 99 units of "a", then a character of two UTF-16 units across the 100th.
    const std::string emoji = std::string(99, 'a') + "\xF0\x9F\x98\x80";
    auto attributes
        = Dictionary::make({ { "long", longText }, { longKey, "value" }, { "emoji", emoji }, { "flag", true },
            { "ratio", 0.5 }, { "count", 3 }, { "when", platform::foundation::Date { 1421236800 } },
            { "list", platform::foundation::Array::make({ Value(1) }) } });
    EMBTallyCustomEvent event("opened", attributes);

    const auto& kept = event.customAttributes();
    EXPECT_EQ(kept->get("long"), Value(std::string(100, 'v')));
    EXPECT_EQ(kept->get(std::string(100, 'k')), Value("value"));
    EXPECT_EQ(kept->get("emoji"), Value(std::string(99, 'a'))) << "a character is never split";
    EXPECT_EQ(kept->get("flag"), Value(true));
    EXPECT_EQ(kept->get("ratio"), Value(0.5));
    EXPECT_EQ(kept->get("count"), Value(3));
    EXPECT_FALSE(kept->contains("when"));
    EXPECT_FALSE(kept->contains("list"));
    EXPECT_EQ(kept->size(), 6u);
    EXPECT_EQ(logged("Maximum length for an Event attributes exceeded. Truncating to 100 characters."), 3u);
    EXPECT_EQ(
        logged("Event attribute values must be of type NSString or NSNumber. Ignoring entry when:"), 1u);
    EXPECT_EQ(
        logged("Event attribute values must be of type NSString or NSNumber. Ignoring entry list:[1]"), 1u);

    attributes->set("long", "changed");
    EXPECT_EQ(event.customAttributes()->get("long"), Value(std::string(100, 'v'))) << "a copy was kept";
}

TEST_F(EMBTallyEventTest, ACustomEventsPayloadNamesItsTypeAndCarriesBothAttributeSets)
{
    EMBTallyCustomEvent bare(std::string(120, 'n'));
    EXPECT_EQ(bare.key(), "custom");
    EXPECT_TRUE(bare.payloadDictionary()->equals(*Dictionary::make({ { "custom_type", std::string(100, 'n') },
        { "predefined_attributes", Dictionary::make() }, { "custom_attributes", Dictionary::make() } })));

    EMBTallyCustomEvent event("Invoice sent", Dictionary::make({ { "amount", 1480 } }));
    EXPECT_EQ(event.description(), R"(EMBTallyCustomEvent { {"amount":1480} })");

    // Wrapped for the log: low priority, key "custom", the payload dictionary with the identifier.
    EMBAnalyticsEvent wrapped(event, 1421236800000, "E-1");
    EXPECT_EQ(wrapped.priority(), 2u);
    EXPECT_EQ(wrapped.key(), "custom");
    EXPECT_TRUE(json(std::string(wrapped.payload()->begin(), wrapped.payload()->end()))
                    ->equals(*json(R"({"custom_type":"Invoice sent","predefined_attributes":{},)"
                                   R"("custom_attributes":{"amount":1480},"eventId":"E-1"})")));
}

TEST_F(EMBTallyEventTest, PredefinedEventsAddTheirOwnAttributes)
{
    const DictionaryRef custom = Dictionary::make({ { "screen", "home" } });
    struct Case {
        const char* type;
        std::shared_ptr<EMBTallyPredefinedEvent> event;
        const char* attributes;
    };
    const Case cases[] = {
        { "sign_up", std::make_shared<EMBTallySignUpEvent>("email", true, custom),
            R"({"method":"email","success":"true"})" },
        { "login", std::make_shared<EMBTallyLoginEvent>("pin", false, custom),
            R"({"method":"pin","success":"false"})" },
        { "share", std::make_shared<EMBTallyShareEvent>("mail", "Invoice 7", "invoice", "7", custom),
            R"({"content_id":"7","content_name":"Invoice 7","content_type":"invoice","method":"mail"})" },
        { "invite", std::make_shared<EMBTallyInviteEvent>("sms", custom), R"({"method":"sms"})" },
        { "purchase",
            std::make_shared<EMBTallyPurchaseEvent>(
                DecimalNumber::fromString("0.5"), "GBP", true, "Pro", "p-1", "plan", custom),
            R"({"currency":"GBP","item_id":"p-1","item_name":"Pro","item_price":500000,"item_type":"plan",)"
            R"("success":"true"})" },
        { "level_start", std::make_shared<EMBTallyLevelStartEvent>("one", custom),
            R"({"level_name":"one"})" },
        { "level_end", std::make_shared<EMBTallyLevelEndEvent>("one", Value(12.5), false, custom),
            R"({"level_name":"one","score":12.5,"success":"false"})" },
        { "add_to_cart",
            std::make_shared<EMBTallyAddToCartEvent>(
                DecimalNumber::fromString("19.99"), "GBP", "Pro", "plan", "p-1", custom),
            R"({"currency":"GBP","item_id":"p-1","item_name":"Pro","item_price":19990000,"item_type":"plan"})" },
        { "start_checkout",
            std::make_shared<EMBTallyStartCheckoutEvent>(
                DecimalNumber::fromString("3"), "GBP", Value(2.9), custom),
            R"({"currency":"GBP","item_count":2,"total_price":3000000})" },
        { "rating", std::make_shared<EMBTallyRateEvent>(Value(4.7), "Invoice 7", "invoice", "7", custom),
            R"({"content_id":"7","content_name":"Invoice 7","content_type":"invoice","rating":4})" },
        { "content_view", std::make_shared<EMBTallyContentViewEvent>("Invoice 7", "invoice", "7", custom),
            R"({"content_id":"7","content_name":"Invoice 7","content_type":"invoice"})" },
        { "search", std::make_shared<EMBTallySearchEvent>("acme", custom), R"({"query":"acme"})" },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.type);
        EXPECT_EQ(test.event->key(), "predefined");
        auto payload = test.event->payloadDictionary();
        EXPECT_EQ(payload->get("predefined_type"), Value(test.type));
        EXPECT_EQ(platform::foundation::toJson(payload->get("predefined_attributes")), test.attributes);
        EXPECT_TRUE(payload->get("custom_attributes").dictionary()->equals(*custom));
        EXPECT_EQ(payload->size(), 3u);
    }
    EXPECT_EQ(cases[3].event->description(),
        R"(EMBTallyInviteEvent { {"method":"sms"} customAttributes={"screen":"home"}})");
}

TEST_F(EMBTallyEventTest, ValuesNotGivenAreLeftOut)
{
    EMBTallyPurchaseEvent purchase(
        std::nullopt, std::nullopt, std::nullopt, "Pro", std::nullopt, std::nullopt);
    EXPECT_EQ(platform::foundation::toJson(purchase.predefinedAttributes()), R"({"item_name":"Pro"})");
    EXPECT_TRUE(purchase.customAttributes()->empty());

    EMBTallyRateEvent rating(Value(), std::nullopt, std::nullopt, std::nullopt);
    EXPECT_TRUE(rating.predefinedAttributes()->empty());

    // A score that is no number is not added.
    EMBTallyLevelEndEvent level(std::nullopt, Value("high"), std::nullopt);
    EXPECT_TRUE(level.predefinedAttributes()->empty());
}

TEST_F(EMBTallyEventTest, SerialisersGiveTheWireForms)
{
    EXPECT_EQ(EMBTallyPredefinedEvent::serializeSuccess(true), Value("true"));
    EXPECT_EQ(EMBTallyPredefinedEvent::serializeSuccess(false), Value("false"));
    EXPECT_TRUE(EMBTallyPredefinedEvent::serializeSuccess(std::nullopt).isNull());
    EXPECT_EQ(
        EMBTallyPredefinedEvent::serializePriceToMicros(DecimalNumber::fromString("0.1")), Value(100000));
    EXPECT_TRUE(EMBTallyPredefinedEvent::serializePriceToMicros(std::nullopt).isNull());
    EXPECT_EQ(EMBTallyPredefinedEvent::serializeNSNumberAsInteger(Value(-4.7)), Value(-4));
    EXPECT_EQ(EMBTallyPredefinedEvent::serializeNSNumberAsInteger(Value(7)), Value(7));
    EXPECT_TRUE(EMBTallyPredefinedEvent::serializeNSNumberAsInteger(Value()).isNull());
}

}
}
