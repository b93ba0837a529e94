#pragma once

#include "ZorvikAPI/repositories/Repository.h"

#include <memory>
#include <string>

namespace platform::http {
class SessionManager;
}

namespace zorvik::api {

/// A repository on the back-end's REST service: create is a POST, read a GET, update a PUT and delete a
/// DELETE, with JSON bodies, through the process's one session manager (so its default headers, the
/// access token among them, go with every request). 422 answers a create with resourceExists, 404 answers
/// the other operations with notFound; every other failure, and no answer at all, is an error.
class RESTRepository : public Repository {
public:
    /// A repository at the absolute URL `repositoryUrl`. Make it with std::make_shared.
    RESTRepository(std::shared_ptr<platform::http::SessionManager> manager, std::string repositoryUrl);

    /// The session manager that sends the requests.
    const std::shared_ptr<platform::http::SessionManager>& manager() const { return m_manager; }
    /// The absolute URL of the collection or resource.
    const std::string& repositoryUrl() const { return m_repositoryUrl; }

    /// The repository at this URL, "/", the identifier, "/" and the name (the identifier part left out
    /// when it is null or empty). The identifier is percent-encoded so that it stays one path segment.
    std::shared_ptr<Repository> childWithResourceId(
        const platform::foundation::Value& identifier, std::string_view childResourceName) const override;
    /// POSTs `resource` to this URL.
    void create(const platform::foundation::DictionaryRef& resource, ValueBlock ok, Block resourceExists,
        ErrorBlock error) override;
    /// GETs this URL with `query` in its query string.
    void read(const platform::foundation::DictionaryRef& query, ValueBlock found, Block notFound,
        ErrorBlock error) override;
    /// PUTs `resource` to this URL, followed by "/" and its "id" when it has one.
    void update(const platform::foundation::DictionaryRef& resource, ValueBlock ok, Block notFound,
        ErrorBlock error) override;
    /// DELETEs this URL followed by "/" and the resource's "id".
    void remove(const platform::foundation::DictionaryRef& resource, Block ok, Block notFound,
        ErrorBlock error) override;

private:
    std::shared_ptr<platform::http::SessionManager> m_manager;
    std::string m_repositoryUrl;
};

}
