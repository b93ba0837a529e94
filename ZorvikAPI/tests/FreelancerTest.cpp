#include "ZorvikAPI/models/Freelancer.h"
#include "ZorvikAPI/authentication/UsernameAndPasswordAuthentication.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/NewFreelancer.h"
#include "ZorvikAPI/models/VATRegistration.h"
#include "ZorvikAPI/repositories/CompaniesHouse.h"
#include "ZorvikAPI/repositories/RESTRepositories/FreelancerRepository.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "ZorvikAPI/tests/BackendFixture.h"
#include "platform/foundation/Dictionary.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace zorvik::api::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;
using ::testing::ServerResponse;

ServerResponse session(std::string token, Value userId)
{
    return ServerResponse::json(
        200, Dictionary::make({ { "id", token }, { "userId", userId }, { "ttl", 1209600 } }));
}

class FreelancerTest : public BackendTest {
protected:
    void SetUp() override
    {
        Repositories::sharedInstance().setAuthenticationMechanism(m_authentication);
        Repositories::sharedInstance().setFreelancersRepository(m_freelancers);
    }

    void TearDown() override
    {
        Freelancer::setLoggedInFreelancer(std::nullopt);
        Repositories::sharedInstance().setAuthenticationMechanism(nullptr);
        Repositories::sharedInstance().clear();
    }

    /// Logs `freelancer` in against the answer `response` and returns the one outcome.
    std::string logIn(const Freelancer& freelancer, ServerResponse response)
    {
        // Scripted for several attempts: the session sends a request again when a kept-alive connection
        // closes unanswered, once for each idle connection it holds; the rest is cleared afterwards.
        m_server.script("POST", "/api/freelancers/login", std::move(response), kAttempts);
        OutcomeLog log;
        freelancer.loginWithPassword("1234", log.record(), log.note("failed"), log.failure());
        settle(log);
        m_server.clearScripts();
        return log.only();
    }

    /// The "Authorization" header of a request sent now, or "(none)".
    std::string authorizationSent()
    {
        m_server.scriptNext(ServerResponse::empty(204));
        OutcomeLog log;
        m_freelancers->read(nullptr, log.value(), nullptr, log.failure());
        settle(log);
        return lastRequest().header("Authorization").value_or("(none)");
    }

    Freelancer ada() { return Freelancer::withEmail("ada@example.com", m_freelancers, m_authentication); }

    std::shared_ptr<UsernameAndPasswordAuthentication> m_authentication {
        std::make_shared<UsernameAndPasswordAuthentication>(m_manager, m_server.url("/api/freelancers/login"))
    };
    std::shared_ptr<FreelancerRepository> m_freelancers { std::make_shared<FreelancerRepository>(
        m_manager, m_server.baseUrl()) };
};

TEST_F(FreelancerTest, LogInStoresTheUserAndSendsTheTokenAfterwards)
{
    EXPECT_EQ(authorizationSent(), "(none)");
    Freelancer freelancer = ada();

    EXPECT_EQ(logIn(freelancer, session("tok-1", 7)), "ok");

    auto request = m_server.requests().at(1);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/api/freelancers/login");
    EXPECT_EQ(
        request.json(), Value(Dictionary::make({ { "email", "ada@example.com" }, { "password", "1234" } })));
    EXPECT_EQ(freelancer.identifier(), Value(7));
    ASSERT_TRUE(Freelancer::loggedInFreelancer());
    EXPECT_EQ(Freelancer::loggedInFreelancer()->record(), freelancer.record());
    EXPECT_EQ(authorizationSent(), "tok-1");

    EXPECT_EQ(logIn(ada(), session("tok-2", 8)), "ok");
    EXPECT_EQ(authorizationSent(), "tok-2");
}

TEST_F(FreelancerTest, EveryRequestCarriesTheTokenUntilLogOut)
{
    ASSERT_EQ(logIn(ada(), session("tok-1", 7)), "ok");
    auto companies = std::make_shared<CompaniesHouse>(repositoryAt("/companies"));
    auto items = repositoryAt("/api/items");

    auto sendOneOfEach = [&] {
        m_server.clearRequests();
        m_server.scriptNext(ServerResponse::json(200, Dictionary::make({ { "id", 1 } })), 5);
        std::vector<OutcomeLog> logs(5);
        items->create(Dictionary::make(), logs[0].value(), nullptr, logs[0].failure());
        items->read(nullptr, logs[1].value(), nullptr, logs[1].failure());
        items->update(Dictionary::make({ { "id", 1 } }), logs[2].value(), nullptr, logs[2].failure());
        items->remove(Dictionary::make({ { "id", 1 } }), logs[3].note("ok"), nullptr, logs[3].failure());
        companies->searchWithTerm(
            "acme", [&](const auto&) { logs[4].outcomes.push_back("ok"); }, logs[4].failure());
        for (auto& log : logs)
            settle(log);
        std::vector<std::string> headers;
        for (auto& request : m_server.requests())
            headers.push_back(request.method + " " + request.header("Authorization").value_or("(none)"));
        std::sort(headers.begin(), headers.end());
        return headers;
    };

    EXPECT_EQ(sendOneOfEach(),
        (std::vector<std::string> { "DELETE tok-1", "GET tok-1", "GET tok-1", "POST tok-1", "PUT tok-1" }));

    Freelancer::logOut();

    EXPECT_FALSE(Freelancer::loggedInFreelancer());
    EXPECT_EQ(sendOneOfEach(),
        (std::vector<std::string> {
            "DELETE (none)", "GET (none)", "GET (none)", "POST (none)", "PUT (none)" }));
}

TEST_F(FreelancerTest, AFailedLogInStoresNothing)
{
    Freelancer signedIn = ada();
    ASSERT_EQ(logIn(signedIn, session("tok-1", 7)), "ok");

    struct Case {
        std::string answer;
        ServerResponse response;
        std::string expected;
    };
    const std::vector<Case> cases {
        { "401", ServerResponse::json(401, Dictionary::make({ { "error", "login failed" } })), "failed" },
        { "500", ServerResponse::empty(500), "error" },
        { "dropped", ServerResponse::dropped(), "error" },
        { "no token", ServerResponse::json(200, Dictionary::make({ { "userId", 9 } })), "error" },
        { "no user", ServerResponse::json(200, Dictionary::make({ { "id", "tok-9" } })), "error" },
        { "empty", ServerResponse::empty(200), "error" },
    };
    for (auto& testCase : cases) {
        SCOPED_TRACE(testCase.answer);
        Freelancer other = Freelancer::withEmail("bea@example.com", m_freelancers, m_authentication);
        EXPECT_EQ(logIn(other, testCase.response), testCase.expected);
        EXPECT_FALSE(other.record()->contains("id"));
        EXPECT_EQ(Freelancer::loggedInFreelancer()->record(), signedIn.record());
        EXPECT_EQ(authorizationSent(), "tok-1");
    }
}

TEST_F(FreelancerTest, ALogInAnswerWithoutUserIdIsAnError)
{
    Freelancer freelancer = ada();
    EXPECT_EQ(logIn(freelancer, ServerResponse::json(200, Dictionary::make({ { "id", "tok-9" } }))), "error");

    EXPECT_FALSE(freelancer.record()->contains("id"));
    EXPECT_FALSE(Freelancer::loggedInFreelancer());
    EXPECT_EQ(authorizationSent(), "(none)");
}

TEST_F(FreelancerTest, ALogInWithoutAMechanismIsAnError)
{
    Freelancer freelancer = Freelancer::withEmail("ada@example.com", m_freelancers, nullptr);
    OutcomeLog log;
    freelancer.loginWithPassword("1234", log.record(), log.note("failed"), log.failure());
    settle(log);
    EXPECT_EQ(log.only(), "error");
    EXPECT_EQ(m_server.requestCount(), 0u);
}

TEST_F(FreelancerTest, SignUpIsACreateOfTheCredentials)
{
    m_server.scriptNext(ServerResponse::json(422, Dictionary::make({ { "error", "email taken" } })));
    OutcomeLog log;
    m_freelancers->create(NewFreelancer::withEmail("ada@example.com", "1234").record(), log.value(),
        log.note("exists"), log.failure());
    settle(log);
    EXPECT_EQ(log.only(), "exists");
    EXPECT_EQ(lastRequest().path, "/api/freelancers");
    EXPECT_EQ(lastRequest().json(),
        Value(Dictionary::make({ { "email", "ada@example.com" }, { "password", "1234" } })));
}

TEST_F(FreelancerTest, ReadsAndCreatesItsBusinessUnderItsIdentifier)
{
    Freelancer freelancer = Freelancer::withIdentifier(7, "ada@example.com", m_freelancers, m_authentication);
    EXPECT_EQ(std::static_pointer_cast<RESTRepository>(freelancer.businessRepository())->repositoryUrl(),
        m_server.url("/api/freelancers/7/business"));

    m_server.scriptNext(ServerResponse::empty(404));
    OutcomeLog missing;
    freelancer.business([&](const Business&) { missing.outcomes.push_back("found"); },
        missing.note("notFound"), missing.failure());
    settle(missing);
    EXPECT_EQ(missing.only(), "notFound");
    EXPECT_EQ(lastRequest().method, "GET");
    EXPECT_EQ(lastRequest().path, "/api/freelancers/7/business");
    EXPECT_FALSE(freelancer.business());

    m_server.scriptNext(ServerResponse::json(422, Dictionary::make()));
    OutcomeLog exists;
    freelancer.createBusiness(
        Business::withName("Ada Ltd"), [&](const Business&) { exists.outcomes.push_back("ok"); },
        exists.note("exists"), exists.failure());
    settle(exists);
    EXPECT_EQ(exists.only(), "exists");
    EXPECT_FALSE(freelancer.business());

    m_server.scriptNext(ServerResponse::json(201, Dictionary::make({ { "id", 3 }, { "name", "Ada Ltd" } })));
    std::optional<Business> created;
    OutcomeLog create;
    freelancer.createBusiness(
        Business::withName("Ada Ltd"),
        [&](const Business& business) {
            create.outcomes.push_back("ok");
            created = business;
        },
        create.note("exists"), create.failure());
    settle(create);
    ASSERT_EQ(create.only(), "ok");
    EXPECT_EQ(lastRequest().method, "POST");
    EXPECT_EQ(lastRequest().path, "/api/freelancers/7/business");
    EXPECT_EQ(lastRequest().json(), Value(Dictionary::make({ { "name", "Ada Ltd" } })));
    ASSERT_TRUE(freelancer.business());
    EXPECT_EQ(freelancer.business()->record(), created->record());
    EXPECT_EQ(created->identifier(), Value(3));

    // The business carries its repository, so its own children live below it.
    m_server.scriptNext(ServerResponse::json(200, Dictionary::make({ { "is_registered", true } })));
    OutcomeLog vat;
    created->vatRegistration([&](const VATRegistration&) { vat.outcomes.push_back("found"); },
        vat.note("notFound"), vat.failure());
    settle(vat);
    EXPECT_EQ(vat.only(), "found");
    EXPECT_EQ(lastRequest().path, "/api/freelancers/7/business/3/vat-registration");

    m_server.scriptNext(ServerResponse::json(200, Dictionary::make({ { "id", 4 }, { "name", "Read Ltd" } })));
    OutcomeLog read;
    freelancer.business(
        [&](const Business&) { read.outcomes.push_back("found"); }, read.note("notFound"), read.failure());
    settle(read);
    EXPECT_EQ(read.only(), "found");
    EXPECT_EQ(freelancer.business()->name(), "Read Ltd");
    EXPECT_EQ(std::static_pointer_cast<RESTRepository>(freelancer.business()->repository())->repositoryUrl(),
        m_server.url("/api/freelancers/7/business"));
}

}
}
