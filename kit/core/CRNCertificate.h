#pragma once

#include "platform/foundation/Value.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct x509_st;

namespace kit {

/// An X.509 certificate, immutable and cheap to copy (copies share the parsed certificate).
class CRNCertificate {
public:
    /// The certificate of DER `bytes`, or nullopt when they are no certificate.
    static std::optional<CRNCertificate> withData(const void* bytes, std::size_t length);
    /// The first certificate of PEM `text`, or nullopt when it holds none.
    static std::optional<CRNCertificate> withPem(std::string_view text);

    /// The DER bytes.
    const platform::foundation::Bytes& data() const { return m_der; }
    /// The subject's common name and organisation ("" when absent).
    std::string subjectCommonName() const;
    std::string subjectOrganization() const;
    /// The SHA-256 digest of the DER bytes, as upper-case hex pairs joined by ":".
    std::string sha256Fingerprint() const;

    /// The parsed certificate, for OpenSSL calls; owned by this object.
    x509_st* handle() const { return m_certificate.get(); }

private:
    CRNCertificate(std::shared_ptr<x509_st> certificate, platform::foundation::Bytes der);

    std::shared_ptr<x509_st> m_certificate;
    platform::foundation::Bytes m_der;
};

/// The certificate of DER `bytes`, or nullopt: CRNCertificate::withData().
std::optional<CRNCertificate> CRNCertificateWithData(const void* bytes, std::size_t length);

/// The eight public root certificates the kit clients pin by default, parsed once (thread-safe) and in a
/// fixed order: AddTrust External CA Root, Entrust Root Certification Authority, DigiCert High Assurance EV
/// Root CA, then VeriSign's Class 3 G5 and Class 1 to 4 G3 roots. The same vector on every call.
const std::vector<CRNCertificate>& CRNBuiltinCertificates();

}
