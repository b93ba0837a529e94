#include "kit/core/CRNCertificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <array>
#include <limits>

namespace kit {

// The built-in roots' PEM text, in order; generated at build time from the files in pinned-roots/.
extern const std::array<const char*, 8> kBuiltinRootPems;

namespace {

std::string nameEntry(X509* certificate, int nid)
{
    X509_NAME* name = X509_get_subject_name(certificate);
    int index = X509_NAME_get_index_by_NID(name, nid, -1);
    if (index < 0)
        return {};
    ASN1_STRING* value = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, index));
    unsigned char* text = nullptr;
    int length = ASN1_STRING_to_UTF8(&text, value);
    if (length < 0)
        return {};
    std::string result(reinterpret_cast<char*>(text), static_cast<std::size_t>(length));
    OPENSSL_free(text);
    return result;
}

}

CRNCertificate::CRNCertificate(std::shared_ptr<x509_st> certificate, platform::foundation::Bytes der)
    : m_certificate(std::move(certificate))
    , m_der(std::move(der))
{
}

std::optional<CRNCertificate> CRNCertificate::withData(const void* bytes, std::size_t length)
{
    if (!bytes || length == 0 || length > static_cast<std::size_t>(std::numeric_limits<long>::max()))
        return std::nullopt;
    const auto* cursor = static_cast<const unsigned char*>(bytes);
    X509* parsed = d2i_X509(nullptr, &cursor, static_cast<long>(length));
    if (!parsed)
        return std::nullopt;
    std::shared_ptr<x509_st> certificate(parsed, X509_free);
    // Trailing bytes after the certificate mean the data is something else.
    if (cursor != static_cast<const unsigned char*>(bytes) + length)
        return std::nullopt;
    const auto* begin = static_cast<const std::uint8_t*>(bytes);
    return CRNCertificate(std::move(certificate), platform::foundation::Bytes(begin, begin + length));
}

std::optional<CRNCertificate> CRNCertificate::withPem(std::string_view text)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> input(
        BIO_new_mem_buf(text.data(), static_cast<int>(text.size())), BIO_free);
    X509* parsed = input ? PEM_read_bio_X509(input.get(), nullptr, nullptr, nullptr) : nullptr;
    if (!parsed)
        return std::nullopt;
    std::shared_ptr<x509_st> certificate(parsed, X509_free);
    int length = i2d_X509(parsed, nullptr);
    if (length <= 0)
        return std::nullopt;
    platform::foundation::Bytes der(static_cast<std::size_t>(length));
    auto* out = der.data();
    i2d_X509(parsed, &out);
    return CRNCertificate(std::move(certificate), std::move(der));
}

std::string CRNCertificate::subjectCommonName() const
{
    return nameEntry(m_certificate.get(), NID_commonName);
}

std::string CRNCertificate::subjectOrganization() const
{
    return nameEntry(m_certificate.get(), NID_organizationName);
}

std::string CRNCertificate::sha256Fingerprint() const
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(m_der.data(), m_der.size(), digest, &length, EVP_sha256(), nullptr);
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned int index = 0; index < length; ++index) {
        if (index > 0)
            text += ':';
        text += digits[digest[index] >> 4];
        text += digits[digest[index] & 0x0F];
    }
    return text;
}

std::optional<CRNCertificate> CRNCertificateWithData(const void* bytes, std::size_t length)
{
    return CRNCertificate::withData(bytes, length);
}

const std::vector<CRNCertificate>& CRNBuiltinCertificates()
{
    static const std::vector<CRNCertificate> roots = [] {
        std::vector<CRNCertificate> parsed;
        for (const char* pem : kBuiltinRootPems) {
            if (auto certificate = CRNCertificate::withPem(pem))
                parsed.push_back(std::move(*certificate));
        }
        return parsed;
    }();
    return roots;
}

}
