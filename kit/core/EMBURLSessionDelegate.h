#pragma once

#include "platform/foundation/Error.h"
#include "platform/http/TrustChallenge.h"
#include "platform/http/UrlLoading.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kit {

class EMBURLSession;
class EMBURLSessionTask;
class EMBURLSessionDataTask;
class EMBURLSessionDownloadTask;

/// What becomes of a TLS server's challenge.
enum class EMBAuthChallengeDisposition {
    /// Trust the server.
    UseCredential,
    /// Let the system's trust store decide.
    PerformDefaultHandling,
    /// Refuse the server: the task ends with the URL-loading cancellation error.
    CancelAuthenticationChallenge,
};

/// The caller of an EMBURLSession: told of its tasks' progress. Every method is optional; a delegate answers
/// respondsTo() for the ones it implements, and only those are called.
///
/// The task callbacks run on the session's delegate queue, one after the other for a task: response, data,
/// the downloaded file, completion. They reach the delegate only for tasks made without a completion
/// handler. The challenge runs during the TLS handshake on the main thread and must answer before it
/// returns; it may not wait for the main queue.
class EMBURLSessionDelegate {
public:
    enum class Callback {
        DidReceiveResponse,
        DidReceiveData,
        DidFinishDownloading,
        DidComplete,
        DidReceiveChallenge
    };

    virtual ~EMBURLSessionDelegate() = default;

    /// Whether the delegate implements `callback`.
    virtual bool respondsTo(Callback) const { return false; }

    /// The task's answer has arrived (status and headers).
    virtual void didReceiveResponse(EMBURLSession&, EMBURLSessionTask&, const platform::http::HttpResponse&)
    {
    }
    /// The task's answer body, whole.
    virtual void didReceiveData(EMBURLSession&, EMBURLSessionDataTask&, const std::string&) { }
    /// The download is in the file at the path given, which is removed once this returns.
    virtual void didFinishDownloadingToURL(
        EMBURLSession&, EMBURLSessionDownloadTask&, const std::filesystem::path&)
    {
    }
    /// The task has ended: no error on success (whatever the status).
    virtual void didCompleteWithError(
        EMBURLSession&, EMBURLSessionTask&, const std::optional<platform::foundation::Error>&)
    {
    }
    /// A TLS server presents `challenge`; call `completion` once, before returning. Without an answer the
    /// challenge is cancelled.
    virtual void didReceiveChallenge(EMBURLSession&, const platform::http::TrustChallenge&,
        const std::function<void(EMBAuthChallengeDisposition)>& completion)
    {
        completion(EMBAuthChallengeDisposition::PerformDefaultHandling);
    }
};

}
