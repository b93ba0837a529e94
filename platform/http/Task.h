#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::http {

class SessionEngine;

/// One request sent through a SessionManager. The manager hands it to the
/// caller when the request starts and to the outcome callback when it ends.
/// Request data are fixed at creation; response data are filled in before the
/// outcome callback runs and are read on the main queue.
class Task {
public:
    using Headers = std::vector<std::pair<std::string, std::string>>;

    /// Made by SessionManager only (public for std::make_shared).
    Task(std::string method, std::string url, Headers requestHeaders, std::string requestBody);

    /// "GET", "POST", "PUT" or "DELETE".
    const std::string& method() const { return m_method; }
    /// The full URL sent, query included.
    const std::string& url() const { return m_url; }
    /// The headers sent with the request, default headers included.
    const Headers& requestHeaders() const { return m_requestHeaders; }
    /// The body sent with the request (empty for GET and DELETE).
    const std::string& requestBody() const { return m_requestBody; }

    /// The HTTP status of the answer, or 0 when no answer arrived.
    int statusCode() const { return m_statusCode; }
    /// The answer's headers in the order received.
    const Headers& responseHeaders() const { return m_responseHeaders; }
    /// The answer's header `name` (case-insensitive), or nullopt.
    std::optional<std::string> responseHeader(std::string_view name) const;

    /// Stops the request. No outcome callback runs after cancel() returns
    /// (call it on the main queue). Cancelling a finished task does nothing.
    void cancel();
    /// True once cancel() was called.
    bool isCancelled() const { return m_cancelled.load(); }

private:
    friend class SessionEngine;

    std::string m_method;
    std::string m_url;
    Headers m_requestHeaders;
    std::string m_requestBody;
    int m_statusCode { 0 };
    Headers m_responseHeaders;
    std::atomic<bool> m_cancelled { false };
    std::weak_ptr<SessionEngine> m_engine;
};

}
