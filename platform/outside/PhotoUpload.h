#pragma once

#include "platform/outside/PhotoStore.h"

#include <memory>
#include <string>

namespace platform::http {
class SessionEngine;
}

namespace platform::outside {

/// The client of the photo storage service. Wire format (our own):
///
///   POST <service>/qz-image-uploads         the service URL's path is replaced by "/qz-image-uploads"
///   Content-Type: image/png | image/jpeg | application/octet-stream   (from the bytes' signature)
///   X-Upload-Date: 20150114T120000Z         the request's time in UTC
///   X-Content-SHA256: <hex SHA-256 of the body>
///   Authorization: ZPU-HMAC-SHA256 Credential=<access key>, Signature=<hex HMAC-SHA256>
///   body: the image bytes
///   -> 2xx {"key": "<key>"}; the image is then public at <service>/qz-image-uploads/<key>
///
/// The signature is the HMAC-SHA256, under the secret key, of the method, the path, the date and the
/// body's digest, each followed by "\n" except the last ("POST\n/qz-image-uploads\n<date>\n<digest>").
/// The secret key itself is never sent.
///
/// An upload in flight keeps what it needs alive: its completion runs even when this object is released
/// first. Use it on the main thread.
class PhotoUpload : public PhotoStore {
public:
    /// The path under which the storage keeps images, on the service's host.
    static constexpr const char* kUploadPath = "/qz-image-uploads";

    /// A client of the storage at `serviceUrl` (an absolute http or https URL) that signs its uploads
    /// with `accessKey` and `secretKey`.
    PhotoUpload(std::string serviceUrl, std::string accessKey, std::string secretKey);
    /// Uploads in flight go on to their completion.
    ~PhotoUpload() override;

    /// The service's URL.
    const std::string& serviceUrl() const { return m_serviceUrl; }

    /// Uploads `data`. Empty data fails without a request. A 2xx answer without a non-empty "key" fails
    /// as an unreadable answer; any other status, and no answer at all, fails with that error.
    void uploadImageData(const foundation::Bytes& data, Completion completion) override;

private:
    std::string m_serviceUrl;
    std::string m_accessKey;
    std::string m_secretKey;
    std::shared_ptr<http::SessionEngine> m_engine;
};

}
