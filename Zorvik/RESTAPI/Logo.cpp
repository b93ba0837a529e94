#include "Zorvik/RESTAPI/Logo.h"

#include "Zorvik/DeviceStorage/UserStore.h"
#include "platform/foundation/Log.h"
#include "platform/http/Url.h"
#include "platform/outside/PhotoStore.h"
#include "platform/ui/Image.h"

#include <optional>

namespace zorvik {

using platform::foundation::Bytes;
using platform::http::HttpError;
using platform::ui::Image;

namespace {

// The path, on the storage's host, under which an uploaded image is public.
constexpr std::string_view kPublicPath = "/qz-image-uploads/";

std::optional<std::string> activeUsername()
{
    auto user = UserStore::sharedStore().fetchActiveUser();
    return user ? std::optional<std::string>(user->username()) : std::nullopt;
}

}

Logo::Logo(std::shared_ptr<FileStore> fs, std::shared_ptr<platform::outside::PhotoStore> photoUpload,
    std::string publicBaseUrl)
    : m_fs(std::move(fs))
    , m_photoUpload(std::move(photoUpload))
    , m_publicBaseUrl(std::move(publicBaseUrl))
{
}

void Logo::saveWithImage(
    const std::shared_ptr<const Image>& image, SuccessBlock success, FailureBlock failure) const
{
    auto scaled
        = image ? imageWithImage(image, { image->size().width / 2, image->size().height / 2 }) : nullptr;
    Bytes png = scaled ? scaled->pngData() : Bytes();
    auto owner = activeUsername();
    m_photoUpload->uploadImageData(png,
        [png, owner, base = m_publicBaseUrl, success = std::move(success), failure = std::move(failure)](
            const std::optional<HttpError>& error, const std::string& key) {
            if (error) {
                failure(*error);
                return;
            }
            auto& store = UserStore::sharedStore();
            auto user = store.fetchActiveUser();
            if (!user || !owner || user->username() != *owner) {
                platform::foundation::Log("[Logo]").write(
                    "An uploaded logo was dropped: the user who chose it is no longer signed in");
                failure(
                    HttpError(HttpError::Code::Other, "The user who chose the logo is no longer signed in"));
                return;
            }
            std::string url = platform::http::resolve(
                std::string(kPublicPath) + platform::http::percentEncode(key), base);
            user->setLogoURL(url);
            user->setLogoImage(png);
            store.updateStore();
            success(url);
        });
}

void Logo::load(const LoadBlock& loaded, const FailureBlock&) const
{
    auto user = UserStore::sharedStore().fetchActiveUser();
    loaded(user ? Image::fromPNGData(user->logoImage(), 1) : nullptr);
}

std::shared_ptr<const Image> Logo::imageWithImage(
    const std::shared_ptr<const Image>& image, platform::ui::Size size)
{
    return image ? image->scaledToSize(size, 1) : nullptr;
}

}
