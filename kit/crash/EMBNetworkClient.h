#pragma once

#include "kit/core/CRNCertificate.h"
#include "kit/core/CRNCertificatePinner.h"
#include "kit/core/EMBURLSession.h"

#include "platform/foundation/Error.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/http/UrlRequest.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kit {

class EMBFileManager;
class EMBNetworkClient;

/// What the upload client asks of and tells the crash reporting controller.
class EMBNetworkClientDelegate {
public:
    virtual ~EMBNetworkClientDelegate() = default;
    /// Whether uploads may go on in a session that outlives the launch (asked once, at creation).
    virtual bool networkClientCanUseBackgroundSessions(EMBNetworkClient& client) = 0;
    /// The upload of the package at `path` has ended: without an error it was accepted; with one the package
    /// stays for a later attempt. Called on the work queue, or on the caller's thread for an urgent upload.
    virtual void networkClientDidFinishUploadWithPath(EMBNetworkClient& client, const std::string& path,
        const std::optional<platform::foundation::Error>& error)
        = 0;
};

/// Uploads crash report packages (whole multipart bodies on disk) to the report service.
///
/// An ordinary upload runs as an upload task of the client's EMBURLSession (made on first use, its callbacks
/// on the work queue); what the kit's response handler calls retryable is sent again, without limit, after
/// the kit network client's back-off (the server's Retry-After at least, growing with each try), and a
/// package whose upload is running or waiting to be retried is not started a second time. An urgent upload
/// is sent at once on the calling thread on a transfer of its own, without the main queue. Both check the
/// server against the pinned certificates, except in the platform's debug mode. Failures are logged with
/// the answer's status.
///
/// Make it with create(); thread-safe.
class EMBNetworkClient final : public EMBURLSessionDelegate,
                               public std::enable_shared_from_this<EMBNetworkClient> {
public:
    /// The domain of this client's own errors.
    static constexpr const char* kErrorDomain { "EMBNetworkError" };
    /// A package that cannot be read; its user information holds the package's "path".
    static constexpr std::int64_t kUnreadableFileCode { -2 };
    /// The identifier a background session would have.
    static constexpr const char* kBackgroundSessionIdentifier {
        "com.cairn.ember.ios.crash.background-session"
    };

    /// A client whose session calls back on `queue` (the crash kit's work queue), with task descriptions
    /// relative to `fileManager`'s root, telling `delegate`, pinning `pinnedCertificates` (the kit's built-in
    /// roots unless given).
    static std::shared_ptr<EMBNetworkClient> create(
        std::shared_ptr<platform::foundation::OperationQueue> queue,
        std::shared_ptr<const EMBFileManager> fileManager, std::weak_ptr<EMBNetworkClientDelegate> delegate,
        std::optional<std::vector<CRNCertificate>> pinnedCertificates = std::nullopt);

    /// Made by create() (public for std::make_shared).
    EMBNetworkClient(std::shared_ptr<platform::foundation::OperationQueue> queue,
        std::shared_ptr<const EMBFileManager> fileManager, std::weak_ptr<EMBNetworkClientDelegate> delegate,
        std::vector<CRNCertificate> pinnedCertificates);
    ~EMBNetworkClient() override;

    /// Whether uploads go through a background session: only where the platform has its own URL session,
    /// outside app extensions, and when the delegate allowed it. Never on this platform.
    bool supportsBackgroundRequests() const;

    /// Uploads the package at `path` with `request` (its body is the file). `immediately`: at once, on this
    /// thread, until the answer is in (the delegate is told only of success; anything else leaves the package
    /// for later). Otherwise: as an upload task, unless one for this package is running or waiting already;
    /// an unreadable package ends with kUnreadableFileCode through the delegate, on the work queue.
    void startUploadRequest(
        const platform::http::UrlRequest& request, const std::string& path, bool immediately);

    /// Calls `block` once uploads left by an earlier launch can be recognised: at once without background
    /// sessions.
    void attemptToReconnectBackgroundSessionWithCompletionBlock(const std::function<void()>& block);

    /// `path` relative to the root ("v3/prepared/<package>"), which names the package's task; nullopt (in the
    /// SDK log) for a path outside the root.
    std::optional<std::string> taskDescriptionForPath(const std::string& path) const;

    bool canUseBackgroundSession() const { return m_canUseBackgroundSession; }
    const CRNCertificatePinner& certPinner() const { return m_certPinner; }

    bool respondsTo(Callback callback) const override;
    void didReceiveData(
        EMBURLSession& session, EMBURLSessionDataTask& task, const std::string& data) override;
    void didCompleteWithError(EMBURLSession& session, EMBURLSessionTask& task,
        const std::optional<platform::foundation::Error>& error) override;
    /// Default handling in the platform's debug mode, else the pinner's verdict.
    void didReceiveChallenge(EMBURLSession& session, const platform::http::TrustChallenge& challenge,
        const std::function<void(EMBAuthChallengeDisposition)>& completion) override;

private:
    /// An upload task in flight: its package, its request and which try it is (0 for the first).
    struct Upload {
        std::string path;
        platform::http::UrlRequest request;
        std::size_t tries { 0 };
        std::size_t bodyLength { 0 };
    };

    /// The session, made on first use; null (logged) when it cannot be made.
    std::shared_ptr<EMBURLSession> session();
    /// Starts try number `tries` of the package's upload as a task.
    void startUploadTask(
        const platform::http::UrlRequest& request, const std::string& path, std::size_t tries);
    /// The urgent path: one transfer on this thread.
    void uploadSynchronously(const platform::http::UrlRequest& request, const std::string& path);
    /// Forgets the package's upload and tells the delegate.
    void finish(const std::string& path, const std::optional<platform::foundation::Error>& error);

    std::shared_ptr<platform::foundation::OperationQueue> m_operationQueue;
    std::shared_ptr<const EMBFileManager> m_fileManager;
    std::weak_ptr<EMBNetworkClientDelegate> m_delegate;
    CRNCertificatePinner m_certPinner;
    bool m_canUseBackgroundSession { false };

    mutable std::mutex m_mutex;
    std::shared_ptr<EMBURLSession> m_session;
    std::map<const EMBURLSessionTask*, Upload> m_tasks;
    // Packages whose upload runs or waits for its retry.
    std::set<std::string> m_uploading;
};

}
