#include "kit/crash/EMBNetworkClient.h"

#include "kit/core/CRNNetworkClient.h"
#include "kit/core/CRNNetworkResponseHandler.h"
#include "kit/core/Cairn.h"
#include "kit/crash/EMBFileManager.h"
#include "kit/crash/EMBKitLog.h"
#include "kit/crash/capture/EMBCaptureUtilities.h"
#include "kit/crash/capture/EMBSDKLog.h"

#include "platform/foundation/Dictionary.h"
#include "platform/http/SessionEngine.h"

#include <fstream>
#include <iterator>
#include <unistd.h>

namespace kit {

using platform::foundation::Dictionary;
using platform::foundation::Error;
using platform::foundation::OperationQueue;
using platform::http::HttpResponse;
using platform::http::SessionEngine;
using platform::http::UrlRequest;
using ResponseType = CRNNetworkResponseHandler::ResponseType;

namespace {

const EMBKitLog& log()
{
    static const EMBKitLog shared("[Ember:Crash:Client]");
    return shared;
}

bool readable(const std::string& path)
{
    return !path.empty() && access(path.c_str(), R_OK) == 0;
}

Error unreadableFileError(const std::string& path)
{
    return Error(EMBNetworkClient::kErrorDomain, EMBNetworkClient::kUnreadableFileCode,
        Dictionary::make({ { "path", path } }));
}

// "status 503" for an answer, else the transport failure's description.
std::string failureText(const std::optional<HttpResponse>& response, const std::optional<Error>& error)
{
    std::string text = response && response->statusCode != 0
        ? "status " + std::to_string(response->statusCode)
        : std::string("no answer");
    if (error)
        text += " (" + error->localizedDescription() + ")";
    return text;
}

}

std::shared_ptr<EMBNetworkClient> EMBNetworkClient::create(std::shared_ptr<OperationQueue> queue,
    std::shared_ptr<const EMBFileManager> fileManager, std::weak_ptr<EMBNetworkClientDelegate> delegate,
    std::optional<std::vector<CRNCertificate>> pinnedCertificates)
{
    auto client = std::make_shared<EMBNetworkClient>(std::move(queue), std::move(fileManager),
        std::move(delegate), pinnedCertificates ? std::move(*pinnedCertificates) : CRNBuiltinCertificates());
    if (auto caller = client->m_delegate.lock())
        client->m_canUseBackgroundSession = caller->networkClientCanUseBackgroundSessions(*client);
    log().progress(client->m_canUseBackgroundSession
            ? "Background session uploading supported"
            : "Background session uploading not supported, asynchronous uploading will be used");
    return client;
}

EMBNetworkClient::EMBNetworkClient(std::shared_ptr<OperationQueue> queue,
    std::shared_ptr<const EMBFileManager> fileManager, std::weak_ptr<EMBNetworkClientDelegate> delegate,
    std::vector<CRNCertificate> pinnedCertificates)
    : m_operationQueue(std::move(queue))
    , m_fileManager(std::move(fileManager))
    , m_delegate(std::move(delegate))
    , m_certPinner(std::move(pinnedCertificates))
{
}

EMBNetworkClient::~EMBNetworkClient()
{
    if (m_session)
        m_session->finishTasksAndInvalidate();
}

bool EMBNetworkClient::supportsBackgroundRequests() const
{
    return EMBURLSession::NSURLSessionShouldBeUsed() && m_canUseBackgroundSession;
}

std::shared_ptr<EMBURLSession> EMBNetworkClient::session()
{
    std::lock_guard lock(m_mutex);
    if (m_session)
        return m_session;
    std::shared_ptr<EMBURLSessionConfiguration> configuration;
    if (supportsBackgroundRequests())
        configuration = EMBURLSessionConfiguration::backgroundSessionConfigurationWithIdentifier(
            kBackgroundSessionIdentifier);
    if (!configuration)
        configuration = EMBURLSessionConfiguration::defaultSessionConfiguration();
    m_session = EMBURLSession::sessionWithConfiguration(configuration, weak_from_this(), m_operationQueue);
    if (!m_session)
        log().write("Failed to initialize");
    return m_session;
}

std::optional<std::string> EMBNetworkClient::taskDescriptionForPath(const std::string& path) const
{
    const std::string prefix = m_fileManager->rootPath() + "/";
    if (!path.starts_with(prefix)) {
        EMBSDKFileLog("%s: Error: path '%s' is not at the root '%s'\n", __func__, path.c_str(),
            m_fileManager->rootPath().c_str());
        return std::nullopt;
    }
    return path.substr(prefix.size());
}

void EMBNetworkClient::startUploadRequest(
    const UrlRequest& request, const std::string& path, bool immediately)
{
    if (immediately && !supportsBackgroundRequests()) {
        uploadSynchronously(request, path);
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        if (!m_uploading.insert(path).second) {
            log().progress("A task currently exists for this upload, skipping");
            return;
        }
    }
    if (immediately) {
        startUploadTask(request, path, 0);
        return;
    }
    m_operationQueue->addOperation(
        [self = shared_from_this(), request, path] { self->startUploadTask(request, path, 0); });
}

void EMBNetworkClient::startUploadTask(const UrlRequest& request, const std::string& path, std::size_t tries)
{
    if (!readable(path)) {
        m_operationQueue->addOperation(
            [self = shared_from_this(), path] { self->finish(path, unreadableFileError(path)); });
        return;
    }
    auto urlSession = session();
    if (!urlSession) {
        std::lock_guard lock(m_mutex);
        m_uploading.erase(path);
        return;
    }
    auto task = urlSession->uploadTaskWithRequest(request, path);
    task->setTaskDescription(taskDescriptionForPath(path).value_or(""));
    {
        std::lock_guard lock(m_mutex);
        m_tasks[task.get()] = Upload { path, request, tries, 0 };
    }
    task->resume();
}

void EMBNetworkClient::uploadSynchronously(const UrlRequest& request, const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!readable(path) || !file) {
        EMBSDKFileLog("%s: Error: file unreadable\n", __func__);
        log().write("Unable to read the package " + path);
        return;
    }
    std::string body(std::istreambuf_iterator<char>(file), {});
    auto connection
        = std::make_shared<platform::http::Task>(request.method, request.url, request.headers, body);
    SessionEngine::Options options;
    options.sendsBody = true;
    options.connectTimeout = request.timeoutInterval;
    options.timeout = request.timeoutInterval;
    if (!Cairn::sharedSDK().debug())
        options.trustCheck
            = std::make_shared<const platform::http::SessionManager::TrustCheck>(m_certPinner.trustCheck());
    std::optional<HttpResponse> response;
    std::optional<Error> failure;
    SessionEngine::perform(
        connection, options, [&](const platform::http::Task& sent, const SessionEngine::Outcome& outcome) {
            if (outcome.transportFailed) {
                failure = platform::http::UrlLoading::error(
                    outcome.loadingCode, outcome.transportMessage, request.url);
                return;
            }
            response = HttpResponse { request.url, sent.statusCode(), sent.responseHeaders() };
        });
    if (CRNNetworkResponseHandler::clientResponseType(response ? &*response : nullptr)
        != ResponseType::Success) {
        log().write("Urgent upload of " + path + " failed: " + failureText(response, failure));
        return;
    }
    if (auto caller = m_delegate.lock())
        caller->networkClientDidFinishUploadWithPath(*this, path, std::nullopt);
}

void EMBNetworkClient::attemptToReconnectBackgroundSessionWithCompletionBlock(
    const std::function<void()>& block)
{
    if (!supportsBackgroundRequests()) {
        block();
        return;
    }
    m_operationQueue->addOperation(block);
}

bool EMBNetworkClient::respondsTo(Callback callback) const
{
    return callback == Callback::DidReceiveData || callback == Callback::DidComplete
        || callback == Callback::DidReceiveChallenge;
}

void EMBNetworkClient::didReceiveData(EMBURLSession&, EMBURLSessionDataTask& task, const std::string& data)
{
    std::lock_guard lock(m_mutex);
    if (auto found = m_tasks.find(&task); found != m_tasks.end())
        found->second.bodyLength += data.size();
}

void EMBNetworkClient::didCompleteWithError(
    EMBURLSession&, EMBURLSessionTask& task, const std::optional<Error>& transportError)
{
    Upload upload;
    {
        std::lock_guard lock(m_mutex);
        auto found = m_tasks.find(&task);
        if (found == m_tasks.end())
            return;
        upload = std::move(found->second);
        m_tasks.erase(found);
    }
    auto response = task.response();
    bool retry = false;
    std::optional<Error> error;
    CRNNetworkResponseHandler::handleCompletedResponse(response ? &*response : nullptr,
        upload.request.headers, upload.bodyLength, transportError,
        [&](bool shouldRetry, const std::optional<Error>& verdict) {
            retry = shouldRetry;
            error = verdict;
        });
    if (!retry) {
        if (error)
            log().write("Upload of " + upload.path + " failed: " + failureText(response, error));
        finish(upload.path, error);
        return;
    }
    double delay = CRNNetworkClient::computeDelayForResponse(response ? &*response : nullptr, upload.tries);
    log().write("Upload of " + upload.path + " failed: " + failureText(response, error) + "; retrying in "
        + std::to_string(delay) + " s");
    EMBAddOperationAfter(
        *m_operationQueue,
        [self = shared_from_this(), upload] {
            self->startUploadTask(upload.request, upload.path, upload.tries + 1);
        },
        static_cast<float>(delay));
}

void EMBNetworkClient::finish(const std::string& path, const std::optional<Error>& error)
{
    {
        std::lock_guard lock(m_mutex);
        m_uploading.erase(path);
    }
    if (auto caller = m_delegate.lock())
        caller->networkClientDidFinishUploadWithPath(*this, path, error);
}

void EMBNetworkClient::didReceiveChallenge(EMBURLSession&, const platform::http::TrustChallenge& challenge,
    const std::function<void(EMBAuthChallengeDisposition)>& completion)
{
    if (Cairn::sharedSDK().debug()) {
        completion(EMBAuthChallengeDisposition::PerformDefaultHandling);
        return;
    }
    m_certPinner.handleChallenge(challenge, [&](CRNCertificatePinner::ChallengeDisposition disposition) {
        completion(disposition == CRNCertificatePinner::ChallengeDisposition::UseCredential
                ? EMBAuthChallengeDisposition::UseCredential
                : EMBAuthChallengeDisposition::CancelAuthenticationChallenge);
    });
}

}
