#pragma once

#include "ZorvikAPI/authentication/Authentication.h"

#include <memory>
#include <string>

namespace platform::http {
class SessionManager;
}

namespace zorvik::api {

/// Log-in with an e-mail address and a password (the user's PIN): a POST of the credentials to the log-in
/// URL, whose answer's "id" is the access token. The token becomes the "Authorization" header of the
/// shared session manager (the raw token, no scheme word), so every repository sends it.
class UsernameAndPasswordAuthentication : public Authentication {
public:
    /// Log-in at the absolute URL `loginUrl` through `manager`.
    UsernameAndPasswordAuthentication(
        std::shared_ptr<platform::http::SessionManager> manager, std::string loginUrl);

    /// The session manager whose header carries the token.
    const std::shared_ptr<platform::http::SessionManager>& manager() const { return m_manager; }
    /// The absolute URL of the log-in endpoint.
    const std::string& loginUrl() const { return m_loginUrl; }

    /// POSTs `credentials` to the log-in URL. A 2xx answer that is an object with an "id" (and that
    /// `accepts`, when given) sets the token and goes to authenticated; any other answer is an error and
    /// leaves the header as it was. 401 calls failed; every other failure is an error.
    void authenticate(const platform::foundation::DictionaryRef& credentials, RecordBlock authenticated,
        Block failed, ErrorBlock error, AnswerCheck accepts = {}) override;

    /// Removes the "Authorization" header.
    void logOut() override;

private:
    std::shared_ptr<platform::http::SessionManager> m_manager;
    std::string m_loginUrl;
};

}
