#pragma once

#include "ZorvikAPI/repositories/Outcome.h"

#include <memory>
#include <string_view>

namespace zorvik::api {

class Business;
class Repository;

/// The company register search, through a proxy of the system's own servers ("/companies"), which
/// answers with a list of hits in the register's key names; each hit becomes a business record.
class CompaniesHouse {
public:
    /// A search through `repo`.
    explicit CompaniesHouse(std::shared_ptr<Repository> repo);

    /// The repository searched.
    const std::shared_ptr<Repository>& repo() const { return m_repo; }
    /// Replaces the repository searched.
    void setRepo(std::shared_ptr<Repository> repo);

    /// Reads the repository with the query {"search_term": term}. results gets one new business record per
    /// hit, in the order of the answer, built from "companyName", "registrationNumber", "addressLine1",
    /// "addressLine2", "postTown", "county", "postCode" and "country"; a missing or null field becomes "",
    /// and an answer element that is not an object is skipped. An empty answer gives an empty list. Every
    /// failure, a 404 included, goes to error, as does an answer that is not a list.
    void searchWithTerm(std::string_view term, ArrayBlock results, ErrorBlock error) const;

    /// True when the business has a non-empty "registration_number".
    static bool isBusinessRegisteredWithCompaniesHouse(const Business& business);

private:
    std::shared_ptr<Repository> m_repo;
};

}
