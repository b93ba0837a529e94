#pragma once

#include <memory>

namespace zorvik::api {

class Authentication;
class CompaniesHouse;
class Repository;

/// The process's entry points to the back-end, filled once when the app starts: the log-in mechanism, the
/// freelancers repository and the company register search. Used on the main thread.
class Repositories {
public:
    /// The one instance, made on first use and never destroyed.
    static Repositories& sharedInstance();

    /// The log-in mechanism, or null.
    const std::shared_ptr<Authentication>& authenticationMechanism() const
    {
        return m_authenticationMechanism;
    }
    /// Replaces the log-in mechanism.
    void setAuthenticationMechanism(std::shared_ptr<Authentication> mechanism);

    /// The freelancers repository, or null.
    const std::shared_ptr<Repository>& freelancersRepository() const { return m_freelancersRepository; }
    /// Replaces the freelancers repository.
    void setFreelancersRepository(std::shared_ptr<Repository> repository);

    /// The company register search, or null.
    const std::shared_ptr<CompaniesHouse>& companiesHouse() const { return m_companiesHouse; }
    /// Replaces the company register search.
    void setCompaniesHouse(std::shared_ptr<CompaniesHouse> companiesHouse);

    /// Releases the freelancers repository (the other entries stay).
    void clear();

private:
    Repositories() = default;

    std::shared_ptr<Authentication> m_authenticationMechanism;
    std::shared_ptr<Repository> m_freelancersRepository;
    std::shared_ptr<CompaniesHouse> m_companiesHouse;
};

}
