#include "kit/core/CRNNetworkClient.h"

#include "kit/core/CRNNetworkResponseHandler.h"
#include "kit/core/CRNRetryBackoff.h"
#include "kit/core/Cairn.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"

#include <filesystem>
#include <system_error>

namespace kit {

using platform::foundation::Dictionary;
using platform::foundation::Error;
using platform::foundation::mainQueue;
using platform::foundation::OperationQueue;
using platform::http::HttpResponse;
using platform::http::UrlRequest;

std::shared_ptr<CRNNetworkClient> CRNNetworkClient::create(
    std::shared_ptr<OperationQueue> queue, std::optional<std::vector<CRNCertificate>> pinnedCertificates)
{
    return createWithSessionConfiguration(EMBURLSessionConfiguration::defaultSessionConfiguration(),
        std::move(queue), std::move(pinnedCertificates));
}

std::shared_ptr<CRNNetworkClient> CRNNetworkClient::createWithSessionConfiguration(
    const std::shared_ptr<const EMBURLSessionConfiguration>& configuration,
    std::shared_ptr<OperationQueue> queue, std::optional<std::vector<CRNCertificate>> pinnedCertificates)
{
    auto client = std::make_shared<CRNNetworkClient>(std::move(pinnedCertificates));
    client->m_session = EMBURLSession::sessionWithConfiguration(configuration, client, std::move(queue));
    return client->m_session ? client : nullptr;
}

CRNNetworkClient::CRNNetworkClient(std::optional<std::vector<CRNCertificate>> pinnedCertificates)
{
    if (pinnedCertificates)
        m_certPinner.emplace(std::move(*pinnedCertificates));
}

CRNNetworkClient::~CRNNetworkClient()
{
    if (m_session)
        m_session->finishTasksAndInvalidate();
}

void CRNNetworkClient::startDataTaskWithRequest(const UrlRequest& request, DataCompletion completionHandler)
{
    startDataTaskWithRequest(request, kMaximumRetryCount, std::move(completionHandler));
}

void CRNNetworkClient::startDataTaskWithRequest(
    const UrlRequest& request, std::size_t retryLimit, DataCompletion completionHandler)
{
    startDataTaskWithRequest(request, retryLimit, 0, std::move(completionHandler));
}

void CRNNetworkClient::startDataTaskWithRequest(
    const UrlRequest& request, std::size_t retryLimit, std::size_t tries, DataCompletion completionHandler)
{
    // A finished session takes no more tasks: a retry that falls due afterwards ends there.
    auto task = m_session->isInvalidated() ? nullptr : m_session->dataTaskWithRequest(request,
        [self = shared_from_this(), request, retryLimit, tries, completionHandler](
            const std::optional<std::string>& data, const std::optional<HttpResponse>& response,
            const std::optional<Error>& error) {
            Step step = decide(request, retryLimit, tries, response, data ? data->size() : 0, error);
            switch (step.kind) {
            case Step::Kind::Deliver:
                completionHandler(data, response, step.error);
                break;
            case Step::Kind::GiveUp:
                completionHandler(std::nullopt, std::nullopt, step.error);
                break;
            case Step::Kind::Retry:
                mainQueue().after(step.delay, [self, request, retryLimit, tries, completionHandler] {
                    self->startDataTaskWithRequest(request, retryLimit, tries + 1, completionHandler);
                });
                break;
            }
        });
    if (!task) {
        completionHandler(std::nullopt, std::nullopt,
            CRNNetworkResponseHandler::errorForCode(CRNNetworkResponseHandler::kNoTaskCode));
        return;
    }
    task->resume();
}

void CRNNetworkClient::startDownloadTaskWithRequest(
    const UrlRequest& request, DownloadCompletion completionHandler)
{
    startDownloadTaskWithRequest(request, kMaximumRetryCount, std::move(completionHandler));
}

void CRNNetworkClient::startDownloadTaskWithRequest(
    const UrlRequest& request, std::size_t retryLimit, DownloadCompletion completionHandler)
{
    startDownloadTaskWithRequest(request, retryLimit, 0, std::move(completionHandler));
}

void CRNNetworkClient::startDownloadTaskWithRequest(const UrlRequest& request, std::size_t retryLimit,
    std::size_t tries, DownloadCompletion completionHandler)
{
    auto task = m_session->isInvalidated() ? nullptr : m_session->downloadTaskWithRequest(request,
        [self = shared_from_this(), request, retryLimit, tries, completionHandler](
            const std::filesystem::path& location, const std::optional<HttpResponse>& response,
            const std::optional<Error>& error) {
            std::error_code ignored;
            auto size = error ? 0 : std::filesystem::file_size(location, ignored);
            Step step
                = decide(request, retryLimit, tries, response, size == std::uintmax_t(-1) ? 0 : size, error);
            switch (step.kind) {
            case Step::Kind::Deliver:
                completionHandler(location, response, step.error);
                break;
            case Step::Kind::GiveUp:
                completionHandler({}, std::nullopt, step.error);
                break;
            case Step::Kind::Retry:
                mainQueue().after(step.delay, [self, request, retryLimit, tries, completionHandler] {
                    self->startDownloadTaskWithRequest(request, retryLimit, tries + 1, completionHandler);
                });
                break;
            }
        });
    if (!task) {
        completionHandler({}, std::nullopt,
            CRNNetworkResponseHandler::errorForCode(CRNNetworkResponseHandler::kNoTaskCode));
        return;
    }
    task->resume();
}

CRNNetworkClient::Step CRNNetworkClient::decide(const UrlRequest& request, std::size_t retryLimit,
    std::size_t tries, const std::optional<HttpResponse>& response, std::size_t bodyLength,
    const std::optional<Error>& transportError)
{
    Step step;
    bool retry = false;
    CRNNetworkResponseHandler::handleCompletedResponse(response ? &*response : nullptr, request.headers,
        bodyLength, transportError, [&](bool shouldRetry, const std::optional<Error>& error) {
            retry = shouldRetry;
            step.error = error;
        });
    if (!retry)
        return step;
    if (tries < retryLimit) {
        step.kind = Step::Kind::Retry;
        step.delay = computeDelayForResponse(response ? &*response : nullptr, tries);
        return step;
    }
    // The last answer's status and headers stay with the error; a transport failure stays as its cause.
    step.kind = Step::Kind::GiveUp;
    if (step.error && step.error->domain() == CRNNetworkResponseHandler::kErrorDomain) {
        step.error = CRNNetworkResponseHandler::errorForCode(
            CRNNetworkResponseHandler::kRetryLimitReachedCode, step.error->userInfo()->shallowCopy());
    } else {
        step.error = Error(CRNNetworkResponseHandler::kErrorDomain,
            CRNNetworkResponseHandler::kRetryLimitReachedCode, Dictionary::make({ { "status_code", 0 } }),
            step.error ? std::vector<Error> { *step.error } : std::vector<Error> {});
    }
    return step;
}

double CRNNetworkClient::computeDelayForResponse(const HttpResponse* response, std::size_t retryCount)
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static const auto* kNoResponse = new HttpResponse;
    double retryAfter = CRNNetworkResponseHandler::retryValueForResponse(response ? *response : *kNoResponse);
    return CRNRetryDelay(retryAfter, retryCount, CRNRetryJitter());
}

void CRNNetworkClient::invalidateAndCancel()
{
    m_session->invalidateAndCancel();
}

void CRNNetworkClient::didReceiveChallenge(EMBURLSession&, const platform::http::TrustChallenge& challenge,
    const std::function<void(EMBAuthChallengeDisposition)>& completion)
{
    if (!m_certPinner || Cairn::sharedSDK().debug()) {
        completion(EMBAuthChallengeDisposition::PerformDefaultHandling);
        return;
    }
    m_certPinner->handleChallenge(challenge, [&](CRNCertificatePinner::ChallengeDisposition disposition) {
        completion(disposition == CRNCertificatePinner::ChallengeDisposition::UseCredential
                ? EMBAuthChallengeDisposition::UseCredential
                : EMBAuthChallengeDisposition::CancelAuthenticationChallenge);
    });
}

}
