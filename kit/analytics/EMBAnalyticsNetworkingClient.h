#pragma once

#include "platform/foundation/Error.h"
#include "platform/http/UrlRequest.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kit {

class CRNNetworkClient;

/// Uploads the log files of one packaged session fragment to the analytics service, as one POST of a
/// multipart body with a file part per log file ("application/vnd.ember.ios.events", field and file name
/// both the file's name), over a kit network client of its own that pins no certificates and retries up to
/// 10 times. Thread-safe.
class EMBAnalyticsNetworkingClient {
public:
    static constexpr const char* kUserAgent { "Tally iOS SDK/1.2.0" };
    /// The kit's developer token.
    static constexpr const char* kDeveloperToken { "3e9b1f07c4d82a65e0f9b7d3c1a48e6f2b5d09c7" };
    static constexpr const char* kClientType { "Tally iOS SDK" };
    static constexpr const char* kClientVersion { "7" };
    static constexpr const char* kClientDisplayVersion { "1.2.0" };
    static constexpr const char* kClientBuildVersion { "7" };
    static constexpr const char* kEventsMimeType { "application/vnd.ember.ios.events" };
    static constexpr double kTimeoutInterval { 20 };
    static constexpr std::size_t kRetryLimit { 10 };
    /// The domain of this client's own errors.
    static constexpr const char* kErrorDomain { "EMBAnalyticsNetworkingClientErrorDomain" };
    /// A log file could not be read; its user information holds the file's "path".
    static constexpr std::int64_t kUnreadableFileCode { -1 };

    using Completion = std::function<void(const std::optional<platform::foundation::Error>& error)>;

    EMBAnalyticsNetworkingClient();

    /// Sends `files` to `url` with `apiKey`; `completionHandler` gets no error when the service took them,
    /// else the network client's error after its retries, on a thread of the session layer. A file that
    /// cannot be read sends nothing: the completion gets kUnreadableFileCode at once, so that files are
    /// never reported sent that were not.
    void transmitLogFilesAtURLs(const std::vector<std::filesystem::path>& files, const std::string& url,
        const std::string& apiKey, Completion completionHandler);

    /// The upload request of `files`; the error (kUnreadableFileCode) when one cannot be read.
    static std::optional<platform::http::UrlRequest> requestForLogFilesAtURLs(
        const std::vector<std::filesystem::path>& files, const std::string& url, const std::string& apiKey,
        std::optional<platform::foundation::Error>* error = nullptr);

    const std::shared_ptr<CRNNetworkClient>& networkClient() const { return m_networkClient; }

private:
    std::shared_ptr<CRNNetworkClient> m_networkClient;
};

}
