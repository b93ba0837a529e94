#pragma once

#include "platform/foundation/EventSource.h"
#include "platform/http/HttpError.h"
#include "platform/http/Task.h"
#include "platform/http/TrustChallenge.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace platform::http {

/// The transfer machinery behind a SessionManager: one libcurl multi handle,
/// driven from the main queue's own wait (its sockets and time-out are an
/// event source of the queue), so that an answer is read and handed to its
/// completion on the main thread without a thread in between. Easy handles
/// are kept for reuse. It knows nothing of JSON; it sends bytes and hands
/// back what came.
class SessionEngine : public std::enable_shared_from_this<SessionEngine>, private foundation::EventSource {
public:
    /// What to send, besides what the task itself holds.
    struct Options {
        /// Whether the request carries a body (POST and PUT do, even an empty one).
        bool sendsBody { false };
        double connectTimeout { 30 };
        double timeout { 60 };
        /// Bytes of body accepted in one answer; a larger one ends the transfer as a failure.
        std::size_t maximumResponseSize { 32 * 1024 * 1024 };
        /// Replaces OpenSSL's verdict on the peer's chain; null keeps it.
        std::shared_ptr<const std::function<bool(const TrustChallenge&)>> trustCheck;
    };

    /// What came back besides the status and headers, which go on the task.
    /// `transportFailed` is set when no complete answer came.
    struct Outcome {
        bool transportFailed { false };
        HttpError::Code transportCode { HttpError::Code::Other };
        std::string transportMessage;
        /// The failure's code in UrlLoading::kErrorDomain (0 when an answer came).
        int loadingCode { 0 };
        /// The answer's reason phrase, lower-cased ("not found").
        std::string reason;
        std::string body;
    };

    using Completion = std::function<void(const Task& task, const Outcome& outcome)>;

    /// Registers with the main queue. Make it on the main thread.
    SessionEngine();
    /// Drops every transfer; no completion runs afterwards.
    ~SessionEngine() override;
    SessionEngine(const SessionEngine&) = delete;
    SessionEngine& operator=(const SessionEngine&) = delete;

    /// Starts sending `task`. `completion` runs once as a task of the main
    /// queue, unless the task is cancelled or this engine is destroyed first.
    /// Call on the main thread, holding the engine through a shared_ptr.
    void start(const std::shared_ptr<Task>& task, const Options& options, Completion completion);

    /// Sends `task` on the calling thread and returns when it has ended, with
    /// `completion` run, without turning the main queue: on a connection of
    /// its own, since the engine's connections belong to the main queue.
    static void perform(
        const std::shared_ptr<Task>& task, const Options& options, const Completion& completion);

    /// Stops `task` (called by Task::cancel()).
    void cancel(const Task& task);

private:
    struct Impl;
    /// Puts the answer's status and headers on `task`.
    static void applyResponse(Task& task, int statusCode, Task::Headers headers);

    std::optional<Deadline> prepare(std::vector<pollfd>& descriptors) override;
    void dispatch(std::span<const pollfd> descriptors) override;

    std::unique_ptr<Impl> m_impl;
};

}
