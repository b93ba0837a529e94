#include "platform/http/TrustChallenge.h"

#include <openssl/pem.h>
#include <openssl/x509.h>

#include <memory>

namespace platform::http {

std::string TrustChallenge::pem(std::size_t index) const
{
    if (index >= certificates.size())
        return {};
    const auto& der = certificates[index];
    const unsigned char* in = der.data();
    std::unique_ptr<X509, decltype(&X509_free)> certificate(
        d2i_X509(nullptr, &in, static_cast<long>(der.size())), X509_free);
    std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), BIO_free);
    if (!certificate || !out || PEM_write_bio_X509(out.get(), certificate.get()) != 1)
        return {};
    char* data = nullptr;
    long length = BIO_get_mem_data(out.get(), &data);
    return std::string(data, static_cast<std::size_t>(length));
}

}
