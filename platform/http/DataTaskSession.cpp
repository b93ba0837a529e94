#include "platform/http/DataTaskSession.h"

#include "platform/foundation/ProcessInfo.h"
#include "platform/http/SessionEngine.h"

#include <cstdlib>
#include <memory>

namespace platform::http {

DataTaskSession& DataTaskSession::shared()
{
    // Never destroyed, and waited for when the process ends, before the statics made earlier go: a task's
    // completion still under way then finds the session and what it uses in place.
    static auto* session = [] {
        auto* made = new DataTaskSession;
        std::atexit([] { shared().waitUntilIdle(); });
        return made;
    }();
    return *session;
}

DataTaskSession::DataTaskSession(std::size_t threads)
    : m_queue("com.zorvik.http.data-tasks", foundation::DispatchQueue::Kind::Concurrent, threads)
{
}

void DataTaskSession::dataTask(UrlRequest request, Completion completion)
{
    auto activity = foundation::ProcessInfo::processInfo().beginActivity(
        foundation::ProcessInfo::kActivitySuddenTerminationDisabled, "data task " + request.url);
    m_queue.async([request = std::move(request), completion = std::move(completion), activity] {
        auto task = std::make_shared<Task>(request.method, request.url, request.headers, request.body);
        SessionEngine::Options options;
        options.sendsBody = request.method == "POST" || request.method == "PUT" || request.method == "PATCH";
        options.connectTimeout = request.timeoutInterval;
        options.timeout = request.timeoutInterval;
        SessionEngine::perform(task, options, [&](const Task& sent, const SessionEngine::Outcome& outcome) {
            if (outcome.transportFailed) {
                completion(outcome.body, std::nullopt,
                    UrlLoading::error(outcome.loadingCode, outcome.transportMessage, request.url));
                return;
            }
            completion(outcome.body, HttpResponse { request.url, sent.statusCode(), sent.responseHeaders() },
                std::nullopt);
        });
        foundation::ProcessInfo::processInfo().endActivity(activity);
    });
}

void DataTaskSession::waitUntilIdle()
{
    m_queue.waitUntilIdle();
}

}
