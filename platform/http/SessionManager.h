#pragma once

#include "platform/foundation/Value.h"
#include "platform/http/HttpError.h"
#include "platform/http/Task.h"
#include "platform/http/TrustChallenge.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform::http {

class SessionEngine;

/// The one HTTP session of the process: JSON requests, default headers, and
/// outcomes delivered on the main queue.
///
/// POST and PUT send their parameters as a JSON body (Content-Type:
/// application/json); GET and DELETE put them in the URL query. Every request
/// asks for Accept: application/json. A 2xx answer whose body is JSON (or
/// empty, giving null) calls `success` with the parsed value (mutable
/// containers); anything else calls `failure`. Exactly one of the two runs per
/// request, on the main queue, unless the task is cancelled or the manager is
/// destroyed first, in which case neither runs.
///
/// A POST or PATCH always goes out on a new connection, so that it is never
/// sent twice; other requests may be sent once more on a new connection when
/// one kept open from an earlier request closes without answering.
///
/// Make it with std::make_shared and use it from the main thread. Transfers
/// make progress while the main queue runs or waits (see EventSource): a
/// request is sent and its answer read on the main thread, so the queue must
/// turn for a request to end, except with requestAndWait().
class SessionManager {
public:
    using Success = std::function<void(const Task& task, const foundation::Value& responseObject)>;
    using Failure = std::function<void(const Task& task, const HttpError& error)>;
    /// Decides whether a TLS peer is trusted. Runs during the handshake, on
    /// the main thread inside the main queue's wait (or on the thread of
    /// requestAndWait()), so it must neither wait for the main queue nor
    /// send requests.
    using TrustCheck = std::function<bool(const TrustChallenge& challenge)>;

    /// A session with no default headers besides Accept, and the default time-outs.
    SessionManager();
    /// Cancels every request in flight; none of their callbacks runs.
    ~SessionManager();
    SessionManager(const SessionManager&) = delete;
    SessionManager& operator=(const SessionManager&) = delete;

    /// Sends a GET to `url` with `parameters` (a Dictionary or null) in the query.
    std::shared_ptr<Task> get(
        std::string_view url, const foundation::Value& parameters, Success success, Failure failure);
    /// Sends a POST to `url` with `parameters` as the JSON body (null sends no body).
    std::shared_ptr<Task> post(
        std::string_view url, const foundation::Value& parameters, Success success, Failure failure);
    /// Sends a PUT to `url` with `parameters` as the JSON body (null sends no body).
    std::shared_ptr<Task> put(
        std::string_view url, const foundation::Value& parameters, Success success, Failure failure);
    /// Sends a DELETE to `url` with `parameters` (a Dictionary or null) in the query.
    std::shared_ptr<Task> del(
        std::string_view url, const foundation::Value& parameters, Success success, Failure failure);
    /// Sends `method` (GET, POST, PUT, PATCH or DELETE) with the body/query rule
    /// above (PATCH as POST).
    std::shared_ptr<Task> request(std::string_view method, std::string_view url,
        const foundation::Value& parameters, Success success, Failure failure);

    /// Sends a request as request() does, but on the calling thread, and
    /// returns once it has ended and `success` or `failure` has run there,
    /// without turning the main queue (for a report that cannot wait for the
    /// queue, such as one sent at launch). It uses a connection of its own and
    /// blocks for up to the time-out.
    std::shared_ptr<Task> requestAndWait(std::string_view method, std::string_view url,
        const foundation::Value& parameters, Success success, Failure failure);

    /// Sets a default header sent with every later request (replacing any
    /// earlier value of that name, compared case-insensitively).
    void setHeader(std::string_view name, std::string_view value);
    /// Removes a default header.
    void removeHeader(std::string_view name);
    /// The default header `name`, or nullopt.
    std::optional<std::string> header(std::string_view name) const;

    /// Seconds allowed to establish a connection (default 30).
    double connectTimeout() const { return m_connectTimeout; }
    void setConnectTimeout(double seconds) { m_connectTimeout = seconds; }
    /// Seconds allowed for a whole request, connection included (default 60).
    double timeout() const { return m_timeout; }
    void setTimeout(double seconds) { m_timeout = seconds; }

    /// Bytes of body accepted in one answer (default 32 MiB). A larger answer
    /// ends its transfer and fails with HttpError::Code::ResponseTooLarge.
    std::size_t maximumResponseSize() const { return m_maximumResponseSize; }
    void setMaximumResponseSize(std::size_t bytes) { m_maximumResponseSize = bytes; }

    /// Replaces OpenSSL's verdict on HTTPS peers' chains with `check` (null
    /// restores the default: verification against the system's trust store).
    /// The host name is checked against the leaf either way. Set it before the
    /// first HTTPS request: connections already open keep the verdict they got.
    void setTrustCheck(TrustCheck check);

private:
    std::shared_ptr<Task> send(std::string_view method, std::string_view url,
        const foundation::Value& parameters, Success success, Failure failure, bool wait);

    Task::Headers m_headers;
    double m_connectTimeout { 30 };
    double m_timeout { 60 };
    std::size_t m_maximumResponseSize { 32 * 1024 * 1024 };
    std::shared_ptr<const TrustCheck> m_trustCheck;
    std::shared_ptr<SessionEngine> m_engine;
};

}
