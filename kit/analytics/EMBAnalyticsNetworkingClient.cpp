#include "kit/analytics/EMBAnalyticsNetworkingClient.h"

#include "kit/core/CRNMultipartMimeStreamEncoder.h"
#include "kit/core/CRNNetworkClient.h"

#include "platform/foundation/Dictionary.h"

namespace kit {

using platform::foundation::Error;
using platform::http::UrlRequest;

EMBAnalyticsNetworkingClient::EMBAnalyticsNetworkingClient()
    : m_networkClient(CRNNetworkClient::create())
{
}

std::optional<UrlRequest> EMBAnalyticsNetworkingClient::requestForLogFilesAtURLs(
    const std::vector<std::filesystem::path>& files, const std::string& url, const std::string& apiKey,
    std::optional<Error>* error)
{
    UrlRequest request;
    request.url = url;
    request.method = "POST";
    request.cachePolicy = UrlRequest::CachePolicy::ReloadIgnoringLocalCacheData;
    request.timeoutInterval = kTimeoutInterval;
    request.setValue(kUserAgent, "User-Agent");
    request.setValue(kDeveloperToken, "X-EMBER-DEVELOPER-TOKEN");
    request.setValue(kClientType, "X-EMBER-API-CLIENT-TYPE");
    request.setValue(kClientVersion, "X-EMBER-API-CLIENT-VERSION");
    request.setValue(kClientDisplayVersion, "X-EMBER-API-CLIENT-DISPLAY-VERSION");
    request.setValue(kClientBuildVersion, "X-EMBER-API-CLIENT-BUILD-VERSION");
    request.setValue(apiKey, "X-EMBER-API-KEY");

    std::optional<std::filesystem::path> unreadable;
    bool encoded = CRNMultipartMimeStreamEncoder::populateRequest(
        request, [&](CRNMultipartMimeStreamEncoder& encoder) {
            for (const auto& file : files) {
                auto name = file.filename().string();
                if (!unreadable && !encoder.addFile(file, name, kEventsMimeType, name))
                    unreadable = file;
            }
        });
    if (unreadable || !encoded) {
        if (error) {
            *error = Error(kErrorDomain, kUnreadableFileCode,
                platform::foundation::Dictionary::make(
                    { { "path", unreadable ? unreadable->string() : "" } }));
        }
        return std::nullopt;
    }
    return request;
}

void EMBAnalyticsNetworkingClient::transmitLogFilesAtURLs(const std::vector<std::filesystem::path>& files,
    const std::string& url, const std::string& apiKey, Completion completionHandler)
{
    std::optional<Error> error;
    auto request = requestForLogFilesAtURLs(files, url, apiKey, &error);
    if (!request) {
        completionHandler(error);
        return;
    }
    m_networkClient->startDataTaskWithRequest(*request, kRetryLimit,
        [completionHandler = std::move(completionHandler)](const std::optional<std::string>&,
            const std::optional<platform::http::HttpResponse>&,
            const std::optional<Error>& failure) { completionHandler(failure); });
}

}
