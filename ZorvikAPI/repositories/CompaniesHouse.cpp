#include "ZorvikAPI/repositories/CompaniesHouse.h"

#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/repositories/Repository.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

namespace zorvik::api {

using platform::foundation::Array;
using platform::foundation::Dictionary;
using platform::foundation::Value;

namespace {

/// The hit's field as text: a string as it is, a number in its decimal form, anything else "".
std::string field(const Dictionary& hit, std::string_view key)
{
    Value value = hit.get(key);
    if (value.type() == Value::Type::String || value.type() == Value::Type::Integer
        || value.type() == Value::Type::Real)
        return value.stringValue();
    return {};
}

Business businessFromHit(const Dictionary& hit)
{
    return Business::withName(field(hit, "companyName"), field(hit, "registrationNumber"),
        field(hit, "addressLine1"), field(hit, "addressLine2"), field(hit, "postTown"), field(hit, "county"),
        field(hit, "postCode"), field(hit, "country"));
}

}

CompaniesHouse::CompaniesHouse(std::shared_ptr<Repository> repo)
    : m_repo(std::move(repo))
{
}

void CompaniesHouse::setRepo(std::shared_ptr<Repository> repo)
{
    m_repo = std::move(repo);
}

void CompaniesHouse::searchWithTerm(std::string_view term, ArrayBlock results, ErrorBlock error) const
{
    if (!m_repo) {
        reportLocalError(error, "The company search has no repository");
        return;
    }
    m_repo->read(
        Dictionary::make({ { "search_term", term } }),
        [results = std::move(results), error](const Value& answer) {
            auto hits = answer.array();
            if (!hits && !answer.isNull()) {
                reportError(error, unexpectedAnswerError());
                return;
            }
            auto businesses = Array::make();
            if (hits) {
                for (auto& hit : *hits) {
                    if (auto record = hit.dictionary())
                        businesses->append(businessFromHit(*record).record());
                }
            }
            if (results)
                results(businesses);
        },
        nullptr, error);
}

bool CompaniesHouse::isBusinessRegisteredWithCompaniesHouse(const Business& business)
{
    auto number = business.registrationNumber();
    return number && !number->empty();
}

}
