#include "testing/backend/BackendFixture.h"

#include "ZorvikAPI/authentication/UsernameAndPasswordAuthentication.h"
#include "ZorvikAPI/models/NewFreelancer.h"
#include "ZorvikAPI/repositories/CompaniesHouse.h"
#include "ZorvikAPI/repositories/RESTRepositories/FreelancerRepository.h"
#include "ZorvikAPI/repositories/RESTRepositories/RESTRepository.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "platform/foundation/Clock.h"
#include "platform/http/SessionManager.h"
#include "platform/http/Url.h"
#include "testing/backend/OutcomeLog.h"

namespace testing {

using zorvik::api::Business;
using zorvik::api::Freelancer;
using zorvik::api::Repositories;

void BackendFixture::SetUp()
{
    m_backend.setClock([] { return platform::foundation::now(); });
    m_manager = std::make_shared<platform::http::SessionManager>();
    wireRepositories();
}

void BackendFixture::TearDown()
{
    Freelancer::logOut();
    auto& repositories = Repositories::sharedInstance();
    repositories.setAuthenticationMechanism(nullptr);
    repositories.setFreelancersRepository(nullptr);
    repositories.setCompaniesHouse(nullptr);
}

void BackendFixture::wireRepositories()
{
    auto baseUrl = m_backend.url("/");
    auto& repositories = Repositories::sharedInstance();
    repositories.setAuthenticationMechanism(std::make_shared<zorvik::api::UsernameAndPasswordAuthentication>(
        m_manager, platform::http::resolve("/api/freelancers/login", baseUrl)));
    repositories.setFreelancersRepository(
        std::make_shared<zorvik::api::FreelancerRepository>(m_manager, baseUrl));
    auto companies = std::make_shared<zorvik::api::RESTRepository>(
        m_manager, platform::http::resolve("/companies", baseUrl));
    repositories.setCompaniesHouse(std::make_shared<zorvik::api::CompaniesHouse>(companies));
}

std::string BackendFixture::token() const
{
    return m_manager->header("Authorization").value_or("");
}

Freelancer BackendFixture::freelancer(std::string_view email) const
{
    auto& repositories = Repositories::sharedInstance();
    return Freelancer::withEmail(
        email, repositories.freelancersRepository(), repositories.authenticationMechanism());
}

std::string BackendFixture::createAccount(std::string_view email, std::string_view pin)
{
    OutcomeLog log;
    Repositories::sharedInstance().freelancersRepository()->create(
        zorvik::api::NewFreelancer::withEmail(email, pin).record(), log.value(), log.note("exists"),
        log.failure());
    settle(log);
    return log.only();
}

std::string BackendFixture::logIn(const Freelancer& freelancer, std::string_view pin)
{
    OutcomeLog log;
    freelancer.loginWithPassword(pin, log.record(), log.note("failed"), log.failure());
    settle(log);
    return log.only();
}

Freelancer BackendFixture::signUp(std::string_view email, std::string_view pin)
{
    EXPECT_EQ(createAccount(email, pin), "ok") << "signing up " << email;
    Freelancer signedUp = freelancer(email);
    EXPECT_EQ(logIn(signedUp, pin), "ok") << "logging in " << email;
    return signedUp;
}

std::optional<Business> BackendFixture::createBusiness(const Freelancer& freelancer, const Business& business)
{
    OutcomeLog log;
    freelancer.createBusiness(business, log.typed<Business>(), log.note("exists"), log.failure());
    settle(log);
    if (log.only() != "ok") {
        ADD_FAILURE() << "creating the business: " << log.only();
        return std::nullopt;
    }
    return Business(log.answer.dictionary());
}

}
