#include "platform/http/SessionManager.h"

#include "platform/foundation/Json.h"
#include "platform/http/SessionEngine.h"
#include "platform/http/Url.h"

#include <algorithm>
#include <cctype>

namespace platform::http {

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

bool isBlank(std::string_view text)
{
    return std::all_of(
        text.begin(), text.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

std::string uppercased(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// Turns what came back into exactly one call of `success` or `failure`.
void conclude(const Task& task, const SessionEngine::Outcome& outcome, const SessionManager::Success& success,
    const SessionManager::Failure& failure)
{
    if (outcome.transportFailed) {
        if (failure)
            failure(task,
                HttpError(outcome.transportCode, outcome.transportMessage, task.statusCode(), outcome.body));
        return;
    }
    int status = task.statusCode();
    bool blank = isBlank(outcome.body);
    foundation::JsonResult parsed = blank ? foundation::JsonResult {} : foundation::parseJson(outcome.body);
    if (status < 200 || status > 299) {
        std::string reason = outcome.reason.empty() ? "unexpected status" : outcome.reason;
        if (failure) {
            failure(task,
                HttpError(HttpError::Code::BadStatus,
                    "Request failed: " + reason + " (" + std::to_string(status) + ")", status, outcome.body,
                    parsed.ok() ? parsed.value : foundation::Value()));
        }
        return;
    }
    if (!parsed.ok()) {
        if (failure) {
            failure(task,
                HttpError(HttpError::Code::CannotParseResponse,
                    "The server's answer could not be read as JSON: " + parsed.error, status, outcome.body));
        }
        return;
    }
    if (success)
        success(task, parsed.value);
}

}

SessionManager::SessionManager()
    : m_engine(std::make_shared<SessionEngine>())
{
}

SessionManager::~SessionManager() = default;

std::shared_ptr<Task> SessionManager::get(
    std::string_view url, const foundation::Value& parameters, Success success, Failure failure)
{
    return request("GET", url, parameters, std::move(success), std::move(failure));
}

std::shared_ptr<Task> SessionManager::post(
    std::string_view url, const foundation::Value& parameters, Success success, Failure failure)
{
    return request("POST", url, parameters, std::move(success), std::move(failure));
}

std::shared_ptr<Task> SessionManager::put(
    std::string_view url, const foundation::Value& parameters, Success success, Failure failure)
{
    return request("PUT", url, parameters, std::move(success), std::move(failure));
}

std::shared_ptr<Task> SessionManager::del(
    std::string_view url, const foundation::Value& parameters, Success success, Failure failure)
{
    return request("DELETE", url, parameters, std::move(success), std::move(failure));
}

std::shared_ptr<Task> SessionManager::request(std::string_view method, std::string_view url,
    const foundation::Value& parameters, Success success, Failure failure)
{
    return send(method, url, parameters, std::move(success), std::move(failure), false);
}

std::shared_ptr<Task> SessionManager::requestAndWait(std::string_view method, std::string_view url,
    const foundation::Value& parameters, Success success, Failure failure)
{
    return send(method, url, parameters, std::move(success), std::move(failure), true);
}

std::shared_ptr<Task> SessionManager::send(std::string_view method, std::string_view url,
    const foundation::Value& parameters, Success success, Failure failure, bool wait)
{
    std::string verb = uppercased(method);
    bool sendsBody = verb == "POST" || verb == "PUT" || verb == "PATCH";
    Task::Headers headers { { "Accept", "application/json" } };
    std::string body;
    std::string target;
    if (sendsBody) {
        target = url;
        if (!parameters.isNull()) {
            body = foundation::toJson(parameters);
            headers.emplace_back("Content-Type", "application/json");
        }
    } else {
        target = appendQuery(url, queryString(parameters));
    }
    for (const auto& header : m_headers) {
        std::erase_if(headers, [&](const auto& existing) { return sameName(existing.first, header.first); });
        headers.push_back(header);
    }

    auto task
        = std::make_shared<Task>(std::move(verb), std::move(target), std::move(headers), std::move(body));
    SessionEngine::Options options;
    options.sendsBody = sendsBody;
    options.connectTimeout = m_connectTimeout;
    options.timeout = m_timeout;
    options.maximumResponseSize = m_maximumResponseSize;
    options.trustCheck = m_trustCheck;
    auto completion
        = [success = std::move(success), failure = std::move(failure)](const Task& finished,
              const SessionEngine::Outcome& outcome) { conclude(finished, outcome, success, failure); };
    if (wait)
        m_engine->perform(task, options, completion);
    else
        m_engine->start(task, options, std::move(completion));
    return task;
}

void SessionManager::setTrustCheck(TrustCheck check)
{
    m_trustCheck = check ? std::make_shared<const TrustCheck>(std::move(check)) : nullptr;
}

void SessionManager::setHeader(std::string_view name, std::string_view value)
{
    for (auto& header : m_headers) {
        if (sameName(header.first, name)) {
            header.second = value;
            return;
        }
    }
    m_headers.emplace_back(name, value);
}

void SessionManager::removeHeader(std::string_view name)
{
    std::erase_if(m_headers, [&](const auto& header) { return sameName(header.first, name); });
}

std::optional<std::string> SessionManager::header(std::string_view name) const
{
    for (const auto& header : m_headers) {
        if (sameName(header.first, name))
            return header.second;
    }
    return std::nullopt;
}

}
