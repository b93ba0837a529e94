#include "ZorvikAPI/authentication/UsernameAndPasswordAuthentication.h"

#include "platform/foundation/Dictionary.h"
#include "platform/http/SessionManager.h"

namespace zorvik::api {

using platform::foundation::DictionaryRef;
using platform::foundation::Value;
using platform::http::SessionManager;
using platform::http::Task;

namespace {

constexpr std::string_view kAuthorizationHeader = "Authorization";

}

UsernameAndPasswordAuthentication::UsernameAndPasswordAuthentication(
    std::shared_ptr<SessionManager> manager, std::string loginUrl)
    : m_manager(std::move(manager))
    , m_loginUrl(std::move(loginUrl))
{
}

void UsernameAndPasswordAuthentication::authenticate(const DictionaryRef& credentials,
    RecordBlock authenticated, Block failed, ErrorBlock error, AnswerCheck accepts)
{
    std::weak_ptr<SessionManager> weakManager = m_manager;
    m_manager->post(
        m_loginUrl, credentials ? Value(credentials) : Value(),
        [weakManager, authenticated = std::move(authenticated), error, accepts = std::move(accepts)](
            const Task&, const Value& answer) {
            auto session = answer.dictionary();
            std::string token = session ? session->get("id").stringValue() : std::string();
            auto manager = weakManager.lock();
            if (token.empty() || !manager || (accepts && !accepts(session))) {
                reportError(error, unexpectedAnswerError());
                return;
            }
            manager->setHeader(kAuthorizationHeader, token);
            if (authenticated)
                authenticated(session);
        },
        mapFailure(401, std::move(failed), error));
}

void UsernameAndPasswordAuthentication::logOut()
{
    m_manager->removeHeader(kAuthorizationHeader);
}

}
