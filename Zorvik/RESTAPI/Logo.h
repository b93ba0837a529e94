#pragma once

#include "Zorvik/Models/BuildSettings.h"
#include "platform/http/HttpError.h"
#include "platform/ui/Geometry.h"

#include <functional>
#include <memory>
#include <string>

namespace platform::outside {
class PhotoStore;
}

namespace platform::ui {
class Image;
}

namespace zorvik {

class FileStore;

/// The signed-in user's company logo: halved, turned into PNG and uploaded to the photo storage, then kept,
/// with its public address, in that user's DeviceUser record, from where the content screens read it
/// without any network access. Used on the main thread.
class Logo {
public:
    /// Receives the logo's public address.
    using SuccessBlock = std::function<void(const std::string& url)>;
    /// Receives why the logo was not stored.
    using FailureBlock = std::function<void(const platform::http::HttpError& error)>;
    /// Receives the stored logo, or null when there is none.
    using LoadBlock = std::function<void(std::shared_ptr<const platform::ui::Image> image)>;

    /// A logo store that uploads through `photoUpload` and makes public addresses on the storage at
    /// `publicBaseUrl` ("<base>/qz-image-uploads/<key>", the base's path replaced).
    Logo(std::shared_ptr<FileStore> fs, std::shared_ptr<platform::outside::PhotoStore> photoUpload,
        std::string publicBaseUrl = BuildSettings::photoStorageUrl());

    /// The file store given at creation (kept, not used here).
    const std::shared_ptr<FileStore>& fs() const { return m_fs; }
    /// Replaces the file store.
    void setFs(std::shared_ptr<FileStore> fs) { m_fs = std::move(fs); }

    /// The photo storage client.
    const std::shared_ptr<platform::outside::PhotoStore>& photoUpload() const { return m_photoUpload; }
    /// Replaces the photo storage client.
    void setPhotoUpload(std::shared_ptr<platform::outside::PhotoStore> photoUpload)
    {
        m_photoUpload = std::move(photoUpload);
    }

    /// Redraws `image` at half its size in points (scale 1), uploads it as PNG and, when the upload
    /// succeeds, stores the public address and the PNG bytes on the user who was signed in when the save
    /// began and calls `success` with the address. Exactly one block runs, once, on the main queue, when
    /// the upload ends. A failed upload calls `failure` with its error and changes nothing. An upload that
    /// ends after that user signed out (or another signed in) is not stored anywhere: `failure` runs.
    void saveWithImage(const std::shared_ptr<const platform::ui::Image>& image, SuccessBlock success,
        FailureBlock failure) const;

    /// Calls `loaded` at once, before returning, with the signed-in user's stored logo, or null when there
    /// is none (or nobody is signed in). `failure` is never called.
    void load(const LoadBlock& loaded, const FailureBlock& failure) const;

    /// `image` redrawn into a transparent bitmap of `size` points at scale 1 (null for a null image).
    static std::shared_ptr<const platform::ui::Image> imageWithImage(
        const std::shared_ptr<const platform::ui::Image>& image, platform::ui::Size size);

private:
    std::shared_ptr<FileStore> m_fs;
    std::shared_ptr<platform::outside::PhotoStore> m_photoUpload;
    std::string m_publicBaseUrl;
};

}
