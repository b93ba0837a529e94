#include "ZorvikAPI/repositories/RESTRepositories/RESTRepository.h"
#include "ZorvikAPI/repositories/RESTRepositories/FreelancerRepository.h"
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

std::string urlOf(const std::shared_ptr<Repository>& repository)
{
    return std::static_pointer_cast<RESTRepository>(repository)->repositoryUrl();
}

TEST(RESTRepositoryUrls, ChildUrlsJoinTheIdentifierAndTheName)
{
    auto manager = std::make_shared<platform::http::SessionManager>();
    auto freelancers = std::make_shared<FreelancerRepository>(manager, "http://127.0.0.1:9/v2/ignored/");
    ASSERT_EQ(freelancers->repositoryUrl(), "http://127.0.0.1:9/api/freelancers");

    struct Case {
        Value identifier;
        std::string name;
        std::string expected;
    };
    const std::vector<Case> cases {
        { Value(42), "business", "http://127.0.0.1:9/api/freelancers/42/business" },
        { Value("f-7"), "business", "http://127.0.0.1:9/api/freelancers/f-7/business" },
        { Value(), "business", "http://127.0.0.1:9/api/freelancers/business" },
        { Value(""), "business", "http://127.0.0.1:9/api/freelancers/business" },
        // An identifier stays one path segment, whatever it holds.
        { Value("../admin"), "business", "http://127.0.0.1:9/api/freelancers/..%2Fadmin/business" },
        { Value("a b/c"), "business", "http://127.0.0.1:9/api/freelancers/a%20b%2Fc/business" },
    };
    for (auto& testCase : cases) {
        SCOPED_TRACE(testCase.expected);
        EXPECT_EQ(
            urlOf(freelancers->childWithResourceId(testCase.identifier, testCase.name)), testCase.expected);
    }

    auto business = freelancers->childWithResourceId(Value(7), "business");
    EXPECT_EQ(urlOf(business->childWithResourceId(Value(3), "bank-account")),
        "http://127.0.0.1:9/api/freelancers/7/business/3/bank-account");
    EXPECT_NE(freelancers->childWithResourceId(Value(7), "business"), business);
}

class RESTRepositoryTest : public BackendTest { };

TEST_F(RESTRepositoryTest, SendsEachOperationAsTheServerExpects)
{
    auto items = repositoryAt("/api/items");
    m_server.scriptNext(ServerResponse::json(200, Dictionary::make({ { "id", 5 } })), 5);

    OutcomeLog created;
    items->create(Dictionary::make({ { "name", "Ada" }, { "amount", 12 } }), created.value(),
        created.note("exists"), created.failure());
    settle(created);
    auto request = lastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/api/items");
    EXPECT_EQ(request.json(), Value(Dictionary::make({ { "name", "Ada" }, { "amount", 12 } })));

    OutcomeLog read;
    items->read(Dictionary::make({ { "search_term", "Acme & Sons" } }), read.value(), read.note("notFound"),
        read.failure());
    settle(read);
    request = lastRequest();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, "/api/items");
    EXPECT_EQ(request.queryValue("search_term"), "Acme & Sons");
    EXPECT_EQ(request.body, "");

    OutcomeLog updatedWithIdentifier;
    items->update(Dictionary::make({ { "id", 5 }, { "name", "Bea" } }), updatedWithIdentifier.value(),
        updatedWithIdentifier.note("notFound"), updatedWithIdentifier.failure());
    settle(updatedWithIdentifier);
    request = lastRequest();
    EXPECT_EQ(request.method, "PUT");
    EXPECT_EQ(request.path, "/api/items/5");
    EXPECT_EQ(request.json(), Value(Dictionary::make({ { "id", 5 }, { "name", "Bea" } })));

    OutcomeLog updatedInPlace;
    items->update(Dictionary::make({ { "name", "Cy" } }), updatedInPlace.value(),
        updatedInPlace.note("notFound"), updatedInPlace.failure());
    settle(updatedInPlace);
    EXPECT_EQ(lastRequest().method, "PUT");
    EXPECT_EQ(lastRequest().path, "/api/items");

    OutcomeLog deleted;
    items->remove(Dictionary::make({ { "id", "x9" }, { "name", "Cy" } }), deleted.note("ok"),
        deleted.note("notFound"), deleted.failure());
    settle(deleted);
    request = lastRequest();
    EXPECT_EQ(request.method, "DELETE");
    EXPECT_EQ(request.path, "/api/items/x9");
    EXPECT_EQ(request.rawQuery, "");
    EXPECT_EQ(request.body, "");

    for (auto* log : { &created, &read, &updatedWithIdentifier, &updatedInPlace, &deleted })
        EXPECT_EQ(log->only(), "ok");
}

/// Runs `operation` on a repository whose server answers `response` and returns the one outcome.
struct OutcomeCase {
    std::string operation;
    std::string answer;
    ServerResponse response;
    std::string expected;
};

TEST_F(RESTRepositoryTest, MapsEveryStatusToOneOutcome)
{
    auto record = Value(Dictionary::make({ { "id", 1 } }));
    const std::vector<OutcomeCase> cases {
        { "create", "201 object", ServerResponse::json(201, record), "ok" },
        { "create", "201 empty", ServerResponse::empty(201), "ok" },
        { "create", "422", ServerResponse::json(422, record), "exists" },
        { "create", "404", ServerResponse::empty(404), "error" },
        { "create", "500", ServerResponse::empty(500), "error" },
        { "create", "dropped", ServerResponse::dropped(), "error" },
        { "create", "200 not JSON", ServerResponse::text(200, "<html>"), "error" },
        { "read", "200 object", ServerResponse::json(200, record), "ok" },
        { "read", "200 empty", ServerResponse::empty(200), "ok" },
        { "read", "404", ServerResponse::empty(404), "notFound" },
        { "read", "422", ServerResponse::empty(422), "error" },
        { "read", "401", ServerResponse::empty(401), "error" },
        { "read", "dropped", ServerResponse::dropped(), "error" },
        { "update", "200 object", ServerResponse::json(200, record), "ok" },
        { "update", "204 empty", ServerResponse::empty(204), "ok" },
        { "update", "404", ServerResponse::empty(404), "notFound" },
        { "update", "422", ServerResponse::empty(422), "error" },
        { "update", "dropped", ServerResponse::dropped(), "error" },
        { "delete", "204 empty", ServerResponse::empty(204), "ok" },
        { "delete", "200 object", ServerResponse::json(200, record), "ok" },
        { "delete", "404", ServerResponse::empty(404), "notFound" },
        { "delete", "500", ServerResponse::empty(500), "error" },
        { "delete", "dropped", ServerResponse::dropped(), "error" },
    };
    auto items = repositoryAt("/api/items");
    for (auto& testCase : cases) {
        SCOPED_TRACE(testCase.operation + " answered " + testCase.answer);
        // Scripted for several attempts: the session sends a request again when a kept-alive connection
        // closes unanswered, once for each idle connection it holds; the rest is cleared afterwards.
        m_server.scriptNext(testCase.response, kAttempts);
        OutcomeLog log;
        auto resource = Dictionary::make({ { "id", 1 } });
        if (testCase.operation == "create")
            items->create(resource, log.value(), log.note("exists"), log.failure());
        else if (testCase.operation == "read")
            items->read(nullptr, log.value(), log.note("notFound"), log.failure());
        else if (testCase.operation == "update")
            items->update(resource, log.value(), log.note("notFound"), log.failure());
        else
            items->remove(resource, log.note("ok"), log.note("notFound"), log.failure());
        settle(log);
        m_server.clearScripts();
        EXPECT_EQ(log.only(), testCase.expected);
        if (testCase.expected == "error" && testCase.answer != "dropped"
            && testCase.answer != "200 not JSON") {
            EXPECT_EQ(log.error.statusCode(), std::stoi(testCase.answer));
        }
    }
}

TEST_F(RESTRepositoryTest, AnOutcomeWithoutItsBlockReachesError)
{
    auto items = repositoryAt("/api/items");
    m_server.scriptNext(ServerResponse::empty(404));
    OutcomeLog read;
    items->read(nullptr, read.value(), nullptr, read.failure());
    settle(read);
    EXPECT_EQ(read.only(), "error");
    EXPECT_EQ(read.error.statusCode(), 404);

    m_server.scriptNext(ServerResponse::empty(422));
    OutcomeLog created;
    items->create(Dictionary::make(), created.value(), nullptr, created.failure());
    settle(created);
    EXPECT_EQ(created.only(), "error");
    EXPECT_EQ(created.error.statusCode(), 422);
}

TEST_F(RESTRepositoryTest, AttachesItselfToTheObjectsItReturnsOnly)
{
    auto items = repositoryAt("/api/items");
    std::shared_ptr<Repository> asRepository = items;

    m_server.scriptNext(ServerResponse::json(201, Dictionary::make({ { "id", 1 } })));
    OutcomeLog created;
    items->create(Dictionary::make(), created.value(), nullptr, created.failure());
    settle(created);
    ASSERT_TRUE(created.answer.dictionary());
    EXPECT_EQ(created.answer.dictionary()->attachment(kRepositoryAssociationKey), asRepository);

    m_server.scriptNext(ServerResponse::json(200, Dictionary::make({ { "id", 2 } })));
    OutcomeLog readObject;
    items->read(nullptr, readObject.value(), nullptr, readObject.failure());
    settle(readObject);
    ASSERT_TRUE(readObject.answer.dictionary());
    EXPECT_EQ(readObject.answer.dictionary()->attachment(kRepositoryAssociationKey), asRepository);

    m_server.scriptNext(ServerResponse::json(
        200, Array::make({ Dictionary::make({ { "id", 3 } }), Dictionary::make({ { "id", 4 } }) })));
    OutcomeLog readList;
    items->read(nullptr, readList.value(), nullptr, readList.failure());
    settle(readList);
    ASSERT_TRUE(readList.answer.array());
    ASSERT_EQ(readList.answer.array()->size(), 2u);
    for (auto& element : *readList.answer.array())
        EXPECT_EQ(element.dictionary()->attachment(kRepositoryAssociationKey), nullptr);

    m_server.scriptNext(ServerResponse::json(200, Dictionary::make({ { "id", 1 } })));
    OutcomeLog updated;
    items->update(Dictionary::make({ { "id", 1 } }), updated.value(), nullptr, updated.failure());
    settle(updated);
    ASSERT_TRUE(updated.answer.dictionary());
    EXPECT_EQ(updated.answer.dictionary()->attachment(kRepositoryAssociationKey), nullptr);
}

TEST_F(RESTRepositoryTest, AnUnreachableServerIsAnErrorForEveryOperation)
{
    std::string offline;
    {
        ::testing::LoopbackServer stopped;
        offline = stopped.url("/api/items");
    }
    auto items = std::make_shared<RESTRepository>(m_manager, offline);
    std::vector<OutcomeLog> logs(4);
    auto resource = Dictionary::make({ { "id", 1 } });
    items->create(resource, logs[0].value(), logs[0].note("exists"), logs[0].failure());
    items->read(nullptr, logs[1].value(), logs[1].note("notFound"), logs[1].failure());
    items->update(resource, logs[2].value(), logs[2].note("notFound"), logs[2].failure());
    items->remove(resource, logs[3].note("ok"), logs[3].note("notFound"), logs[3].failure());
    for (auto& log : logs) {
        settle(log);
        EXPECT_EQ(log.only(), "error");
        EXPECT_EQ(log.error.statusCode(), 0);
    }
}

TEST_F(RESTRepositoryTest, ADeleteWithoutAnIdentifierSendsNothing)
{
    auto items = repositoryAt("/api/items");
    OutcomeLog deleted;
    items->remove(Dictionary::make({ { "name", "no id" } }), deleted.note("ok"), deleted.note("notFound"),
        deleted.failure());
    settle(deleted);
    EXPECT_EQ(deleted.only(), "error");
    EXPECT_EQ(deleted.error.statusCode(), 0);
    EXPECT_EQ(m_server.requestCount(), 0u);
}

}
}
