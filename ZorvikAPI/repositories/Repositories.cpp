#include "ZorvikAPI/repositories/Repositories.h"

#include "ZorvikAPI/authentication/Authentication.h"
#include "ZorvikAPI/repositories/CompaniesHouse.h"
#include "ZorvikAPI/repositories/Repository.h"

namespace zorvik::api {

Repositories& Repositories::sharedInstance()
{
    // Never destroyed, so that no request in flight outlives the session it was sent through at exit.
    static auto* instance = new Repositories;
    return *instance;
}

void Repositories::setAuthenticationMechanism(std::shared_ptr<Authentication> mechanism)
{
    m_authenticationMechanism = std::move(mechanism);
}

void Repositories::setFreelancersRepository(std::shared_ptr<Repository> repository)
{
    m_freelancersRepository = std::move(repository);
}

void Repositories::setCompaniesHouse(std::shared_ptr<CompaniesHouse> companiesHouse)
{
    m_companiesHouse = std::move(companiesHouse);
}

void Repositories::clear()
{
    m_freelancersRepository = nullptr;
}

}
