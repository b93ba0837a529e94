#pragma once

#include "kit/core/CRNAsyncOperation.h"

#include "platform/http/UrlRequest.h"

#include <string>
#include <string_view>

namespace kit {

/// The base of every kit request operation: it holds the kit API key and builds requests carrying the
/// platform's default headers.
class CRNNetworkOperation : public CRNAsyncOperation {
public:
    /// The fixed developer token the kit service expects.
    static constexpr const char* kDeveloperToken { "3e9b1f07c4d82a65e0f9b7d3c1a48e6f2b5d09c7" };
    /// Seconds a request may take unless told otherwise.
    static constexpr double kDefaultTimeout { 10 };

    explicit CRNNetworkOperation(std::string APIKey);

    const std::string& APIKey() const { return m_APIKey; }

    /// mutableRequestWithDefaultHTTPHeadersForURL() with kDefaultTimeout.
    platform::http::UrlRequest mutableRequestWithDefaultHTTPHeaderFieldsAndTimeoutForURL(
        std::string url) const;

    /// A GET of `url` that ignores cached answers, with `timeout` and these headers in this order:
    /// "User-Agent", "Accept-Charset" ("utf-8"), "Accept-Language" and "Content-Language" (the locale),
    /// "X-Ember-Developer-Token", "X-Ember-API-Client-Id", "X-Ember-API-Client-Display-Version",
    /// "X-Ember-API-Client-Build-Version" and "X-Ember-API-Key".
    platform::http::UrlRequest mutableRequestWithDefaultHTTPHeadersForURL(
        std::string url, double timeout) const;

    /// The device locale's identifier ("en_GB").
    static std::string localeIdentifier();
    /// "io.cairn.sdk.ios/1.6.5 (46)": the platform's identifier, version and build number.
    static std::string userAgentString();

private:
    std::string m_APIKey;
};

}
