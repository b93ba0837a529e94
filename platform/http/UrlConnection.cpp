#include "platform/http/UrlConnection.h"

#include "platform/http/SessionEngine.h"
#include "platform/http/Task.h"
#include "platform/http/Url.h"

namespace platform::http {

std::shared_ptr<UrlConnection> UrlConnection::start(
    const std::shared_ptr<SessionEngine>& engine, const UrlRequest& request, Callbacks callbacks)
{
    bool web = request.url.starts_with("http://") || request.url.starts_with("https://");
    if (!engine || !web || !isValidUrl(request.url))
        return nullptr;
    auto task = std::make_shared<Task>(request.method, request.url, request.headers, request.body);
    SessionEngine::Options options;
    options.sendsBody = request.method == "POST" || request.method == "PUT" || request.method == "PATCH";
    options.timeout = request.timeoutInterval;
    engine->start(task, options,
        [callbacks = std::move(callbacks)](const Task& ended, const SessionEngine::Outcome& outcome) {
            if (outcome.transportFailed) {
                if (callbacks.didFailWithError)
                    callbacks.didFailWithError(
                        UrlLoading::error(outcome.loadingCode, outcome.transportMessage, ended.url()));
                return;
            }
            if (callbacks.didReceiveResponse)
                callbacks.didReceiveResponse(
                    HttpResponse { ended.url(), ended.statusCode(), ended.responseHeaders() });
            if (!outcome.body.empty() && callbacks.didReceiveData)
                callbacks.didReceiveData(outcome.body);
            if (callbacks.didFinishLoading)
                callbacks.didFinishLoading();
        });
    return std::make_shared<UrlConnection>(std::move(task));
}

UrlConnection::UrlConnection(std::shared_ptr<Task> task)
    : m_task(std::move(task))
{
}

void UrlConnection::cancel()
{
    m_task->cancel();
}

}
