#pragma once

#include "platform/http/TrustChallenge.h"

#include <curl/curl.h>
#include <openssl/types.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace platform::http {

/// The caller's trust checks, installed on TLS handshakes in place of
/// OpenSSL's verdict on the peer's chain. A connection may outlive the
/// transfer that opened it, so what its handshake needs is kept here, one
/// entry per check and host, for as long as the engine's connections live.
class TrustContexts {
public:
    using Check = std::function<bool(const TrustChallenge&)>;

    /// Makes `easy`'s next handshakes with `host` ask `check`, which sees the
    /// system's verdict and the presented chain. The host name is still
    /// checked by libcurl after the handshake.
    void install(CURL* easy, const std::shared_ptr<const Check>& check, const std::string& host);

private:
    struct Context {
        std::string host;
        std::shared_ptr<const Check> check;
    };
    static CURLcode prepareTlsContext(CURL*, void* sslContext, void* user);
    static int verifyPeer(X509_STORE_CTX* context, void* user);

    std::map<std::pair<const void*, std::string>, std::unique_ptr<Context>> m_contexts;
};

}
