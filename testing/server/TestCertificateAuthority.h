#pragma once

#include "testing/server/LoopbackServer.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace testing {

/// A certificate authority made afresh for a test (an EC P-256 key and a
/// self-signed root valid for a day), which issues server identities for
/// 127.0.0.1 and localhost. Its files are written into a folder the caller owns.
/// An authority may also be an intermediate, issued by another one.
class TestCertificateAuthority {
public:
    /// Where a certificate's validity lies: around now, or ended yesterday.
    enum class Validity { Current, Expired };

    /// Makes the authority and writes "<name>-ca.pem" into `folder`.
    TestCertificateAuthority(std::filesystem::path folder, std::string name = "Zorvik Test CA",
        Validity validity = Validity::Current);
    /// Makes an intermediate authority issued by `issuer` and writes "<name>-ca.pem" into `folder`. The
    /// identities it issues present the leaf, this authority and then `issuer`'s chain.
    TestCertificateAuthority(
        std::filesystem::path folder, std::string name, const TestCertificateAuthority& issuer);
    /// Leaves the files in the folder for its owner to remove.
    ~TestCertificateAuthority();
    TestCertificateAuthority(const TestCertificateAuthority&) = delete;
    TestCertificateAuthority& operator=(const TestCertificateAuthority&) = delete;

    /// The root certificate's PEM file.
    const std::filesystem::path& certificateFile() const { return m_certificateFile; }
    /// The root certificate as PEM text and as DER bytes.
    std::string certificatePem() const;
    std::vector<std::uint8_t> certificateDer() const;

    /// Issues a server certificate (subject `commonName`, subject alternative
    /// names `alternativeNames` in OpenSSL's notation) and writes
    /// "<fileStem>.pem" and "<fileStem>-key.pem" into the folder. The
    /// certificate file holds the leaf followed by this authority's root, as a
    /// server presents its chain.
    LoopbackServer::TlsIdentity issueServerIdentity(const std::string& fileStem,
        const std::string& commonName = "127.0.0.1",
        const std::string& alternativeNames = "IP:127.0.0.1,DNS:localhost",
        Validity validity = Validity::Current);

    /// The certificates of a PEM file (an identity's chain), each as DER, in the file's order.
    static std::vector<std::vector<std::uint8_t>> readChain(const std::filesystem::path& pemFile);

private:
    struct Keys;
    std::filesystem::path m_folder;
    std::filesystem::path m_certificateFile;
    std::unique_ptr<Keys> m_keys;
};

}
