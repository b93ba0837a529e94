#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

#include <functional>

using namespace platform::foundation;

namespace {

struct Heard {
    std::string key;
    Change::Kind kind;
    std::vector<std::size_t> indexes;
    Value valueThen;
};

// Records what it hears, with the key's value at that moment, and runs an
// optional reaction afterwards.
class RecordingObserver : public Observer {
public:
    void observeValue(Dictionary& object, const std::string& key, const Change& change) override
    {
        heard.push_back(Heard { key, change.kind, change.indexes, object.get(key).deepCopy() });
        if (reaction)
            reaction(object);
    }

    std::vector<Heard> heard;
    std::function<void(Dictionary&)> reaction;
};

class Observation : public testing::Test {
protected:
    DictionaryRef invoice = Dictionary::make({ { "invoices", Array::make({ "a", "b", "c" }) } });
    std::shared_ptr<RecordingObserver> first = std::make_shared<RecordingObserver>();
    std::shared_ptr<RecordingObserver> second = std::make_shared<RecordingObserver>();
};

}

TEST_F(Observation, SettingTellsTheKeysObserversAfterStoring)
{
    invoice->addObserver(first, "reference");
    invoice->addObserver(second, "note");

    invoice->set("reference", "INV-001");
    invoice->set("other", 1);
    invoice->remove("reference");

    ASSERT_EQ(first->heard.size(), 2u);
    EXPECT_EQ(first->heard[0].key, "reference");
    EXPECT_EQ(first->heard[0].kind, Change::Kind::Setting);
    EXPECT_TRUE(first->heard[0].indexes.empty());
    EXPECT_EQ(first->heard[0].valueThen, Value("INV-001"));
    EXPECT_TRUE(first->heard[1].valueThen.isNull());
    EXPECT_TRUE(second->heard.empty());
}

TEST_F(Observation, AnnouncesInPlaceChangesWithTheirIndexes)
{
    invoice->addObserver(first, "invoices");
    invoice->addObserver(first, "netAmount");
    auto invoices = invoice->get("invoices").array();

    invoices->insert(0, "new");
    invoice->announce("invoices", Change { Change::Kind::Insertion, { 0 } });
    invoices->removeAt(3);
    invoices->removeAt(1);
    invoice->announce("invoices", Change { Change::Kind::Removal, { 1, 3 } });
    invoice->announce("netAmount", Change {});

    ASSERT_EQ(first->heard.size(), 3u);
    EXPECT_EQ(first->heard[0].kind, Change::Kind::Insertion);
    EXPECT_EQ(first->heard[0].indexes, std::vector<std::size_t> { 0 });
    EXPECT_EQ(first->heard[0].valueThen.array()->size(), 4u);
    EXPECT_EQ(first->heard[1].kind, Change::Kind::Removal);
    EXPECT_EQ(first->heard[1].indexes, (std::vector<std::size_t> { 1, 3 }));
    EXPECT_EQ(first->heard[2].key, "netAmount");
    EXPECT_EQ(first->heard[2].kind, Change::Kind::Setting);
    EXPECT_FALSE(invoice->contains("netAmount"));
}

TEST_F(Observation, AddingTwiceRegistersOnceAndRemovalIsHarmless)
{
    invoice->addObserver(first, "reference");
    invoice->addObserver(first, "reference");
    invoice->addObserver(nullptr, "reference");
    invoice->removeObserver(second.get(), "reference");
    invoice->removeObserver(first.get(), "unobserved");
    invoice->set("reference", "1");
    EXPECT_EQ(first->heard.size(), 1u);

    invoice->removeObserver(first.get(), "reference");
    invoice->removeObserver(first.get(), "reference");
    invoice->set("reference", "2");
    EXPECT_EQ(first->heard.size(), 1u);
}

TEST_F(Observation, ObserversAreHeldWeaklyAndLapseWhenTheyGoAway)
{
    std::weak_ptr<RecordingObserver> watch = first;
    invoice->addObserver(first, "reference");
    invoice->addObserver(second, "reference");
    first.reset();
    EXPECT_TRUE(watch.expired());

    invoice->set("reference", "1");
    EXPECT_EQ(second->heard.size(), 1u);

    // A new observer at a lapsed one's address is a new registration.
    auto replacement = std::make_shared<RecordingObserver>();
    invoice->addObserver(replacement, "reference");
    invoice->set("reference", "2");
    EXPECT_EQ(replacement->heard.size(), 1u);
}

TEST_F(Observation, ObserversMayRemoveThemselvesOrOthersWhileBeingTold)
{
    auto third = std::make_shared<RecordingObserver>();
    first->reaction = [&](Dictionary& object) {
        object.removeObserver(first.get(), "reference");
        object.removeObserver(second.get(), "reference");
    };
    invoice->addObserver(first, "reference");
    invoice->addObserver(second, "reference");
    invoice->addObserver(third, "reference");

    invoice->set("reference", "1");
    invoice->set("reference", "2");
    EXPECT_EQ(first->heard.size(), 1u);
    EXPECT_TRUE(second->heard.empty());
    EXPECT_EQ(third->heard.size(), 2u);
}

TEST_F(Observation, AnObserverMayReleaseItselfOrTheRecordWhileBeingTold)
{
    auto* firstObserver = first.get();
    firstObserver->reaction = [&](Dictionary&) {
        first.reset();
        invoice.reset();
    };
    auto record = invoice;
    record->addObserver(first, "reference");
    record->addObserver(second, "reference");
    std::weak_ptr<Dictionary> watch = record;
    record->set("reference", "1");
    EXPECT_EQ(second->heard.size(), 1u);

    record.reset();
    EXPECT_TRUE(watch.expired());
}

TEST_F(Observation, SettingTheObservedKeyFromAnObserverDoesNotRecurse)
{
    // Rounds the amount down to whole pence; every observer hears each value in turn.
    int depth = 0;
    int deepest = 0;
    first->reaction = [&](Dictionary& object) {
        ++depth;
        deepest = std::max(deepest, depth);
        object.set("amount", static_cast<std::int64_t>(object.get("amount").doubleValue()));
        --depth;
    };
    invoice->addObserver(first, "amount");
    invoice->addObserver(second, "amount");

    invoice->set("amount", 399.6);
    EXPECT_EQ(invoice->get("amount"), Value(399));
    EXPECT_EQ(deepest, 1);
    ASSERT_EQ(first->heard.size(), 2u);
    ASSERT_EQ(second->heard.size(), 2u);
    EXPECT_EQ(second->heard[1].valueThen, Value(399));

    auto third = std::make_shared<RecordingObserver>();
    third->reaction = [&](Dictionary& object) { object.addObserver(third, "amount"); };
    invoice->addObserver(third, "other");
    invoice->set("other", true);
    invoice->set("amount", 5);
    EXPECT_EQ(third->heard.size(), 2u);
}

TEST_F(Observation, CopiesDoNotCarryObservers)
{
    invoice->addObserver(first, "reference");
    invoice->shallowCopy()->set("reference", "1");
    invoice->deepCopy()->set("reference", "1");
    EXPECT_TRUE(first->heard.empty());
}
