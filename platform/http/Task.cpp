#include "platform/http/Task.h"

#include "platform/http/SessionEngine.h"

#include <algorithm>
#include <cctype>

namespace platform::http {

Task::Task(std::string method, std::string url, Headers requestHeaders, std::string requestBody)
    : m_method(std::move(method))
    , m_url(std::move(url))
    , m_requestHeaders(std::move(requestHeaders))
    , m_requestBody(std::move(requestBody))
{
}

std::optional<std::string> Task::responseHeader(std::string_view name) const
{
    auto sameName = [name](const auto& header) {
        return std::equal(
            header.first.begin(), header.first.end(), name.begin(), name.end(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a))
                    == std::tolower(static_cast<unsigned char>(b));
            });
    };
    auto found = std::find_if(m_responseHeaders.begin(), m_responseHeaders.end(), sameName);
    if (found == m_responseHeaders.end())
        return std::nullopt;
    return found->second;
}

void Task::cancel()
{
    if (m_cancelled.exchange(true))
        return;
    if (auto engine = m_engine.lock())
        engine->cancel(*this);
}

}
