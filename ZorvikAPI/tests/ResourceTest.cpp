#include "ZorvikAPI/models/Resource.h"
#include "ZorvikAPI/repositories/Repository.h"
#include "ZorvikAPI/tests/BackendFixture.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Array;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;
using ::testing::ServerResponse;

class ResourceTest : public BackendTest {
protected:
    /// A record {"id": 3, "name": "Ada Ltd", "town": "Leeds"} from the collection /api/businesses.
    Resource business()
    {
        Resource record(Dictionary::make({ { "id", 3 }, { "name", "Ada Ltd" }, { "town", "Leeds" } }));
        record.setRepository(repositoryAt("/api/businesses"));
        return record;
    }
};

TEST_F(ResourceTest, UpdateSendsTheChangesAndMergesTheAnswer)
{
    Resource record = business();
    m_server.scriptNext(
        ServerResponse::json(200, Dictionary::make({ { "name", "Ada plc" }, { "updated", "yes" } })));
    OutcomeLog log;
    record.updateWithChanges(
        Dictionary::make({ { "name", "Ada plc" } }), log.note("ok"), log.note("notFound"), log.failure());
    settle(log);

    EXPECT_EQ(log.only(), "ok");
    EXPECT_EQ(lastRequest().method, "PUT");
    // The changes hold no "id", so they go to the repository's URL itself.
    EXPECT_EQ(lastRequest().path, "/api/businesses");
    EXPECT_EQ(lastRequest().json(), Value(Dictionary::make({ { "name", "Ada plc" } })));
    EXPECT_EQ(record.record()->get("name"), Value("Ada plc"));
    EXPECT_EQ(record.record()->get("updated"), Value("yes"));
    EXPECT_EQ(record.record()->get("town"), Value("Leeds"));
    EXPECT_EQ(record.identifier(), Value(3));
}

TEST_F(ResourceTest, UpdateWithAnEmptyAnswerKeepsTheChangesSent)
{
    Resource record = business();
    m_server.scriptNext(ServerResponse::empty(204));
    OutcomeLog log;
    record.updateWithChanges(
        Dictionary::make({ { "id", 3 }, { "logo", "http://logo" } }), log.note("ok"), nullptr, log.failure());
    settle(log);
    EXPECT_EQ(log.only(), "ok");
    EXPECT_EQ(lastRequest().path, "/api/businesses/3");
    EXPECT_EQ(record.record()->get("logo"), Value("http://logo"));
}

TEST_F(ResourceTest, AFailedUpdateLeavesTheRecordAsItWas)
{
    for (int status : { 404, 500 }) {
        SCOPED_TRACE(status);
        Resource record = business();
        auto before = record.record()->deepCopy();
        m_server.scriptNext(ServerResponse::json(status, Dictionary::make({ { "name", "Wrong" } })));
        OutcomeLog log;
        record.updateWithChanges(
            Dictionary::make({ { "name", "Ada plc" } }), log.note("ok"), log.note("notFound"), log.failure());
        settle(log);
        EXPECT_EQ(log.only(), status == 404 ? "notFound" : "error");
        EXPECT_TRUE(record.record()->equals(*before));
    }
}

TEST_F(ResourceTest, ActionsOnARecordWithoutARepositoryReportAnError)
{
    Resource local(Dictionary::make({ { "id", 3 } }));
    std::vector<OutcomeLog> logs(3);
    local.updateWithChanges(Dictionary::make({ { "name", "x" } }), logs[0].note("ok"),
        logs[0].note("notFound"), logs[0].failure());
    local.createChild(
        Dictionary::make(), "bank-account", logs[1].record(), logs[1].note("exists"), logs[1].failure());
    local.readChild("bank-account", logs[2].value(), logs[2].note("notFound"), logs[2].failure());
    for (auto& log : logs) {
        settle(log);
        EXPECT_EQ(log.only(), "error");
    }
    EXPECT_EQ(m_server.requestCount(), 0u);
}

TEST_F(ResourceTest, CreateChildStoresTheServersAnswer)
{
    Resource record = business();
    auto sent = Dictionary::make({ { "sort_code", "12-34-56" } });
    m_server.scriptNext(
        ServerResponse::json(201, Dictionary::make({ { "id", 11 }, { "sort_code", "12-34-56" } })));
    OutcomeLog log;
    record.createChild(sent, "bank-account", log.record(), log.note("exists"), log.failure());
    settle(log);

    ASSERT_EQ(log.only(), "ok");
    EXPECT_EQ(lastRequest().method, "POST");
    EXPECT_EQ(lastRequest().path, "/api/businesses/3/bank-account");
    auto stored = record.record()->get("bank-account").dictionary();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored, log.answer.dictionary());
    EXPECT_NE(stored, sent);
    EXPECT_EQ(stored->get("id"), Value(11));
    auto childRepository = std::static_pointer_cast<RESTRepository>(Resource(stored).repository());
    ASSERT_TRUE(childRepository);
    EXPECT_EQ(childRepository->repositoryUrl(), m_server.url("/api/businesses/3/bank-account"));
}

TEST_F(ResourceTest, ACreateAnsweredWithAnEmptyBodyKeepsTheRecordSent)
{
    Resource record = business();
    auto sent = Dictionary::make({ { "sort_code", "12-34-56" } });
    m_server.scriptNext(ServerResponse::empty(201));
    OutcomeLog log;
    record.createChild(sent, "bank-account", log.record(), log.note("exists"), log.failure());
    settle(log);
    ASSERT_EQ(log.only(), "ok");
    EXPECT_EQ(record.record()->get("bank-account").dictionary(), sent);
    EXPECT_TRUE(Resource(sent).repository());
}

TEST_F(ResourceTest, ACreateThatExistsLeavesTheParentUntouched)
{
    Resource record = business();
    auto before = record.record()->deepCopy();
    m_server.scriptNext(ServerResponse::json(422, Dictionary::make({ { "id", 1 } })));
    OutcomeLog log;
    record.createChild(
        Dictionary::make(), "vat-registration", log.record(), log.note("exists"), log.failure());
    settle(log);
    EXPECT_EQ(log.only(), "exists");
    EXPECT_TRUE(record.record()->equals(*before));
}

TEST_F(ResourceTest, AddChildPutsNewChildrenFirstUnlessInOrder)
{
    Resource record = business();
    auto add = [&](int identifier, bool inOrder) {
        m_server.scriptNext(ServerResponse::json(201, Dictionary::make({ { "id", identifier } })));
        OutcomeLog log;
        record.addChild(Dictionary::make(), "notes", inOrder, log.record(), nullptr, log.failure());
        settle(log);
        EXPECT_EQ(log.only(), "ok");
    };
    auto identifiers = [&] {
        std::vector<std::int64_t> list;
        for (auto& note : *record.record()->get("notes").array())
            list.push_back(note.dictionary()->get("id").integerValue());
        return list;
    };

    add(1, false);
    EXPECT_EQ(identifiers(), (std::vector<std::int64_t> { 1 }));
    add(2, false);
    EXPECT_EQ(identifiers(), (std::vector<std::int64_t> { 2, 1 }));
    add(3, true);
    EXPECT_EQ(identifiers(), (std::vector<std::int64_t> { 2, 1, 3 }));
    EXPECT_EQ(lastRequest().path, "/api/businesses/3/notes");
}

TEST_F(ResourceTest, ReadChildStoresTheAnswerUnderTheRelation)
{
    Resource record = business();
    m_server.scriptNext(ServerResponse::json(200, Array::make({ Dictionary::make({ { "id", 1 } }) })));
    OutcomeLog log;
    record.readChild("notes", log.value(), log.note("notFound"), log.failure());
    settle(log);
    ASSERT_EQ(log.only(), "ok");
    EXPECT_EQ(lastRequest().method, "GET");
    EXPECT_EQ(lastRequest().path, "/api/businesses/3/notes");
    EXPECT_EQ(record.record()->get("notes").array(), log.answer.array());

    m_server.scriptNext(ServerResponse::empty(404));
    OutcomeLog missing;
    record.readChild("notes", missing.value(), missing.note("notFound"), missing.failure());
    settle(missing);
    EXPECT_EQ(missing.only(), "notFound");
    EXPECT_EQ(record.record()->get("notes").array(), log.answer.array());
}

TEST(ResourceRecord, ReadsItsIdentifierDateAndRepository)
{
    Resource record(Dictionary::make({ { "id", "r1" }, { "date", "2016-03-01T09:15:00.000+0100" } }));
    EXPECT_EQ(record.identifier(), Value("r1"));
    ASSERT_TRUE(record.date());
    EXPECT_EQ(record.date()->secondsSince1970, 1456820100);
    EXPECT_EQ(record.repository(), nullptr);

    record.record()->set("date", "yesterday");
    EXPECT_FALSE(record.date());
    record.setIdentifier(Value());
    EXPECT_FALSE(record.record()->contains("id"));

    // A copy of the record copies its keys only.
    record.setRepository(std::make_shared<RESTRepository>(nullptr, "http://127.0.0.1:9/x"));
    EXPECT_EQ(Resource(record.record()->shallowCopy()).repository(), nullptr);
    EXPECT_THROW(Resource(nullptr), std::invalid_argument);
}

}
}
