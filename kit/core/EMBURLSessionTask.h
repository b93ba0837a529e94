#pragma once

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Error.h"
#include "platform/http/SessionEngine.h"
#include "platform/http/UrlLoading.h"
#include "platform/http/UrlRequest.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace kit {

class EMBURLSessionTask;
class EMBURLSessionDataTask;
class EMBURLSessionDownloadTask;

/// What a task tells the session that made it (the session is every task's delegate). Called on the task's
/// queue, except startConnection() and challengeWasCancelled(), which run on the main queue.
class EMBURLSessionTaskDelegate {
public:
    virtual ~EMBURLSessionTaskDelegate() = default;

    /// Sends `connection` on the session's transfer engine; `ended` runs once on the main queue, unless the
    /// connection is cancelled first.
    virtual void startConnection(const std::shared_ptr<platform::http::Task>& connection, double timeout,
        platform::http::SessionEngine::Completion ended)
        = 0;
    /// Whether the caller refused the last TLS challenge of `host`.
    virtual bool challengeWasCancelled(const std::string& host) const = 0;

    virtual void taskDidReceiveResponse(EMBURLSessionTask& task, const platform::http::HttpResponse& response)
        = 0;
    virtual void taskDidReceiveData(EMBURLSessionDataTask& task, const std::string& data) = 0;
    /// The session removes the file (cleanup()) once its caller has seen it.
    virtual void downloadTaskDidFinishDownloading(
        EMBURLSessionDownloadTask& task, const std::filesystem::path& location)
        = 0;
    virtual void taskDidComplete(
        EMBURLSessionTask& task, const std::optional<platform::foundation::Error>& error)
        = 0;
};

/// One request of an EMBURLSession, made unstarted by the session's factories. resume() sends it; it then
/// ends once: with the answer (whatever its status), a transport failure, or the cancellation error
/// (UrlLoading::kCancelled) after cancel(). Its callbacks run one at a time, in order, on a serial queue of
/// its own ("com.ember.URLSessionTask"); the completion handler, when one was given, runs there first and
/// replaces the session delegate's task callbacks. Thread-safe.
class EMBURLSessionTask : public std::enable_shared_from_this<EMBURLSessionTask> {
public:
    virtual ~EMBURLSessionTask();
    EMBURLSessionTask(const EMBURLSessionTask&) = delete;
    EMBURLSessionTask& operator=(const EMBURLSessionTask&) = delete;

    /// The request sent, with the session's additional headers.
    const platform::http::UrlRequest& originalRequest() const { return m_originalRequest; }
    /// The answer, once it has arrived.
    std::optional<platform::http::HttpResponse> response() const;
    /// The failure, once there is one.
    std::optional<platform::foundation::Error> error() const;

    /// Free text for the caller.
    std::string taskDescription() const;
    void setTaskDescription(std::string description);

    /// False when a completion handler was given: the session's delegate then hears nothing of the task.
    bool invokesDelegate() const { return m_invokesDelegate; }

    /// Sends the request; later calls do nothing.
    void resume();
    /// Stops the request; a task that has not ended then ends with the cancellation error.
    void cancel();

protected:
    EMBURLSessionTask(platform::http::UrlRequest request, std::weak_ptr<EMBURLSessionTaskDelegate> delegate,
        bool invokesDelegate);

    /// The body to send, or nullopt when it cannot be had (the task then fails).
    virtual std::optional<std::string> bodyToSend() const { return m_originalRequest.body; }
    /// Takes the answer's body, on the task's queue.
    virtual void receive(std::string body) = 0;
    /// Hands the outcome to the completion handler and the session, on the task's queue.
    virtual void complete() = 0;

    std::shared_ptr<EMBURLSessionTaskDelegate> delegate() const { return m_delegate.lock(); }
    /// Records `error` unless the task has failed already.
    void setErrorIfNone(platform::foundation::Error error);

private:
    void startOnMainQueue();
    void cancelOnMainQueue();
    void connectionEnded(
        const platform::http::Task& connection, const platform::http::SessionEngine::Outcome& outcome);
    void end(std::optional<platform::http::HttpResponse> response,
        std::optional<platform::foundation::Error> error, std::string body);

    platform::http::UrlRequest m_originalRequest;
    std::weak_ptr<EMBURLSessionTaskDelegate> m_delegate;
    bool m_invokesDelegate { true };
    std::atomic<bool> m_resumed { false };
    // The main queue's: whether the task has ended, and its transfer.
    bool m_ended { false };
    std::shared_ptr<platform::http::Task> m_connection;

    mutable std::mutex m_mutex;
    std::optional<platform::http::HttpResponse> m_response;
    std::optional<platform::foundation::Error> m_error;
    std::string m_taskDescription;

    platform::foundation::DispatchQueue m_queue { "com.ember.URLSessionTask" };
};

/// A task whose answer body is handed over in memory.
class EMBURLSessionDataTask : public EMBURLSessionTask {
public:
    /// The body (nullopt when no byte came), the answer and the failure.
    using CompletionHandler = std::function<void(const std::optional<std::string>& data,
        const std::optional<platform::http::HttpResponse>& response,
        const std::optional<platform::foundation::Error>& error)>;

    /// Made by EMBURLSession (public for std::make_shared).
    EMBURLSessionDataTask(platform::http::UrlRequest request,
        std::weak_ptr<EMBURLSessionTaskDelegate> delegate, CompletionHandler completionHandler);

protected:
    void receive(std::string body) override;
    void complete() override;

private:
    CompletionHandler m_completionHandler;
    std::optional<std::string> m_data;
};

/// A data task whose request body is read from a file when it starts.
class EMBURLSessionUploadTask final : public EMBURLSessionDataTask {
public:
    /// Made by EMBURLSession (public for std::make_shared).
    EMBURLSessionUploadTask(platform::http::UrlRequest request, std::filesystem::path bodyFile,
        std::weak_ptr<EMBURLSessionTaskDelegate> delegate, CompletionHandler completionHandler);

protected:
    std::optional<std::string> bodyToSend() const override;

private:
    std::filesystem::path m_bodyFile;
};

/// A task whose answer body is written to a temporary file, which lives until the caller has seen it (the
/// completion handler, then the delegate's didFinishDownloadingToURL) and is removed after.
class EMBURLSessionDownloadTask final : public EMBURLSessionTask {
public:
    /// The error domain of a download that could not be written to its file (code -1).
    static constexpr const char* kErrorDomain { "EMBURLSessionDownloadTaskError" };

    /// The file (existing only while the caller is told of it), the answer and the failure.
    using CompletionHandler = std::function<void(const std::filesystem::path& location,
        const std::optional<platform::http::HttpResponse>& response,
        const std::optional<platform::foundation::Error>& error)>;

    /// Made by EMBURLSession (public for std::make_shared).
    EMBURLSessionDownloadTask(platform::http::UrlRequest request,
        std::weak_ptr<EMBURLSessionTaskDelegate> delegate, CompletionHandler completionHandler);

    /// The temporary file of the download: a name unique in the process, in the temporary folder.
    const std::filesystem::path& targetURL() const { return m_targetURL; }
    /// Removes the file, if any.
    void cleanup();

protected:
    void receive(std::string body) override;
    void complete() override;

private:
    CompletionHandler m_downloadCompletionHandler;
    std::filesystem::path m_targetURL;
};

}
