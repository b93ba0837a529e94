#include "kit/core/CRNCertificatePinner.h"

#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>

#include <memory>

namespace kit {

using platform::http::TrustChallenge;

namespace {

template<class T, void (*Free)(T*)> struct Deleter {
    void operator()(T* object) const { Free(object); }
};
using Store = std::unique_ptr<X509_STORE, Deleter<X509_STORE, X509_STORE_free>>;
using StoreContext = std::unique_ptr<X509_STORE_CTX, Deleter<X509_STORE_CTX, X509_STORE_CTX_free>>;

// The stack only borrows the certificates it lists.
void freeChain(STACK_OF(X509) * chain)
{
    sk_X509_free(chain);
}
using Chain = std::unique_ptr<STACK_OF(X509), Deleter<STACK_OF(X509), freeChain>>;

bool isIpAddress(const std::string& host)
{
    unsigned char address[16];
    return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

// The platform's status for an evaluation that could not be set up.
constexpr int kSetupFailed = -1;

}

CRNCertificatePinner::CRNCertificatePinner(std::vector<CRNCertificate> certificates)
    : m_certificates(std::move(certificates))
{
}

const CRNCertificatePinner& CRNCertificatePinner::builtin()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static const auto* pinner = new CRNCertificatePinner(CRNBuiltinCertificates());
    return *pinner;
}

std::optional<CRNCertificate> CRNCertificatePinner::createCertificationWithData(
    const void* bytes, std::size_t length)
{
    return CRNCertificate::withData(bytes, length);
}

int CRNCertificatePinner::evaluateTrust(const TrustChallenge& challenge, TrustResult& result) const
{
    if (m_certificates.empty()) {
        result = TrustResult::Invalid;
        return 0;
    }
    // The pinned certificates are the only anchors; any of them, root or intermediate, may end a chain.
    Store store(X509_STORE_new());
    if (!store) {
        result = TrustResult::OtherError;
        return kSetupFailed;
    }
    for (const auto& certificate : m_certificates) {
        if (X509_STORE_add_cert(store.get(), certificate.handle()) != 1) {
            result = TrustResult::OtherError;
            return kSetupFailed;
        }
    }
    X509_STORE_set_flags(store.get(), X509_V_FLAG_PARTIAL_CHAIN);

    std::vector<CRNCertificate> presented;
    for (const auto& der : challenge.certificates) {
        auto certificate = CRNCertificate::withData(der.data(), der.size());
        if (!certificate) {
            result = TrustResult::RecoverableTrustFailure;
            return 0;
        }
        presented.push_back(std::move(*certificate));
    }
    if (presented.empty()) {
        result = TrustResult::RecoverableTrustFailure;
        return 0;
    }
    Chain untrusted(sk_X509_new_null());
    for (std::size_t index = 1; index < presented.size(); ++index)
        sk_X509_push(untrusted.get(), presented[index].handle());

    StoreContext context(X509_STORE_CTX_new());
    if (!context
        || X509_STORE_CTX_init(context.get(), store.get(), presented.front().handle(), untrusted.get())
            != 1) {
        result = TrustResult::OtherError;
        return kSetupFailed;
    }
    X509_VERIFY_PARAM* parameters = X509_STORE_CTX_get0_param(context.get());
    X509_VERIFY_PARAM_set_purpose(parameters, X509_PURPOSE_SSL_SERVER);
    X509_VERIFY_PARAM_set_hostflags(parameters, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    bool hostSet = isIpAddress(challenge.host)
        ? X509_VERIFY_PARAM_set1_ip_asc(parameters, challenge.host.c_str()) == 1
        : X509_VERIFY_PARAM_set1_host(parameters, challenge.host.c_str(), challenge.host.size()) == 1;
    if (challenge.host.empty() || !hostSet) {
        result = TrustResult::RecoverableTrustFailure;
        return 0;
    }
    int verified = X509_verify_cert(context.get());
    result = verified == 1 ? TrustResult::Proceed : TrustResult::RecoverableTrustFailure;
    return 0;
}

bool CRNCertificatePinner::handleChallenge(const std::optional<TrustChallenge>& challenge,
    const std::function<void(ChallengeDisposition disposition)>& completion) const
{
    TrustResult result = TrustResult::Invalid;
    bool accepted = challenge && !challenge->certificates.empty() && evaluateTrust(*challenge, result) == 0
        && (result == TrustResult::Proceed || result == TrustResult::Unspecified);
    if (completion)
        completion(accepted ? ChallengeDisposition::UseCredential
                            : ChallengeDisposition::CancelAuthenticationChallenge);
    return accepted;
}

platform::http::SessionManager::TrustCheck CRNCertificatePinner::trustCheck() const
{
    return [pinner = *this](
               const TrustChallenge& challenge) { return pinner.handleChallenge(challenge, nullptr); };
}

}
