#include "Zorvik/Repositories/RESTRepositories.h"

#include "Zorvik/Models/BuildSettings.h"
#include "ZorvikAPI/authentication/UsernameAndPasswordAuthentication.h"
#include "ZorvikAPI/repositories/CompaniesHouse.h"
#include "ZorvikAPI/repositories/RESTRepositories/FreelancerRepository.h"
#include "ZorvikAPI/repositories/RESTRepositories/RESTRepository.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "platform/http/SessionManager.h"
#include "platform/http/Url.h"

namespace zorvik {

void RESTRepositories::initialise(std::string_view baseUrl)
{
    initialise(baseUrl, BuildSettings::companiesUrl());
}

void RESTRepositories::initialise(std::string_view baseUrl, std::string_view companiesRootUrl)
{
    auto manager = std::make_shared<platform::http::SessionManager>();
    auto& repositories = api::Repositories::sharedInstance();
    repositories.setAuthenticationMechanism(std::make_shared<api::UsernameAndPasswordAuthentication>(
        manager, platform::http::resolve("/api/freelancers/login", baseUrl)));
    repositories.setFreelancersRepository(std::make_shared<api::FreelancerRepository>(manager, baseUrl));
    auto companies = std::make_shared<api::RESTRepository>(
        manager, platform::http::resolve("/companies", companiesRootUrl));
    repositories.setCompaniesHouse(std::make_shared<api::CompaniesHouse>(companies));
}

}
