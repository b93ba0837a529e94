#pragma once

#include "kit/core/EMBURLSessionConfiguration.h"
#include "kit/core/EMBURLSessionDelegate.h"
#include "kit/core/EMBURLSessionTask.h"

#include "platform/foundation/OperationQueue.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace kit {

/// The URL session of the kits: tasks made from requests, sent on a transfer engine of the session's own
/// that the main queue drives, with their progress told to a delegate on a delegate queue.
///
/// The delegate is held weakly, until the session is invalidated. Tasks created with a completion handler
/// report to it alone; the others report to the delegate (response, data, downloaded file, completion), as
/// operations of the delegate queue. A running task keeps its session alive until it has ended.
/// Thread-safe; make it with sessionWithConfiguration().
class EMBURLSession final : public EMBURLSessionTaskDelegate,
                            public std::enable_shared_from_this<EMBURLSession> {
public:
    using DataTasks = std::vector<std::shared_ptr<EMBURLSessionDataTask>>;
    using UploadTasks = std::vector<std::shared_ptr<EMBURLSessionUploadTask>>;
    using DownloadTasks = std::vector<std::shared_ptr<EMBURLSessionDownloadTask>>;

    /// False: this platform has no URL session of its own, so the session's own tasks always run.
    static bool NSURLSessionShouldBeUsed() { return false; }

    /// A session of a copy of `configuration` (null: no session), with `delegate` and `delegateQueue`; a
    /// delegate given without a queue gets newDefaultDelegateQueue().
    static std::shared_ptr<EMBURLSession> sessionWithConfiguration(
        const std::shared_ptr<const EMBURLSessionConfiguration>& configuration,
        std::weak_ptr<EMBURLSessionDelegate> delegate = {},
        std::shared_ptr<platform::foundation::OperationQueue> delegateQueue = nullptr);
    /// A queue running one operation at a time, named after the class and the queue.
    static std::shared_ptr<platform::foundation::OperationQueue> newDefaultDelegateQueue();

    /// Made by sessionWithConfiguration() (public for std::make_shared).
    EMBURLSession(std::shared_ptr<EMBURLSessionConfiguration> configuration,
        std::weak_ptr<EMBURLSessionDelegate> delegate,
        std::shared_ptr<platform::foundation::OperationQueue> delegateQueue);
    ~EMBURLSession() override;

    /// A task sending `request`; `completionHandler`, when given, replaces the delegate's task callbacks.
    std::shared_ptr<EMBURLSessionDataTask> dataTaskWithRequest(platform::http::UrlRequest request,
        EMBURLSessionDataTask::CompletionHandler completionHandler = nullptr);
    /// A task sending `request` with the content of `file` as its body (read when the task starts; a
    /// missing file fails it with UrlLoading::kFileDoesNotExist).
    std::shared_ptr<EMBURLSessionUploadTask> uploadTaskWithRequest(platform::http::UrlRequest request,
        std::filesystem::path file, EMBURLSessionDataTask::CompletionHandler completionHandler = nullptr);
    /// A task downloading `request`'s answer into a temporary file.
    std::shared_ptr<EMBURLSessionDownloadTask> downloadTaskWithRequest(platform::http::UrlRequest request,
        EMBURLSessionDownloadTask::CompletionHandler completionHandler = nullptr);
    /// downloadTaskWithRequest() of a plain GET of `url`.
    std::shared_ptr<EMBURLSessionDownloadTask> downloadTaskWithURL(std::string url);

    /// Calls `completion` as an operation of the delegate queue (never without one) with three empty lists:
    /// the session does not report its running tasks.
    void getTasksWithCompletionHandler(
        std::function<void(const DataTasks&, const UploadTasks&, const DownloadTasks&)> completion);

    /// Lets go of the delegate and of every task, then cancels the tasks that have not ended (at once when
    /// called on the main thread): each still ends once, with the cancellation error.
    void invalidateAndCancel();
    /// Lets go of the delegate; running tasks go on and tell no one but their completion handlers.
    void finishTasksAndInvalidate();
    /// Whether the session has been invalidated: its owner should start no more tasks on it.
    bool isInvalidated() const;

    std::shared_ptr<EMBURLSessionDelegate> delegate() const;
    const std::shared_ptr<platform::foundation::OperationQueue>& delegateQueue() const
    {
        return m_delegateQueue;
    }
    const EMBURLSessionConfiguration& configuration() const { return *m_configuration; }
    std::string sessionDescription() const;
    void setSessionDescription(std::string description);

    void startConnection(const std::shared_ptr<platform::http::Task>& connection, double timeout,
        platform::http::SessionEngine::Completion ended) override;
    bool challengeWasCancelled(const std::string& host) const override;
    void taskDidReceiveResponse(
        EMBURLSessionTask& task, const platform::http::HttpResponse& response) override;
    void taskDidReceiveData(EMBURLSessionDataTask& task, const std::string& data) override;
    void downloadTaskDidFinishDownloading(
        EMBURLSessionDownloadTask& task, const std::filesystem::path& location) override;
    void taskDidComplete(
        EMBURLSessionTask& task, const std::optional<platform::foundation::Error>& error) override;

private:
    /// Adds the configuration's headers to `request` and the task to the set.
    void configureTask(const std::shared_ptr<EMBURLSessionTask>& task);
    platform::http::UrlRequest withAdditionalHeaders(platform::http::UrlRequest request) const;
    /// The delegate, when `task` reports to it and it implements `callback`.
    std::shared_ptr<EMBURLSessionDelegate> delegateFor(
        EMBURLSessionDelegate::Callback callback, const EMBURLSessionTask& task) const;
    /// Runs `operation` on the delegate queue, or at once without one.
    void onDelegateQueue(std::function<void()> operation) const;
    void removeTask(const EMBURLSessionTask& task);
    /// The delegate's answer to a TLS challenge (on the main thread, during the handshake).
    bool answerChallenge(const platform::http::TrustChallenge& challenge);

    std::shared_ptr<EMBURLSessionConfiguration> m_configuration;
    std::shared_ptr<platform::foundation::OperationQueue> m_delegateQueue;

    mutable std::mutex m_mutex;
    std::weak_ptr<EMBURLSessionDelegate> m_delegate;
    std::vector<std::shared_ptr<EMBURLSessionTask>> m_taskSet;
    std::string m_sessionDescription;
    bool m_invalidated { false };

    // The main queue's: the engine, the check it asks on TLS handshakes, the hosts whose last challenge the
    // delegate refused.
    std::shared_ptr<platform::http::SessionEngine> m_engine;
    std::shared_ptr<const std::function<bool(const platform::http::TrustChallenge&)>> m_trustCheck;
    std::set<std::string> m_cancelledChallengeHosts;
};

}
