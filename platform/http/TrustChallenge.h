#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::http {

/// What a custom trust check sees of a TLS peer during the handshake.
struct TrustChallenge {
    /// The host name the request was sent to.
    std::string host;
    /// The chain the peer presented, leaf first, each certificate as DER.
    std::vector<std::vector<std::uint8_t>> certificates;
    /// True when OpenSSL verified the chain against the system's trust store
    /// (the verdict the connection gets when no custom check is set).
    bool systemTrusted { false };

    /// The certificate at `index` in PEM form ("-----BEGIN CERTIFICATE-----...").
    std::string pem(std::size_t index) const;
};

}
