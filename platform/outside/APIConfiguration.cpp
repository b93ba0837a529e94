#include "platform/outside/APIConfiguration.h"

#include "platform/http/SessionManager.h"

namespace platform::outside {

using http::HttpError;

APIConfiguration::APIConfiguration(std::string url)
    : m_url(std::move(url))
    , m_manager(std::make_shared<http::SessionManager>())
{
}

APIConfiguration::~APIConfiguration() = default;

void APIConfiguration::fetchConfiguration(Fetched ok, Failed error)
{
    m_manager->get(
        m_url, nullptr,
        [url = m_url, ok, error](const http::Task& task, const foundation::Value& document) {
            if (auto configuration = Configuration::fromDocument(document, url)) {
                ok(*configuration);
                return;
            }
            error(HttpError(HttpError::Code::CannotParseResponse,
                "The configuration service's answer holds no accepted versions or no redirect address",
                task.statusCode(), {}, document));
        },
        [error](const http::Task&, const HttpError& failure) { error(failure); });
}

}
