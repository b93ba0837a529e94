#pragma once

#include "kit/core/CRNCertificate.h"
#include "kit/core/CRNCertificatePinner.h"
#include "kit/core/EMBURLSession.h"

#include "platform/foundation/OperationQueue.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace kit {

/// Runs the kits' requests on an EMBURLSession, checks servers against pinned certificates and retries with
/// back-off.
///
/// A request that ends with a retryable answer (5xx, 408, 420, 429) or times out is sent again after
/// CRNRetryDelay() on the main queue's clock, up to the retry limit; every other outcome goes to the
/// completion at once with the error CRNNetworkResponseHandler gives it. A request runs at most limit + 1
/// times; past the limit the completion gets error -6, whose user information keeps the last answer's
/// "status_code" (0 after a time-out), "type", "request_id" and "content_type". Completions run on a thread
/// of the session layer.
///
/// Each request (and its retries) keeps the client alive until its completion has run. Make it with
/// create(); thread-safe.
class CRNNetworkClient final : public EMBURLSessionDelegate,
                               public std::enable_shared_from_this<CRNNetworkClient> {
public:
    /// The retry limit of the methods that take none.
    static constexpr std::size_t kMaximumRetryCount { 10 };

    using DataCompletion = EMBURLSessionDataTask::CompletionHandler;
    using DownloadCompletion = EMBURLSessionDownloadTask::CompletionHandler;

    /// A client on the default session configuration, whose delegate callbacks run on `queue` (or a queue
    /// of the session's own). With `pinnedCertificates` it accepts only servers whose chain leads to one of
    /// them (unless the platform runs in debug mode); without, the system's trust store decides.
    static std::shared_ptr<CRNNetworkClient> create(
        std::shared_ptr<platform::foundation::OperationQueue> queue = nullptr,
        std::optional<std::vector<CRNCertificate>> pinnedCertificates = std::nullopt);
    /// The same on `configuration`; null when no session can be made of it.
    static std::shared_ptr<CRNNetworkClient> createWithSessionConfiguration(
        const std::shared_ptr<const EMBURLSessionConfiguration>& configuration,
        std::shared_ptr<platform::foundation::OperationQueue> queue,
        std::optional<std::vector<CRNCertificate>> pinnedCertificates);

    /// Made by create() (public for std::make_shared).
    explicit CRNNetworkClient(std::optional<std::vector<CRNCertificate>> pinnedCertificates);
    /// Lets the session finish its tasks.
    ~CRNNetworkClient() override;

    /// Sends `request`, retrying up to kMaximumRetryCount times.
    void startDataTaskWithRequest(
        const platform::http::UrlRequest& request, DataCompletion completionHandler);
    /// Sends `request`, retrying up to `retryLimit` times.
    void startDataTaskWithRequest(
        const platform::http::UrlRequest& request, std::size_t retryLimit, DataCompletion completionHandler);
    /// Sends `request` as try number `tries` (0 for the first) of at most `retryLimit` + 1.
    void startDataTaskWithRequest(const platform::http::UrlRequest& request, std::size_t retryLimit,
        std::size_t tries, DataCompletion completionHandler);

    /// The same for a download into a temporary file, which exists while the completion runs.
    void startDownloadTaskWithRequest(
        const platform::http::UrlRequest& request, DownloadCompletion completionHandler);
    void startDownloadTaskWithRequest(const platform::http::UrlRequest& request, std::size_t retryLimit,
        DownloadCompletion completionHandler);
    void startDownloadTaskWithRequest(const platform::http::UrlRequest& request, std::size_t retryLimit,
        std::size_t tries, DownloadCompletion completionHandler);

    /// Seconds to wait before the retry after try number `retryCount`, for `response` (its "Retry-After").
    static double computeDelayForResponse(
        const platform::http::HttpResponse* response, std::size_t retryCount);

    /// Cancels the session's tasks and ends the session: their completions get the cancellation error, and
    /// a request started (or retried) afterwards ends at once with error -3.
    void invalidateAndCancel();

    const std::shared_ptr<EMBURLSession>& session() const { return m_session; }
    const std::optional<CRNCertificatePinner>& certPinner() const { return m_certPinner; }

    bool respondsTo(Callback callback) const override { return callback == Callback::DidReceiveChallenge; }
    /// Default handling in debug mode or without pinned certificates; else the pinner's verdict.
    void didReceiveChallenge(EMBURLSession& session, const platform::http::TrustChallenge& challenge,
        const std::function<void(EMBAuthChallengeDisposition)>& completion) override;

private:
    /// What to do after a try: hand its outcome on, give up past the retry limit, or retry after `delay`.
    struct Step {
        enum class Kind { Deliver, GiveUp, Retry } kind { Kind::Deliver };
        std::optional<platform::foundation::Error> error;
        double delay { 0 };
    };
    static Step decide(const platform::http::UrlRequest& request, std::size_t retryLimit, std::size_t tries,
        const std::optional<platform::http::HttpResponse>& response, std::size_t bodyLength,
        const std::optional<platform::foundation::Error>& transportError);

    std::optional<CRNCertificatePinner> m_certPinner;
    std::shared_ptr<EMBURLSession> m_session;
};

}
