#include "ZorvikAPI/repositories/RESTRepositories/RESTRepository.h"

#include "platform/foundation/Dictionary.h"
#include "platform/http/SessionManager.h"
#include "platform/http/Url.h"

namespace zorvik::api {

using platform::foundation::DictionaryRef;
using platform::foundation::Value;
using platform::http::SessionManager;
using platform::http::Task;

namespace {

/// The identifier of a record as one URL path segment, or "" when it has none.
std::string identifierSegment(const Value& identifier)
{
    return platform::http::percentEncode(identifier.stringValue());
}

Value parameters(const DictionaryRef& dictionary)
{
    return dictionary ? Value(dictionary) : Value();
}

/// A success handler that ties a record answer to `repository` (so that the record can be saved back through
/// it), then passes the answer to `outcome`.
SessionManager::Success attachingTo(std::shared_ptr<Repository> repository, ValueBlock outcome)
{
    return
        [repository = std::move(repository), outcome = std::move(outcome)](const Task&, const Value& answer) {
            if (auto record = answer.dictionary())
                record->setAttachment(kRepositoryAssociationKey, repository);
            if (outcome)
                outcome(answer);
        };
}

}

RESTRepository::RESTRepository(std::shared_ptr<SessionManager> manager, std::string repositoryUrl)
    : m_manager(std::move(manager))
    , m_repositoryUrl(std::move(repositoryUrl))
{
}

std::shared_ptr<Repository> RESTRepository::childWithResourceId(
    const Value& identifier, std::string_view childResourceName) const
{
    std::string segment = identifierSegment(identifier);
    std::string relative
        = segment.empty() ? std::string(childResourceName) : segment + "/" + std::string(childResourceName);
    return std::make_shared<RESTRepository>(
        m_manager, platform::http::resolve(relative, m_repositoryUrl + "/"));
}

void RESTRepository::create(
    const DictionaryRef& resource, ValueBlock ok, Block resourceExists, ErrorBlock error)
{
    m_manager->post(m_repositoryUrl, parameters(resource), attachingTo(shared_from_this(), std::move(ok)),
        mapFailure(422, std::move(resourceExists), std::move(error)));
}

void RESTRepository::read(const DictionaryRef& query, ValueBlock found, Block notFound, ErrorBlock error)
{
    m_manager->get(m_repositoryUrl, parameters(query), attachingTo(shared_from_this(), std::move(found)),
        mapFailure(404, std::move(notFound), std::move(error)));
}

void RESTRepository::update(const DictionaryRef& resource, ValueBlock ok, Block notFound, ErrorBlock error)
{
    std::string segment = resource ? identifierSegment(resource->get("id")) : std::string();
    std::string url = segment.empty() ? m_repositoryUrl : m_repositoryUrl + "/" + segment;
    m_manager->put(
        url, parameters(resource),
        [ok = std::move(ok)](const Task&, const Value& answer) {
            if (ok)
                ok(answer);
        },
        mapFailure(404, std::move(notFound), std::move(error)));
}

void RESTRepository::remove(const DictionaryRef& resource, Block ok, Block notFound, ErrorBlock error)
{
    std::string segment = resource ? identifierSegment(resource->get("id")) : std::string();
    if (segment.empty()) {
        reportLocalError(error, "The record to delete has no identifier");
        return;
    }
    m_manager->del(
        m_repositoryUrl + "/" + segment, Value(),
        [ok = std::move(ok)](const Task&, const Value&) {
            if (ok)
                ok();
        },
        mapFailure(404, std::move(notFound), std::move(error)));
}

}
