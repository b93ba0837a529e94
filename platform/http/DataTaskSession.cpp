#include "platform/http/DataTaskSession.h"

#include "platform/http/SessionEngine.h"

#include <memory>

namespace platform::http {

DataTaskSession& DataTaskSession::shared()
{
    // Never destroyed: a task still under way when the process ends must not find the session gone.
    static auto* session = new DataTaskSession;
    return *session;
}

DataTaskSession::DataTaskSession(std::size_t threads)
    : m_queue("com.zorvik.http.data-tasks", foundation::DispatchQueue::Kind::Concurrent, threads)
{
}

void DataTaskSession::dataTask(UrlRequest request, Completion completion)
{
    m_queue.async([request = std::move(request), completion = std::move(completion)] {
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
    });
}

void DataTaskSession::waitUntilIdle()
{
    m_queue.waitUntilIdle();
}

}
