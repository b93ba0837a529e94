#include "platform/http/TrustContexts.h"

#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <vector>

namespace platform::http {

namespace {

std::vector<std::uint8_t> derOf(X509* certificate)
{
    int length = i2d_X509(certificate, nullptr);
    if (length <= 0)
        return {};
    std::vector<std::uint8_t> der(static_cast<std::size_t>(length));
    auto* out = der.data();
    i2d_X509(certificate, &out);
    return der;
}

}

void TrustContexts::install(CURL* easy, const std::shared_ptr<const Check>& check, const std::string& host)
{
    auto& context = m_contexts[{ check.get(), host }];
    if (!context)
        context = std::make_unique<Context>(Context { host, check });
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, prepareTlsContext);
    curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, context.get());
    curl_easy_setopt(easy, CURLOPT_SSL_SESSIONID_CACHE, 0L);
}

CURLcode TrustContexts::prepareTlsContext(CURL*, void* sslContext, void* user)
{
    SSL_CTX_set_cert_verify_callback(static_cast<SSL_CTX*>(sslContext), verifyPeer, user);
    return CURLE_OK;
}

// The system's verdict is worked out first and passed along.
int TrustContexts::verifyPeer(X509_STORE_CTX* context, void* user)
{
    auto* trust = static_cast<const Context*>(user);
    TrustChallenge challenge;
    challenge.host = trust->host;
    challenge.systemTrusted = X509_verify_cert(context) == 1;
    X509* leaf = X509_STORE_CTX_get0_cert(context);
    if (leaf)
        challenge.certificates.push_back(derOf(leaf));
    if (STACK_OF(X509)* presented = X509_STORE_CTX_get0_untrusted(context)) {
        for (int index = 0; index < sk_X509_num(presented); ++index) {
            X509* certificate = sk_X509_value(presented, index);
            if (!leaf || X509_cmp(certificate, leaf) != 0)
                challenge.certificates.push_back(derOf(certificate));
        }
    }
    if ((*trust->check)(challenge)) {
        X509_STORE_CTX_set_error(context, X509_V_OK);
        return 1;
    }
    if (challenge.systemTrusted)
        X509_STORE_CTX_set_error(context, X509_V_ERR_APPLICATION_VERIFICATION);
    return 0;
}

}
