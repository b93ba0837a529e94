#include "platform/store/ManagedObjectContext.h"

#include "platform/foundation/Files.h"
#include "platform/store/EntityDescription.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectModel.h"
#include "testing/StoreLock.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <limits>
#include <string>
#include <vector>

namespace platform::store {
namespace {

using foundation::Bytes;
using foundation::Date;
using foundation::Value;

std::shared_ptr<const ManagedObjectModel> makeModel(bool withNickname = false)
{
    std::vector<AttributeDescription> attributes { { "name", AttributeType::String },
        { "flag", AttributeType::Boolean }, { "when", AttributeType::Date }, { "data", AttributeType::Blob },
        { "number", AttributeType::Integer } };
    if (withNickname)
        attributes.push_back({ "nickname", AttributeType::String });
    return std::make_shared<const ManagedObjectModel>(
        std::vector<EntityDescription> { EntityDescription("Record", attributes),
            EntityDescription("Other", { { "name", AttributeType::String } }) });
}

FetchRequest all(std::size_t limit = 0)
{
    return FetchRequest { "Record", std::nullopt, limit };
}

FetchRequest where(std::string attribute, Value value, std::size_t limit = 0)
{
    return FetchRequest { "Record", FetchRequest::Equals { std::move(attribute), std::move(value) }, limit };
}

class ManagedObjectContextTest : public ::testing::Test {
protected:
    std::shared_ptr<ManagedObjectContext> open(std::shared_ptr<const ManagedObjectModel> model = makeModel())
    {
        auto opened = ManagedObjectContext::open(m_path, std::move(model));
        EXPECT_TRUE(opened.ok()) << opened.error;
        return opened.value;
    }

    std::shared_ptr<ManagedObject> insert(
        ManagedObjectContext& context, Value name, Value flag = {}, Value number = {})
    {
        auto object = context.insertNewObject("Record");
        object->setValue("name", name);
        object->setValue("flag", flag);
        object->setValue("number", number);
        return object;
    }

    static std::vector<std::string> names(const ManagedObjectContext::Objects& objects)
    {
        std::vector<std::string> result;
        for (const auto& object : objects)
            result.push_back(object->value("name").isNull() ? "<none>" : *object->value("name").string());
        return result;
    }

    std::vector<std::string> fetchedNames(ManagedObjectContext& context, const FetchRequest& request)
    {
        auto fetched = context.fetch(request);
        EXPECT_TRUE(fetched.ok()) << fetched.error;
        auto counted = context.count(request);
        EXPECT_TRUE(counted.ok()) << counted.error;
        EXPECT_EQ(counted.value, fetched.value.size());
        return names(fetched.value);
    }

    ::testing::TemporaryDirectory m_folder;
    std::filesystem::path m_path { m_folder.path() / "records.data" };
};

TEST_F(ManagedObjectContextTest, EveryKindOfValueSurvivesReopening)
{
    const Date when { 1421236800.25 };
    const Bytes data { 0, 1, 127, 255 };
    {
        auto context = open();
        auto full = context->insertNewObject("Record");
        full->setValue("name", "Zoë ✓ \"quoted\"");
        full->setValue("flag", true);
        full->setValue("when", when);
        full->setValue("data", data);
        full->setValue("number", std::numeric_limits<std::int64_t>::max());
        auto sparse = context->insertNewObject("Record");
        sparse->setValue("data", Bytes {});
        sparse->setValue("flag", false);
        ASSERT_TRUE(context->save().ok());
        EXPECT_GT(full->objectId(), 0);
        EXPECT_EQ(full->state(), ManagedObject::State::Saved);
    }

    auto context = open();
    auto fetched = context->fetch(all());
    ASSERT_TRUE(fetched.ok());
    ASSERT_EQ(fetched.value.size(), 2u);
    const auto& full = *fetched.value[0];
    EXPECT_EQ(full.value("name"), Value("Zoë ✓ \"quoted\""));
    EXPECT_EQ(full.value("flag"), Value(true));
    EXPECT_EQ(full.value("when"), Value(when));
    EXPECT_EQ(full.value("data"), Value(data));
    EXPECT_EQ(full.value("number"), Value(std::numeric_limits<std::int64_t>::max()));
    const auto& sparse = *fetched.value[1];
    EXPECT_TRUE(sparse.value("name").isNull());
    EXPECT_TRUE(sparse.value("when").isNull());
    EXPECT_EQ(sparse.value("data"), Value(Bytes {})) << "an empty blob stays an empty blob, not null";
    EXPECT_EQ(sparse.value("flag"), Value(false));
}

TEST_F(ManagedObjectContextTest, ChangesReachTheFileOnlyAtSave)
{
    auto writer = open();
    auto record = insert(*writer, "first");
    EXPECT_TRUE(writer->hasChanges());
    EXPECT_TRUE(fetchedNames(*open(), all()).empty());

    ASSERT_TRUE(writer->save().ok());
    EXPECT_FALSE(writer->hasChanges());
    EXPECT_EQ(fetchedNames(*open(), all()), std::vector<std::string> { "first" });

    record->setValue("name", "renamed");
    EXPECT_EQ(record->state(), ManagedObject::State::Updated);
    EXPECT_EQ(fetchedNames(*open(), all()), std::vector<std::string> { "first" });
    ASSERT_TRUE(writer->save().ok());
    EXPECT_EQ(fetchedNames(*open(), all()), std::vector<std::string> { "renamed" });

    writer->deleteObject(record);
    EXPECT_EQ(fetchedNames(*open(), all()), std::vector<std::string> { "renamed" });
    ASSERT_TRUE(writer->save().ok());
    EXPECT_TRUE(fetchedNames(*open(), all()).empty());
}

TEST_F(ManagedObjectContextTest, FixedPredicatesGiveTheSameAnswerBeforeAndAfterSaving)
{
    struct Case {
        const char* attribute;
        Value value;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases {
        { "name", "alice@example.com", { "alice@example.com" } },
        { "name", "ALICE@EXAMPLE.COM", {} },
        { "name", "alice@example", {} },
        { "flag", 1, { "alice@example.com", "<none>" } },
        { "flag", true, { "alice@example.com", "<none>" } },
        { "flag", false, { "Alice@example.com" } },
        { "number", 7, { "alice@example.com" } },
        { "number", nullptr, { "Alice@example.com", "<none>" } },
        { "name", nullptr, { "<none>" } },
    };
    auto context = open();
    insert(*context, "alice@example.com", true, 7);
    insert(*context, "Alice@example.com", false);
    insert(*context, nullptr, true, nullptr);

    for (bool saved : { false, true }) {
        if (saved) {
            ASSERT_TRUE(context->save().ok());
        }
        for (const auto& test : cases) {
            SCOPED_TRACE(std::string(test.attribute) + (saved ? " (saved)" : " (pending)"));
            EXPECT_EQ(fetchedNames(*context, where(test.attribute, test.value)), test.expected);
        }
    }
}

TEST_F(ManagedObjectContextTest, FetchesSeePendingChangesAndLimitAfterThem)
{
    auto context = open();
    for (auto name : { "a", "b", "c", "d" })
        insert(*context, name, false);
    ASSERT_TRUE(context->save().ok());

    auto stored = context->fetch(all()).value;
    stored[0]->setValue("flag", true);
    stored[2]->setValue("flag", true);
    stored[1]->setValue("flag", true);
    context->deleteObject(stored[1]);
    insert(*context, "e", true);

    EXPECT_EQ(fetchedNames(*context, where("flag", true)), (std::vector<std::string> { "a", "c", "e" }));
    EXPECT_EQ(fetchedNames(*context, where("flag", true, 2)), (std::vector<std::string> { "a", "c" }));
    EXPECT_EQ(fetchedNames(*context, where("flag", false)), std::vector<std::string> { "d" });
    EXPECT_EQ(fetchedNames(*context, all()), (std::vector<std::string> { "a", "c", "d", "e" }));

    ASSERT_TRUE(context->save().ok());
    EXPECT_EQ(fetchedNames(*open(), where("flag", true)), (std::vector<std::string> { "a", "c", "e" }));
}

TEST_F(ManagedObjectContextTest, LimitAndCountOnStoredRecords)
{
    auto context = open();
    for (auto name : { "a", "b", "c", "d", "e" })
        insert(*context, name);
    ASSERT_TRUE(context->save().ok());

    auto reopened = open();
    EXPECT_EQ(fetchedNames(*reopened, all(2)), (std::vector<std::string> { "a", "b" }));
    EXPECT_EQ(reopened->count(all()).value, 5u);
    EXPECT_EQ(reopened->count(where("name", "zz")).value, 0u);
    EXPECT_TRUE(reopened->fetch(where("name", "zz")).value.empty());
}

TEST_F(ManagedObjectContextTest, OneObjectPerRecord)
{
    auto context = open();
    insert(*context, "shared");
    ASSERT_TRUE(context->save().ok());

    auto reopened = open();
    auto first = reopened->fetch(all()).value.at(0);
    auto second = reopened->fetch(where("name", "shared")).value.at(0);
    EXPECT_EQ(first, second);
    first->setValue("number", 3);
    EXPECT_EQ(reopened->fetch(where("number", 3)).value.at(0), second);
}

TEST_F(ManagedObjectContextTest, DeletingAnUnsavedRecordJustDropsIt)
{
    auto context = open();
    auto record = insert(*context, "fleeting");
    context->deleteObject(record);
    context->deleteObject(record);
    EXPECT_FALSE(context->hasChanges());
    EXPECT_EQ(record->state(), ManagedObject::State::Deleted);
    EXPECT_TRUE(context->fetch(all()).value.empty());
    ASSERT_TRUE(context->save().ok());
    EXPECT_EQ(open()->count(all()).value, 0u);
}

TEST_F(ManagedObjectContextTest, AFailedSaveKeepsItsChangesForTheNextOne)
{
    auto context = open();
    insert(*context, "kept");

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(m_path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    auto failed = context->save();
    EXPECT_FALSE(failed.ok());
    EXPECT_NE(failed.error.find("locked"), std::string::npos) << failed.error;
    EXPECT_TRUE(context->hasChanges());
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    ASSERT_TRUE(context->save().ok());
    EXPECT_EQ(fetchedNames(*open(), all()), std::vector<std::string> { "kept" });
}

TEST_F(ManagedObjectContextTest, AFileThatCannotBeOpenedIsReportedNotThrown)
{
    struct Case {
        const char* name;
        std::function<std::filesystem::path()> prepare;
        StoreFault fault;
    };
    const std::vector<Case> cases {
        { "garbage bytes",
            [&] {
                auto path = m_folder.path() / "garbage.data";
                std::string garbage;
                for (int i = 0; i < 300; ++i)
                    garbage += "not a store, only garbage ";
                foundation::Files::writeText(path, garbage);
                return path;
            },
            StoreFault::Damaged },
        { "a damaged store",
            [&] {
                auto context = open();
                for (int i = 0; i < 200; ++i)
                    insert(*context, std::string(100, 'x'));
                EXPECT_TRUE(context->save().ok());
                context.reset();
                auto bytes = *foundation::Files::readBytes(m_path);
                for (std::size_t index = 4096; index < bytes.size(); index += 7)
                    bytes[index] = 0xA5;
                auto path = m_folder.path() / "damaged.data";
                foundation::Files::writeBytes(path, bytes);
                return path;
            },
            StoreFault::Damaged },
        { "a folder", [&] { return m_folder.path(); }, StoreFault::None },
        { "a missing folder", [&] { return m_folder.path() / "missing" / "store.data"; }, StoreFault::None },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto path = test.prepare();
        StoreResult<std::shared_ptr<ManagedObjectContext>> opened;
        EXPECT_NO_THROW(opened = ManagedObjectContext::open(path, makeModel()));
        EXPECT_FALSE(opened.ok());
        EXPECT_EQ(opened.value, nullptr);
        EXPECT_FALSE(opened.error.empty());
        EXPECT_EQ(opened.fault, test.fault) << opened.error;
    }
}

TEST_F(ManagedObjectContextTest, AStoreLockedByAnotherConnectionIsLockedNotDamaged)
{
    {
        auto context = open();
        insert(*context, "kept");
        ASSERT_TRUE(context->save().ok());
    }
    for (const char* lock : { "BEGIN EXCLUSIVE", "BEGIN IMMEDIATE" }) {
        SCOPED_TRACE(lock);
        ::testing::StoreLock other(m_path, lock);
        ASSERT_TRUE(other.isHeld());

        auto opened = ManagedObjectContext::open(m_path, makeModel(true));
        ASSERT_TRUE(opened.ok()) << opened.error;
        auto context = opened.value;
        insert(*context, "while locked");
        auto saved = context->save();
        EXPECT_EQ(saved.fault, StoreFault::Locked) << saved.error;
        auto fetched = context->fetch(all());
        if (std::string(lock) == "BEGIN EXCLUSIVE") {
            EXPECT_EQ(fetched.fault, StoreFault::Locked) << fetched.error;
            EXPECT_EQ(context->count(where("nickname", "x")).fault, StoreFault::Locked);
        } else {
            EXPECT_TRUE(fetched.ok()) << "another connection's pending write leaves the file readable";
        }

        other.release();
        ASSERT_TRUE(context->save().ok()) << "the newer model's column is added once the file is free";
        EXPECT_EQ(fetchedNames(*context, all()), (std::vector<std::string> { "kept", "while locked" }));
        auto first = context->fetch(all()).value.at(0);
        first->setValue("nickname", "K");
        ASSERT_TRUE(context->save().ok());
        context->deleteObject(context->fetch(where("name", "while locked")).value.at(0));
        ASSERT_TRUE(context->save().ok());
    }
    EXPECT_EQ(
        fetchedNames(*open(makeModel(true)), where("nickname", "K")), std::vector<std::string> { "kept" });
}

TEST_F(ManagedObjectContextTest, ANewerModelAddsItsAttributesToAnOlderFile)
{
    {
        auto context = open(makeModel(false));
        insert(*context, "older");
        ASSERT_TRUE(context->save().ok());
    }
    auto context = open(makeModel(true));
    auto older = context->fetch(all()).value.at(0);
    EXPECT_EQ(older->value("name"), Value("older"));
    EXPECT_TRUE(older->value("nickname").isNull());
    older->setValue("nickname", "Old");
    ASSERT_TRUE(context->save().ok());
    EXPECT_EQ(open(makeModel(true))->count(where("nickname", "Old")).value, 1u);
    EXPECT_EQ(fetchedNames(*open(makeModel(false)), all()), std::vector<std::string> { "older" });
}

TEST_F(ManagedObjectContextTest, ProgrammingErrorsThrow)
{
    auto context = open();
    auto record = context->insertNewObject("Record");
    EXPECT_THROW(context->insertNewObject("Missing"), std::invalid_argument);
    EXPECT_THROW(record->value("missing"), std::invalid_argument);
    EXPECT_THROW(record->setValue("flag", "yes"), std::invalid_argument);
    EXPECT_THROW(record->setValue("when", 12), std::invalid_argument);
    EXPECT_THROW(context->fetch(where("missing", 1)), std::invalid_argument);
    EXPECT_THROW(context->fetch(where("number", "seven")), std::invalid_argument);
    auto other = ManagedObjectContext::openInMemory(makeModel()).value;
    EXPECT_THROW(other->deleteObject(record), std::invalid_argument);
    EXPECT_THROW(
        EntityDescription("Twice", { { "a", AttributeType::String }, { "a", AttributeType::Integer } }),
        std::invalid_argument);
    EXPECT_THROW(EntityDescription("Reserved", { { "_pk", AttributeType::Integer } }), std::invalid_argument);
}

TEST_F(ManagedObjectContextTest, AStoreInMemoryWorksWithoutAFile)
{
    auto opened = ManagedObjectContext::openInMemory(makeModel());
    ASSERT_TRUE(opened.ok()) << opened.error;
    auto& context = *opened.value;
    EXPECT_TRUE(context.path().empty());
    insert(context, "memory");
    ASSERT_TRUE(context.save().ok());
    EXPECT_EQ(fetchedNames(context, all()), std::vector<std::string> { "memory" });
    EXPECT_TRUE(context.fetch(FetchRequest { "Other" }).value.empty());
}

}
}
