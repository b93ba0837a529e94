#include "kit/core/EMBURLSessionTask.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/OutputStream.h"
#include "platform/foundation/Uuid.h"
#include "platform/http/Url.h"

#include <system_error>
#include <utility>

namespace kit {

using platform::foundation::Error;
using platform::foundation::mainQueue;
using platform::http::HttpResponse;
using platform::http::SessionEngine;
using platform::http::UrlLoading;
using platform::http::UrlRequest;

EMBURLSessionTask::EMBURLSessionTask(
    UrlRequest request, std::weak_ptr<EMBURLSessionTaskDelegate> delegate, bool invokesDelegate)
    : m_originalRequest(std::move(request))
    , m_delegate(std::move(delegate))
    , m_invokesDelegate(invokesDelegate)
{
}

EMBURLSessionTask::~EMBURLSessionTask() = default;

std::optional<HttpResponse> EMBURLSessionTask::response() const
{
    std::lock_guard lock(m_mutex);
    return m_response;
}

std::optional<Error> EMBURLSessionTask::error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

std::string EMBURLSessionTask::taskDescription() const
{
    std::lock_guard lock(m_mutex);
    return m_taskDescription;
}

void EMBURLSessionTask::setTaskDescription(std::string description)
{
    std::lock_guard lock(m_mutex);
    m_taskDescription = std::move(description);
}

void EMBURLSessionTask::setErrorIfNone(Error error)
{
    std::lock_guard lock(m_mutex);
    if (!m_error)
        m_error = std::move(error);
}

// The transfer engine belongs to the main queue: starting, cancelling and ending all happen there, in the
// order they were asked for.
void EMBURLSessionTask::resume()
{
    if (m_resumed.exchange(true))
        return;
    mainQueue().async([self = shared_from_this()] { self->startOnMainQueue(); });
}

// On the main thread the transfer stops at once: a cancel that waited for a main queue that is dropped
// unturned would leave the transfer holding its session (and the session its tasks) for ever.
void EMBURLSessionTask::cancel()
{
    if (mainQueue().isMainThread()) {
        cancelOnMainQueue();
        return;
    }
    mainQueue().async([self = shared_from_this()] { self->cancelOnMainQueue(); });
}

void EMBURLSessionTask::startOnMainQueue()
{
    if (m_ended)
        return;
    auto session = delegate();
    auto body = bodyToSend();
    if (!session || !body) {
        const std::string& url = m_originalRequest.url;
        end(std::nullopt,
            session
                ? UrlLoading::error(UrlLoading::kFileDoesNotExist, "The file to upload does not exist.", url)
                : UrlLoading::error(UrlLoading::kCancelled, "cancelled", url),
            {});
        return;
    }
    m_connection = std::make_shared<platform::http::Task>(
        m_originalRequest.method, m_originalRequest.url, m_originalRequest.headers, std::move(*body));
    // The session lives as long as its transfers.
    session->startConnection(m_connection, m_originalRequest.timeoutInterval,
        [self = shared_from_this(), session](const platform::http::Task& connection,
            const SessionEngine::Outcome& outcome) { self->connectionEnded(connection, outcome); });
}

void EMBURLSessionTask::cancelOnMainQueue()
{
    if (m_ended)
        return;
    if (m_connection)
        m_connection->cancel();
    end(std::nullopt, UrlLoading::error(UrlLoading::kCancelled, "cancelled", m_originalRequest.url), {});
}

void EMBURLSessionTask::connectionEnded(
    const platform::http::Task& connection, const SessionEngine::Outcome& outcome)
{
    if (m_ended)
        return;
    if (!outcome.transportFailed) {
        end(HttpResponse { connection.url(), connection.statusCode(), connection.responseHeaders() },
            std::nullopt, outcome.body);
        return;
    }
    int code = outcome.loadingCode;
    auto session = delegate();
    if (code == UrlLoading::kSecureConnectionFailed && session
        && session->challengeWasCancelled(platform::http::hostOf(connection.url())))
        code = UrlLoading::kCancelled;
    end(std::nullopt, UrlLoading::error(code, outcome.transportMessage, connection.url()), {});
}

void EMBURLSessionTask::end(
    std::optional<HttpResponse> response, std::optional<Error> error, std::string body)
{
    m_ended = true;
    m_connection.reset();
    m_queue.async([self = shared_from_this(), response = std::move(response), error = std::move(error),
                      body = std::move(body)]() mutable {
        if (response) {
            if (auto session = self->delegate())
                session->taskDidReceiveResponse(*self, *response);
            std::lock_guard lock(self->m_mutex);
            self->m_response = std::move(response);
        }
        if (error)
            self->setErrorIfNone(std::move(*error));
        else
            self->receive(std::move(body));
        self->complete();
    });
}

EMBURLSessionDataTask::EMBURLSessionDataTask(UrlRequest request,
    std::weak_ptr<EMBURLSessionTaskDelegate> delegate, CompletionHandler completionHandler)
    : EMBURLSessionTask(std::move(request), std::move(delegate), !completionHandler)
    , m_completionHandler(std::move(completionHandler))
{
}

void EMBURLSessionDataTask::receive(std::string body)
{
    if (body.empty())
        return;
    m_data = std::move(body);
    if (auto session = delegate())
        session->taskDidReceiveData(*this, *m_data);
}

// The handler runs once and is let go of at once: it may hold the caller that holds this task's session.
void EMBURLSessionDataTask::complete()
{
    auto failure = error();
    if (auto handler = std::exchange(m_completionHandler, nullptr))
        handler(m_data, response(), failure);
    if (auto session = delegate())
        session->taskDidComplete(*this, failure);
}

EMBURLSessionUploadTask::EMBURLSessionUploadTask(UrlRequest request, std::filesystem::path bodyFile,
    std::weak_ptr<EMBURLSessionTaskDelegate> delegate, CompletionHandler completionHandler)
    : EMBURLSessionDataTask(std::move(request), std::move(delegate), std::move(completionHandler))
    , m_bodyFile(std::move(bodyFile))
{
}

std::optional<std::string> EMBURLSessionUploadTask::bodyToSend() const
{
    auto bytes = platform::foundation::Files::readBytes(m_bodyFile);
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

EMBURLSessionDownloadTask::EMBURLSessionDownloadTask(UrlRequest request,
    std::weak_ptr<EMBURLSessionTaskDelegate> delegate, CompletionHandler completionHandler)
    : EMBURLSessionTask(std::move(request), std::move(delegate), !completionHandler)
    , m_downloadCompletionHandler(std::move(completionHandler))
{
    std::error_code error;
    m_targetURL = std::filesystem::temp_directory_path(error) / platform::foundation::Uuid::random().string();
}

void EMBURLSessionDownloadTask::cleanup()
{
    std::error_code ignored;
    std::filesystem::remove(m_targetURL, ignored);
}

// The file is written even for an empty answer, so that a finished download always has one.
void EMBURLSessionDownloadTask::receive(std::string body)
{
    platform::foundation::FileOutputStream stream(m_targetURL);
    auto bytes = reinterpret_cast<const std::uint8_t*>(body.data());
    bool written
        = stream.open() && stream.write(bytes, body.size()) == static_cast<std::ptrdiff_t>(body.size());
    stream.close();
    if (!written)
        setErrorIfNone(Error(kErrorDomain, -1,
            platform::foundation::Dictionary::make({ { Error::kLocalizedDescriptionKey,
                "The download could not be written to " + m_targetURL.string() } })));
}

void EMBURLSessionDownloadTask::complete()
{
    auto failure = error();
    if (auto handler = std::exchange(m_downloadCompletionHandler, nullptr))
        handler(m_targetURL, response(), failure);
    auto session = delegate();
    if (session && !failure)
        session->downloadTaskDidFinishDownloading(*this, m_targetURL);
    else
        cleanup();
    if (session)
        session->taskDidComplete(*this, failure);
}

}
