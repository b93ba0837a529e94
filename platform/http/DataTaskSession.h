#pragma once

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Error.h"
#include "platform/http/UrlLoading.h"
#include "platform/http/UrlRequest.h"

#include <functional>
#include <optional>
#include <string>

namespace platform::http {

/// A URL session whose data tasks run on threads of their own and report there, not on the main queue: each
/// task sends its request on one of the session's threads and calls its completion on that same thread with
/// the body, the response (when an answer came, whatever its status) and the transport error (when none
/// did). For code that has to work while the main queue is busy or does not turn. Each task is an activity
/// of the process (ProcessInfo) until its completion has returned, so that the program ends only after it.
/// Thread-safe.
class DataTaskSession {
public:
    using Completion = std::function<void(const std::string& body,
        const std::optional<HttpResponse>& response, const std::optional<foundation::Error>& error)>;

    /// The process's shared session: never destroyed, and waited for (waitUntilIdle()) at exit.
    static DataTaskSession& shared();

    /// A session with `threads` threads of its own.
    explicit DataTaskSession(std::size_t threads = foundation::DispatchQueue::kDefaultConcurrency);

    /// Starts sending `request`; `completion` runs once, on the session's thread, when it has ended.
    void dataTask(UrlRequest request, Completion completion);

    /// Waits until every task started so far (and every task those tasks' completions started) has ended.
    void waitUntilIdle();

private:
    foundation::DispatchQueue m_queue;
};

}
