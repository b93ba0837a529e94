#include "platform/outside/Pulse.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/MainQueue.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <sstream>

namespace platform::outside::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::parseJson;

class PulseTest : public ::testing::Test {
protected:
    void SetUp() override { Pulse::resetSharedInstance(); }
    void TearDown() override
    {
        Pulse::resetSharedInstance();
        Pulse::setRecordFile({});
    }
};

TEST_F(PulseTest, SharedInstanceIsKeptPerToken)
{
    EXPECT_EQ(Pulse::sharedInstance(), nullptr);
    auto pulse = Pulse::sharedInstanceWithToken("0123456789abcdef0123456789abcdef");
    EXPECT_EQ(Pulse::sharedInstance(), pulse);
    EXPECT_EQ(Pulse::sharedInstanceWithToken("0123456789abcdef0123456789abcdef"), pulse);
    auto other = Pulse::sharedInstanceWithToken("fedcba9876543210fedcba9876543210");
    EXPECT_NE(other, pulse);
    EXPECT_EQ(Pulse::sharedInstance(), other);
    EXPECT_NE(other->distinctId(), pulse->distinctId());
    EXPECT_EQ(pulse->distinctId().size(), 36u);
}

TEST_F(PulseTest, EventsCarryTheSuperPropertiesUnderTheirOwn)
{
    Pulse pulse("token");
    pulse.registerSuperProperties(Dictionary::make({ { "User ID", "anon" }, { "plan", "free" } }));
    pulse.track("Opened App");
    auto own = Dictionary::make({ { "plan", "paid" }, { "username", "a@b.co" } });
    pulse.track("Signed Up", own);
    own->set("username", "changed later");
    pulse.identify("someone");
    pulse.track("Closed App");

    auto records = pulse.records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].event, "Opened App");
    EXPECT_TRUE(
        records[0].properties->equals(*Dictionary::make({ { "User ID", "anon" }, { "plan", "free" } })));
    EXPECT_TRUE(records[1].properties->equals(
        *Dictionary::make({ { "User ID", "anon" }, { "plan", "paid" }, { "username", "a@b.co" } })));
    EXPECT_EQ(records[1].distinctId, pulse.records()[0].distinctId);
    EXPECT_EQ(records[2].distinctId, "someone");
    for (const auto& record : records) {
        EXPECT_EQ(record.kind, PulseRecord::Kind::Track);
        EXPECT_EQ(record.token, "token");
    }
}

TEST_F(PulseTest, PeopleSetRecordsTheProfileOfTheCurrentIdentity)
{
    Pulse pulse("token");
    pulse.registerSuperProperties(Dictionary::make({ { "User ID", "anon" } }));
    platform::foundation::mainQueue().advance(5);
    pulse.people().set(Dictionary::make({ { "$email", "a@b.co" } }));

    auto records = pulse.records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, PulseRecord::Kind::PeopleSet);
    EXPECT_EQ(records[0].distinctId, pulse.distinctId());
    EXPECT_TRUE(records[0].properties->equals(*Dictionary::make({ { "$email", "a@b.co" } })));
    EXPECT_EQ(records[0].time, platform::foundation::now());
}

TEST_F(PulseTest, RecordsAreAppendedToTheRecordFileAsJsonLines)
{
    ::testing::TemporaryDirectory folder;
    auto file = folder.path() / "pulse.jsonl";
    Pulse pulse("token");
    pulse.track("Before the file");
    Pulse::setRecordFile(file);
    pulse.track("Opened App", Dictionary::make({ { "count", 2 } }));
    pulse.people().set(Dictionary::make({ { "$email", "a@b.co" } }));

    auto text = platform::foundation::Files::readText(file);
    ASSERT_TRUE(text);
    std::istringstream lines(*text);
    std::string line;
    std::vector<platform::foundation::DictionaryRef> objects;
    while (std::getline(lines, line)) {
        auto parsed = parseJson(line);
        ASSERT_TRUE(parsed.ok()) << line;
        objects.push_back(parsed.value.dictionary());
    }
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]->get("kind").stringValue(), "track");
    EXPECT_EQ(objects[0]->get("event").stringValue(), "Opened App");
    EXPECT_EQ(objects[0]->get("token").stringValue(), "token");
    EXPECT_EQ(objects[0]->get("distinct_id").stringValue(), pulse.distinctId());
    EXPECT_EQ(objects[0]->get("properties").dictionary()->get("count"), platform::foundation::Value(2));
    EXPECT_EQ(objects[0]->get("time").doubleValue(), platform::foundation::now().secondsSince1970);
    EXPECT_EQ(objects[1]->get("kind").stringValue(), "people_set");
    EXPECT_FALSE(objects[1]->contains("event"));
}

}
}
