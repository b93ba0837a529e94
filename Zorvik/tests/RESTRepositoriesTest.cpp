#include "Zorvik/Repositories/RESTRepositories.h"

#include "ZorvikAPI/authentication/UsernameAndPasswordAuthentication.h"
#include "ZorvikAPI/repositories/CompaniesHouse.h"
#include "ZorvikAPI/repositories/RESTRepositories/FreelancerRepository.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "platform/http/SessionManager.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using platform::http::HttpError;

struct Wiring {
    std::shared_ptr<api::UsernameAndPasswordAuthentication> logIn;
    std::shared_ptr<api::RESTRepository> freelancers;
    std::shared_ptr<api::RESTRepository> companies;
};

Wiring wiring()
{
    auto& repositories = api::Repositories::sharedInstance();
    Wiring result;
    result.logIn = std::dynamic_pointer_cast<api::UsernameAndPasswordAuthentication>(
        repositories.authenticationMechanism());
    result.freelancers
        = std::dynamic_pointer_cast<api::FreelancerRepository>(repositories.freelancersRepository());
    if (repositories.companiesHouse())
        result.companies
            = std::dynamic_pointer_cast<api::RESTRepository>(repositories.companiesHouse()->repo());
    return result;
}

TEST(RESTRepositoriesTest, EachEntryGetsItsAddressAndAllShareOneSession)
{
    struct Case {
        const char* baseUrl;
        const char* companiesRoot;
        const char* logIn;
        const char* freelancers;
        const char* companies;
    };
    const std::vector<Case> cases {
        { "https://staging.zorvik.test/", "https://live.zorvik.test/",
            "https://staging.zorvik.test/api/freelancers/login",
            "https://staging.zorvik.test/api/freelancers", "https://live.zorvik.test/companies" },
        { "http://127.0.0.1:8080/v2/", "http://127.0.0.1:9090/search/",
            "http://127.0.0.1:8080/api/freelancers/login", "http://127.0.0.1:8080/api/freelancers",
            "http://127.0.0.1:9090/companies" },
    };
    std::shared_ptr<platform::http::SessionManager> previous;
    for (const auto& test : cases) {
        SCOPED_TRACE(test.baseUrl);
        RESTRepositories::initialise(test.baseUrl, test.companiesRoot);
        Wiring wired = wiring();
        ASSERT_TRUE(wired.logIn && wired.freelancers && wired.companies);
        EXPECT_EQ(wired.logIn->loginUrl(), test.logIn);
        EXPECT_EQ(wired.freelancers->repositoryUrl(), test.freelancers);
        EXPECT_EQ(wired.companies->repositoryUrl(), test.companies);
        EXPECT_EQ(wired.freelancers->manager(), wired.logIn->manager());
        EXPECT_EQ(wired.companies->manager(), wired.logIn->manager());
        EXPECT_NE(wired.logIn->manager(), previous) << "initialising again replaces every entry";
        previous = wired.logIn->manager();
    }
}

TEST(RESTRepositoriesTest, TheLogInTokenReachesTheCompanySearch)
{
    ::testing::Backend backend;
    RESTRepositories::initialise(backend.url("/"), backend.url("/"));
    auto& repositories = api::Repositories::sharedInstance();
    auto credentials = [] {
        return Dictionary::make({ { "email", "amy@example.com" }, { "password", "1234" } });
    };
    std::vector<std::string> outcomes;
    auto failed = [&](const HttpError& error) { outcomes.push_back("error: " + error.message()); };
    auto settle = [&](std::size_t count) {
        mainQueue().runUntil([&] { return outcomes.size() >= count; });
        mainQueue().runUntilIdle();
    };

    repositories.freelancersRepository()->create(
        credentials(), [&](const auto&) { outcomes.push_back("created"); },
        [&] { outcomes.push_back("exists"); }, failed);
    settle(1);
    std::string token;
    repositories.authenticationMechanism()->authenticate(
        credentials(),
        [&](const platform::foundation::DictionaryRef& answer) {
            token = answer->get("id").stringValue();
            outcomes.push_back("logged in");
        },
        [&] { outcomes.push_back("refused"); }, failed);
    settle(2);
    repositories.companiesHouse()->searchWithTerm(
        "joinery", [&](const auto&) { outcomes.push_back("found"); }, failed);
    settle(3);

    EXPECT_EQ(outcomes, (std::vector<std::string> { "created", "logged in", "found" }));
    auto search = backend.lastRequest().value();
    EXPECT_EQ(search.path, "/companies");
    EXPECT_EQ(search.queryValue("search_term"), "joinery");
    EXPECT_FALSE(token.empty());
    EXPECT_EQ(search.header("Authorization"), token);
}

}
}
