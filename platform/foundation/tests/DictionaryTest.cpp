#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Array.h"

#include <gtest/gtest.h>

using namespace platform::foundation;

namespace {

struct Repository {
    std::string name;
};
struct Session { };

const AttachmentKey<Repository> kRepositoryKey { "repository" };
const AttachmentKey<Session> kSessionKey { "session" };

}

TEST(Dictionary, TwoHoldersSeeOneChange)
{
    auto business = Dictionary::make({ { "name", "Acme" } });
    Value screenOne = business;
    Value screenTwo = business;
    screenOne.dictionary()->set("name", "Acme Ltd");
    EXPECT_EQ(*screenTwo.dictionary()->get("name").string(), "Acme Ltd");
}

TEST(Dictionary, StoringNullRemovesTheKey)
{
    auto record = Dictionary::make({ { "a", 1 }, { "b", nullptr }, { "c", "x" } });
    EXPECT_EQ(record->size(), 2u);
    EXPECT_FALSE(record->contains("b"));

    record->set("a", nullptr);
    record->remove("c");
    record->set("never there", nullptr);
    EXPECT_TRUE(record->empty());
    EXPECT_TRUE(record->get("a").isNull());

    record->set("a", false);
    EXPECT_TRUE(record->contains("a"));
    EXPECT_EQ(record->get("a"), Value(false));
}

// However the entries arrive (made at once, in any order, with repeats, or set one by one), each key is held
// once, in key order, with its last value, and a null last value leaves the key out.
TEST(Dictionary, HoldsEachKeyOnceInKeyOrderWithItsLastValue)
{
    struct Case {
        const char* name;
        Dictionary::Entries entries;
        std::vector<std::pair<std::string, Value>> expected;
    };
    const std::vector<Case> cases {
        { "in order", { { "a", 1 }, { "b", 2 } }, { { "a", 1 }, { "b", 2 } } },
        { "reversed", { { "to", 3 }, { "sent", 2 }, { "id", 1 } },
            { { "id", 1 }, { "sent", 2 }, { "to", 3 } } },
        { "repeated", { { "b", 1 }, { "a", 2 }, { "b", 3 }, { "b", 4 } }, { { "a", 2 }, { "b", 4 } } },
        { "removed by a last null", { { "a", 1 }, { "b", 2 }, { "a", nullptr } }, { { "b", 2 } } },
        { "set again after a null", { { "a", nullptr }, { "a", 5 } }, { { "a", 5 } } },
        { "prefixes", { { "reference_components", 1 }, { "reference", 2 }, { "", 3 } },
            { { "", 3 }, { "reference", 2 }, { "reference_components", 1 } } },
        { "none", {}, {} },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto made = Dictionary::make(testCase.entries);
        auto set = Dictionary::make();
        for (const auto& [key, value] : testCase.entries)
            set->set(key, value);
        for (const auto& record : { made, set }) {
            EXPECT_EQ(record->entries(), testCase.expected);
            for (const auto& [key, value] : testCase.expected) {
                ASSERT_NE(record->find(key), nullptr) << key;
                EXPECT_EQ(*record->find(key), value);
            }
            EXPECT_EQ(record->find("absent"), nullptr);
        }
    }
}

TEST(Dictionary, ShallowCopySharesNestedContainersDeepCopyDoesNot)
{
    auto address = Dictionary::make({ { "city", "Leeds" } });
    auto original = Dictionary::make({ { "address", address }, { "items", Array::make({ 1 }) } });
    auto shallow = original->shallowCopy();
    auto deep = original->deepCopy();

    address->set("city", "York");
    original->get("items").array()->append(2);
    EXPECT_EQ(*shallow->get("address").dictionary()->get("city").string(), "York");
    EXPECT_EQ(shallow->get("items").array()->size(), 2u);
    EXPECT_EQ(*deep->get("address").dictionary()->get("city").string(), "Leeds");
    EXPECT_EQ(deep->get("items").array()->size(), 1u);

    shallow->set("note", "copy only");
    EXPECT_FALSE(original->contains("note"));
    EXPECT_TRUE(original->equals(*original->deepCopy()));
}

TEST(Dictionary, EqualityIsDeepAndKindSensitive)
{
    auto left = Dictionary::make({ { "net", 1480 }, { "nested", Dictionary::make({ { "x", true } }) } });
    auto right = Dictionary::make({ { "net", 1480 }, { "nested", Dictionary::make({ { "x", true } }) } });
    EXPECT_TRUE(left->equals(*right));

    right->set("net", 1480.0);
    EXPECT_FALSE(left->equals(*right));
    right->set("net", 1480);
    right->get("nested").dictionary()->set("x", 1);
    EXPECT_FALSE(left->equals(*right));
}

TEST(Dictionary, AddEntriesOverwritesAndKeepsTheRest)
{
    auto record = Dictionary::make({ { "a", 1 }, { "b", 2 } });
    record->addEntries(*Dictionary::make({ { "b", 20 }, { "c", 30 } }));
    EXPECT_TRUE(record->equals(*Dictionary::make({ { "a", 1 }, { "b", 20 }, { "c", 30 } })));
    record->addEntries(*record);
    EXPECT_EQ(record->size(), 3u);
}

TEST(Dictionary, AttachmentsAreTypedByKeyAndNotCopied)
{
    auto record = Dictionary::make();
    EXPECT_EQ(record->attachment(kRepositoryKey), nullptr);

    auto repository = std::make_shared<Repository>(Repository { "invoices" });
    record->setAttachment(kRepositoryKey, repository);
    record->setAttachment(kSessionKey, std::make_shared<Session>());
    EXPECT_EQ(record->attachment(kRepositoryKey), repository);
    EXPECT_NE(record->attachment(kSessionKey), nullptr);
    EXPECT_EQ(record->shallowCopy()->attachment(kRepositoryKey), nullptr);
    EXPECT_EQ(record->deepCopy()->attachment(kRepositoryKey), nullptr);

    record->setAttachment(kRepositoryKey, std::shared_ptr<Repository> {});
    EXPECT_EQ(record->attachment(kRepositoryKey), nullptr);
    EXPECT_TRUE(record->empty());
}
