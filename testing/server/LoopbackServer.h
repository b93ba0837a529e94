#pragma once

#include "testing/server/ServerRequest.h"
#include "testing/server/ServerResponse.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing {

/// An HTTP server inside the test process, on 127.0.0.1 and a port the system
/// picks, serving on its own threads from construction until stop() or
/// destruction.
///
/// Requests are answered, in this order of precedence, by: an answer scripted
/// for the next requests (scriptNext), an answer scripted for a route (script,
/// latest first), the handler of the most specific matching route, else 404
/// with {"error":"not found"}. Every request is recorded before it is answered.
///
/// Patterns are paths whose segments may be ":name" (matches one segment,
/// available as a parameter) or a final "*" (matches the rest, possibly
/// nothing). The method "*" matches every method, and a GET route answers
/// HEAD too. Among matching routes a literal segment beats ":name" position
/// by position, then a pattern without "*" beats one with it, then the longer
/// pattern wins; between equals the route added last wins, so adding a route
/// again replaces it.
///
/// All members are thread-safe; handlers run on the server's threads.
class LoopbackServer {
public:
    using Handler = std::function<ServerResponse(const ServerRequest& request)>;
    /// Told of each answer as it goes out: the request and the status (0 for a dropped connection).
    using AnswerObserver = std::function<void(const ServerRequest& request, int status)>;

    /// The files of a TLS identity, both PEM.
    struct TlsIdentity {
        std::string certificateFile;
        std::string privateKeyFile;
    };

    /// Starts a plain HTTP server.
    LoopbackServer();
    /// Starts an HTTPS server presenting `identity`.
    explicit LoopbackServer(const TlsIdentity& identity);
    /// Stops the server.
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    /// The port the server listens on.
    int port() const;
    /// "http://127.0.0.1:<port>" (or "https://...").
    std::string baseUrl() const;
    /// baseUrl() followed by `path` ("/api/freelancers").
    std::string url(std::string_view path) const;

    /// Answers `method` requests whose path matches `pattern` with `handler`.
    void route(std::string_view method, std::string_view pattern, Handler handler);
    /// Answers `method` requests matching `pattern` with `response`: the next
    /// `times` of them, or all of them when `times` is nullopt.
    void script(std::string_view method, std::string_view pattern, ServerResponse response,
        std::optional<std::size_t> times = std::nullopt);
    /// Answers the next `count` requests, whatever their route, with `response`.
    void scriptNext(ServerResponse response, std::size_t count = 1);
    /// Forgets every scripted answer (routes stay).
    void clearScripts();

    /// Every request received so far, oldest first.
    std::vector<ServerRequest> requests() const;
    /// The number of requests received so far.
    std::size_t requestCount() const;
    /// The latest request received, or nullopt.
    std::optional<ServerRequest> lastRequest() const;
    /// Forgets the requests received so far.
    void clearRequests();
    /// Sets who is told of each answer (on the server's threads), or none when empty.
    void setAnswerObserver(AnswerObserver observer);
    /// Waits (in real time) until `count` requests have been received in all.
    /// Returns whether they were.
    bool waitForRequests(
        std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;

    /// Stops listening, cuts delayed answers short and waits for the server's
    /// threads. Safe to call twice.
    void stop();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}
