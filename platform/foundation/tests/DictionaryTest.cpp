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
