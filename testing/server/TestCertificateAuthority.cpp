#include "testing/server/TestCertificateAuthority.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>

namespace testing {

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;

void require(bool condition, const char* what)
{
    if (!condition)
        throw std::runtime_error(std::string("Test certificate authority: ") + what);
}

Key makeKey()
{
    Key key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    require(key != nullptr, "could not make a key");
    return key;
}

void addExtension(X509* certificate, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    require(extension != nullptr, "could not make an extension");
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

Certificate makeCertificate(
    const std::string& commonName, EVP_PKEY* key, long serial, TestCertificateAuthority::Validity validity)
{
    Certificate certificate(X509_new(), X509_free);
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), serial);
    bool expired = validity == TestCertificateAuthority::Validity::Expired;
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), expired ? -2 * 24 * 3600 : -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), expired ? -24 * 3600 : 24 * 3600);
    X509_set_pubkey(certificate.get(), key);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(
        name, "O", MBSTRING_UTF8, reinterpret_cast<const unsigned char*>("Zorvik Tests"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(
        name, "CN", MBSTRING_UTF8, reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);
    return certificate;
}

void writeFile(const std::filesystem::path& path, const std::function<int(FILE*)>& write)
{
    FILE* file = std::fopen(path.c_str(), "w");
    require(file != nullptr, "could not write a file");
    int written = write(file);
    std::fclose(file);
    require(written == 1, "could not write PEM");
}

}

struct TestCertificateAuthority::Keys {
    Key key { nullptr, EVP_PKEY_free };
    Certificate certificate { nullptr, X509_free };
    // The issuers above this authority, nearest first (empty for a root).
    std::vector<Certificate> issuers;
    long lastSerial { 1 };
};

TestCertificateAuthority::TestCertificateAuthority(
    std::filesystem::path folder, std::string name, Validity validity)
    : m_folder(std::move(folder))
    , m_keys(std::make_unique<Keys>())
{
    m_keys->key = makeKey();
    m_keys->certificate = makeCertificate(name, m_keys->key.get(), m_keys->lastSerial, validity);
    X509* certificate = m_keys->certificate.get();
    X509_set_issuer_name(certificate, X509_get_subject_name(certificate));
    addExtension(certificate, certificate, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(certificate, certificate, NID_key_usage, "critical,keyCertSign,cRLSign");
    addExtension(certificate, certificate, NID_subject_key_identifier, "hash");
    require(X509_sign(certificate, m_keys->key.get(), EVP_sha256()) > 0, "could not sign the root");
    m_certificateFile = m_folder / (name + "-ca.pem");
    writeFile(m_certificateFile, [&](FILE* file) { return PEM_write_X509(file, certificate); });
}

TestCertificateAuthority::TestCertificateAuthority(
    std::filesystem::path folder, std::string name, const TestCertificateAuthority& issuer)
    : m_folder(std::move(folder))
    , m_keys(std::make_unique<Keys>())
{
    m_keys->key = makeKey();
    m_keys->lastSerial = ++issuer.m_keys->lastSerial * 1000;
    m_keys->certificate = makeCertificate(name, m_keys->key.get(), m_keys->lastSerial, Validity::Current);
    X509* certificate = m_keys->certificate.get();
    X509* above = issuer.m_keys->certificate.get();
    X509_set_issuer_name(certificate, X509_get_subject_name(above));
    addExtension(certificate, above, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(certificate, above, NID_key_usage, "critical,keyCertSign,cRLSign");
    addExtension(certificate, certificate, NID_subject_key_identifier, "hash");
    addExtension(certificate, above, NID_authority_key_identifier, "keyid:always");
    require(
        X509_sign(certificate, issuer.m_keys->key.get(), EVP_sha256()) > 0, "could not sign an intermediate");
    X509_up_ref(above);
    m_keys->issuers.emplace_back(above, X509_free);
    for (const auto& ancestor : issuer.m_keys->issuers) {
        X509_up_ref(ancestor.get());
        m_keys->issuers.emplace_back(ancestor.get(), X509_free);
    }
    m_certificateFile = m_folder / (name + "-ca.pem");
    writeFile(m_certificateFile, [&](FILE* file) { return PEM_write_X509(file, certificate); });
}

TestCertificateAuthority::~TestCertificateAuthority() = default;

std::string TestCertificateAuthority::certificatePem() const
{
    std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), BIO_free);
    PEM_write_bio_X509(out.get(), m_keys->certificate.get());
    char* data = nullptr;
    long length = BIO_get_mem_data(out.get(), &data);
    return std::string(data, static_cast<std::size_t>(length));
}

std::vector<std::uint8_t> TestCertificateAuthority::certificateDer() const
{
    int length = i2d_X509(m_keys->certificate.get(), nullptr);
    std::vector<std::uint8_t> der(static_cast<std::size_t>(std::max(length, 0)));
    auto* out = der.data();
    i2d_X509(m_keys->certificate.get(), &out);
    return der;
}

std::vector<std::vector<std::uint8_t>> TestCertificateAuthority::readChain(
    const std::filesystem::path& pemFile)
{
    std::vector<std::vector<std::uint8_t>> chain;
    FILE* file = std::fopen(pemFile.c_str(), "r");
    if (!file)
        return chain;
    while (X509* certificate = PEM_read_X509(file, nullptr, nullptr, nullptr)) {
        int length = i2d_X509(certificate, nullptr);
        std::vector<std::uint8_t> der(static_cast<std::size_t>(std::max(length, 0)));
        auto* out = der.data();
        i2d_X509(certificate, &out);
        chain.push_back(std::move(der));
        X509_free(certificate);
    }
    std::fclose(file);
    return chain;
}

LoopbackServer::TlsIdentity TestCertificateAuthority::issueServerIdentity(const std::string& fileStem,
    const std::string& commonName, const std::string& alternativeNames, Validity validity)
{
    Key key = makeKey();
    Certificate certificate = makeCertificate(commonName, key.get(), ++m_keys->lastSerial, validity);
    X509* root = m_keys->certificate.get();
    X509_set_issuer_name(certificate.get(), X509_get_subject_name(root));
    addExtension(certificate.get(), root, NID_basic_constraints, "critical,CA:FALSE");
    addExtension(certificate.get(), root, NID_key_usage, "critical,digitalSignature");
    addExtension(certificate.get(), root, NID_ext_key_usage, "serverAuth");
    addExtension(certificate.get(), root, NID_subject_alt_name, alternativeNames.c_str());
    addExtension(certificate.get(), root, NID_authority_key_identifier, "keyid:always");
    require(X509_sign(certificate.get(), m_keys->key.get(), EVP_sha256()) > 0, "could not sign a leaf");

    LoopbackServer::TlsIdentity identity { (m_folder / (fileStem + ".pem")).string(),
        (m_folder / (fileStem + "-key.pem")).string() };
    writeFile(identity.certificateFile, [&](FILE* file) {
        int written = PEM_write_X509(file, certificate.get()) == 1 ? PEM_write_X509(file, root) : 0;
        for (const auto& issuer : m_keys->issuers)
            written = written == 1 ? PEM_write_X509(file, issuer.get()) : 0;
        return written;
    });
    writeFile(identity.privateKeyFile, [&](FILE* file) {
        return PEM_write_PrivateKey(file, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    });
    return identity;
}

}
