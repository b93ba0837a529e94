#include "kit/core/EMBURLSession.h"

#include "platform/foundation/MainQueue.h"

#include <cstdio>

namespace kit {

using platform::foundation::Error;
using platform::foundation::mainQueue;
using platform::foundation::OperationQueue;
using platform::http::HttpResponse;
using platform::http::SessionEngine;
using platform::http::UrlRequest;
using Callback = EMBURLSessionDelegate::Callback;

std::shared_ptr<EMBURLSession> EMBURLSession::sessionWithConfiguration(
    const std::shared_ptr<const EMBURLSessionConfiguration>& configuration,
    std::weak_ptr<EMBURLSessionDelegate> delegate, std::shared_ptr<OperationQueue> delegateQueue)
{
    if (!configuration)
        return nullptr;
    if (!delegate.expired() && !delegateQueue)
        delegateQueue = newDefaultDelegateQueue();
    return std::make_shared<EMBURLSession>(
        configuration->copy(), std::move(delegate), std::move(delegateQueue));
}

std::shared_ptr<OperationQueue> EMBURLSession::newDefaultDelegateQueue()
{
    static const char classTag = 0;
    char name[64];
    std::snprintf(name, sizeof name, "EMBURLSession %p", static_cast<const void*>(&classTag));
    return std::make_shared<OperationQueue>(name, 1);
}

EMBURLSession::EMBURLSession(std::shared_ptr<EMBURLSessionConfiguration> configuration,
    std::weak_ptr<EMBURLSessionDelegate> delegate, std::shared_ptr<OperationQueue> delegateQueue)
    : m_configuration(std::move(configuration))
    , m_delegateQueue(std::move(delegateQueue))
    , m_delegate(std::move(delegate))
{
}

// The engine is one of the main queue's event sources: it goes away on the main thread.
EMBURLSession::~EMBURLSession()
{
    if (m_engine && !mainQueue().isMainThread())
        mainQueue().async([engine = std::move(m_engine)] {});
}

std::shared_ptr<EMBURLSessionDataTask> EMBURLSession::dataTaskWithRequest(
    UrlRequest request, EMBURLSessionDataTask::CompletionHandler completionHandler)
{
    auto task = std::make_shared<EMBURLSessionDataTask>(
        withAdditionalHeaders(std::move(request)), weak_from_this(), std::move(completionHandler));
    configureTask(task);
    return task;
}

std::shared_ptr<EMBURLSessionUploadTask> EMBURLSession::uploadTaskWithRequest(UrlRequest request,
    std::filesystem::path file, EMBURLSessionDataTask::CompletionHandler completionHandler)
{
    request.body.clear();
    auto task = std::make_shared<EMBURLSessionUploadTask>(withAdditionalHeaders(std::move(request)),
        std::move(file), weak_from_this(), std::move(completionHandler));
    configureTask(task);
    return task;
}

std::shared_ptr<EMBURLSessionDownloadTask> EMBURLSession::downloadTaskWithRequest(
    UrlRequest request, EMBURLSessionDownloadTask::CompletionHandler completionHandler)
{
    auto task = std::make_shared<EMBURLSessionDownloadTask>(
        withAdditionalHeaders(std::move(request)), weak_from_this(), std::move(completionHandler));
    configureTask(task);
    return task;
}

std::shared_ptr<EMBURLSessionDownloadTask> EMBURLSession::downloadTaskWithURL(std::string url)
{
    UrlRequest request;
    request.url = std::move(url);
    return downloadTaskWithRequest(std::move(request));
}

UrlRequest EMBURLSession::withAdditionalHeaders(UrlRequest request) const
{
    for (const auto& header : m_configuration->HTTPAdditionalHeaders())
        request.headers.push_back(header);
    return request;
}

void EMBURLSession::configureTask(const std::shared_ptr<EMBURLSessionTask>& task)
{
    std::lock_guard lock(m_mutex);
    m_taskSet.push_back(task);
}

void EMBURLSession::getTasksWithCompletionHandler(
    std::function<void(const DataTasks&, const UploadTasks&, const DownloadTasks&)> completion)
{
    if (m_delegateQueue)
        m_delegateQueue->addOperation([completion = std::move(completion)] { completion({}, {}, {}); });
}

// The session lets go of its tasks: a task's completion handler may hold the session's owner, and a
// session holding the task would keep that owner alive for ever.
void EMBURLSession::invalidateAndCancel()
{
    std::vector<std::shared_ptr<EMBURLSessionTask>> tasks;
    {
        std::lock_guard lock(m_mutex);
        tasks.swap(m_taskSet);
        m_invalidated = true;
        m_delegate.reset();
    }
    for (const auto& task : tasks)
        task->cancel();
}

void EMBURLSession::finishTasksAndInvalidate()
{
    std::lock_guard lock(m_mutex);
    m_invalidated = true;
    m_delegate.reset();
}

bool EMBURLSession::isInvalidated() const
{
    std::lock_guard lock(m_mutex);
    return m_invalidated;
}

std::shared_ptr<EMBURLSessionDelegate> EMBURLSession::delegate() const
{
    std::lock_guard lock(m_mutex);
    return m_delegate.lock();
}

std::string EMBURLSession::sessionDescription() const
{
    std::lock_guard lock(m_mutex);
    return m_sessionDescription;
}

void EMBURLSession::setSessionDescription(std::string description)
{
    std::lock_guard lock(m_mutex);
    m_sessionDescription = std::move(description);
}

void EMBURLSession::startConnection(
    const std::shared_ptr<platform::http::Task>& connection, double timeout, SessionEngine::Completion ended)
{
    if (!m_engine) {
        m_engine = std::make_shared<SessionEngine>();
        m_trustCheck = std::make_shared<const std::function<bool(const platform::http::TrustChallenge&)>>(
            [weakSelf = weak_from_this()](const platform::http::TrustChallenge& challenge) {
                auto self = weakSelf.lock();
                return self ? self->answerChallenge(challenge) : challenge.systemTrusted;
            });
    }
    SessionEngine::Options options;
    const std::string& method = connection->method();
    // POST, PUT and PATCH send a body even when it is empty; GET and HEAD never do.
    options.sendsBody = method == "POST" || method == "PUT" || method == "PATCH"
        || (method != "GET" && method != "HEAD" && !connection->requestBody().empty());
    options.connectTimeout = timeout;
    options.timeout = timeout;
    options.trustCheck = m_trustCheck;
    m_engine->start(connection, options, std::move(ended));
}

bool EMBURLSession::answerChallenge(const platform::http::TrustChallenge& challenge)
{
    auto caller = delegate();
    auto disposition = EMBAuthChallengeDisposition::PerformDefaultHandling;
    if (caller && caller->respondsTo(Callback::DidReceiveChallenge)) {
        disposition = EMBAuthChallengeDisposition::CancelAuthenticationChallenge;
        caller->didReceiveChallenge(
            *this, challenge, [&disposition](EMBAuthChallengeDisposition answer) { disposition = answer; });
    }
    if (disposition == EMBAuthChallengeDisposition::CancelAuthenticationChallenge) {
        m_cancelledChallengeHosts.insert(challenge.host);
        return false;
    }
    m_cancelledChallengeHosts.erase(challenge.host);
    return disposition == EMBAuthChallengeDisposition::UseCredential || challenge.systemTrusted;
}

bool EMBURLSession::challengeWasCancelled(const std::string& host) const
{
    return m_cancelledChallengeHosts.contains(host);
}

std::shared_ptr<EMBURLSessionDelegate> EMBURLSession::delegateFor(
    Callback callback, const EMBURLSessionTask& task) const
{
    if (!task.invokesDelegate())
        return nullptr;
    auto caller = delegate();
    return caller && caller->respondsTo(callback) ? caller : nullptr;
}

void EMBURLSession::onDelegateQueue(std::function<void()> operation) const
{
    if (m_delegateQueue)
        m_delegateQueue->addOperation(std::move(operation));
    else
        operation();
}

void EMBURLSession::taskDidReceiveResponse(EMBURLSessionTask& task, const HttpResponse& response)
{
    auto caller = delegateFor(Callback::DidReceiveResponse, task);
    if (!caller)
        return;
    onDelegateQueue([self = shared_from_this(), caller, task = task.shared_from_this(), response] {
        caller->didReceiveResponse(*self, *task, response);
    });
}

void EMBURLSession::taskDidReceiveData(EMBURLSessionDataTask& task, const std::string& data)
{
    auto caller = delegateFor(Callback::DidReceiveData, task);
    if (!caller)
        return;
    onDelegateQueue([self = shared_from_this(), caller, task = task.shared_from_this(), data] {
        caller->didReceiveData(*self, static_cast<EMBURLSessionDataTask&>(*task), data);
    });
}

void EMBURLSession::downloadTaskDidFinishDownloading(
    EMBURLSessionDownloadTask& task, const std::filesystem::path& location)
{
    auto caller = delegateFor(Callback::DidFinishDownloading, task);
    if (!caller) {
        task.cleanup();
        return;
    }
    onDelegateQueue([self = shared_from_this(), caller, task = task.shared_from_this(), location] {
        auto& download = static_cast<EMBURLSessionDownloadTask&>(*task);
        caller->didFinishDownloadingToURL(*self, download, location);
        download.cleanup();
    });
}

void EMBURLSession::taskDidComplete(EMBURLSessionTask& task, const std::optional<Error>& error)
{
    auto caller = delegateFor(Callback::DidComplete, task);
    if (!caller) {
        removeTask(task);
        return;
    }
    onDelegateQueue([self = shared_from_this(), caller, task = task.shared_from_this(), error] {
        caller->didCompleteWithError(*self, *task, error);
        self->removeTask(*task);
    });
}

void EMBURLSession::removeTask(const EMBURLSessionTask& task)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_taskSet, [&](const auto& entry) { return entry.get() == &task; });
}

}
