#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace testing {

/// A server on 127.0.0.1 that answers every request with the same bytes,
/// written as they are: for answers an HTTP server library would refuse to
/// send (a body shorter than its Content-Length, broken chunked encoding, a
/// body that stalls half-way).
///
/// It serves one connection at a time on its own thread: reads the request
/// (headers, and a body of the length they give), writes the answer, waits
/// `stallSeconds` (cut short when the server stops), then closes the
/// connection. All members are thread-safe.
class RawAnswerServer {
public:
    /// Starts serving `answer` on a port the system picks.
    explicit RawAnswerServer(std::string answer, double stallSeconds = 0);
    /// Stops the server and waits for its thread.
    ~RawAnswerServer();
    RawAnswerServer(const RawAnswerServer&) = delete;
    RawAnswerServer& operator=(const RawAnswerServer&) = delete;

    /// "http://127.0.0.1:<port>" followed by `path`.
    std::string url(std::string_view path) const;
    /// The number of requests read so far.
    int requestCount() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}
