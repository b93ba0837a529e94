#pragma once

#include "platform/foundation/Value.h"
#include "platform/http/HttpError.h"

#include <functional>
#include <optional>
#include <string>

namespace platform::outside {

/// A photo storage that keeps uploaded images under keys, each publicly readable afterwards.
class PhotoStore {
public:
    /// Receives the upload's error (nullopt on success) and, on success, the key the storage keeps the
    /// image under.
    using Completion
        = std::function<void(const std::optional<http::HttpError>& error, const std::string& key)>;

    virtual ~PhotoStore() = default;

    /// Uploads the image bytes `data`. `completion` runs exactly once, on the main queue, never before
    /// this call returns.
    virtual void uploadImageData(const foundation::Bytes& data, Completion completion) = 0;
};

}
