#pragma once

#include "kit/core/CRNCertificate.h"

#include "platform/http/SessionManager.h"
#include "platform/http/TrustChallenge.h"

#include <functional>
#include <optional>
#include <vector>

namespace kit {

/// Accepts a TLS server only when its chain leads to one of a fixed set of pinned certificates, each of which
/// may be a root or an intermediate. The system's own roots are never consulted; the chain must be in date
/// (anchors included: a pinned root past its end refuses every chain), fit for a TLS server, and name the
/// host the request went to, as a browser checks it. Immutable; may be used from any thread.
class CRNCertificatePinner {
public:
    /// The verdict of an evaluation.
    enum class TrustResult {
        Invalid = 0,
        Proceed = 1,
        Unspecified = 4,
        RecoverableTrustFailure = 5,
        OtherError = 6
    };
    /// What becomes of a challenge.
    enum class ChallengeDisposition { UseCredential, CancelAuthenticationChallenge };

    /// A pinner of `certificates` (copied); an empty set refuses every server.
    explicit CRNCertificatePinner(std::vector<CRNCertificate> certificates);
    /// A pinner of CRNBuiltinCertificates().
    static const CRNCertificatePinner& builtin();

    /// The certificate of DER `bytes`, or nullopt.
    static std::optional<CRNCertificate> createCertificationWithData(const void* bytes, std::size_t length);

    const std::vector<CRNCertificate>& certificates() const { return m_certificates; }

    /// Evaluates the challenge's chain against the pinned set; answers 0 when the evaluation ran (its verdict
    /// in `result`: Proceed or RecoverableTrustFailure), else an error status with `result` OtherError.
    /// Without pinned certificates: 0 and Invalid.
    int evaluateTrust(const platform::http::TrustChallenge& challenge, TrustResult& result) const;

    /// Completes `completion` with UseCredential when the chain is trusted, else with
    /// CancelAuthenticationChallenge (also without a challenge or a chain); answers whether it was accepted.
    bool handleChallenge(const std::optional<platform::http::TrustChallenge>& challenge,
        const std::function<void(ChallengeDisposition disposition)>& completion) const;

    /// The pinner as a session's trust check (SessionManager::setTrustCheck); shares this pinner's set.
    platform::http::SessionManager::TrustCheck trustCheck() const;

private:
    std::vector<CRNCertificate> m_certificates;
};

}
