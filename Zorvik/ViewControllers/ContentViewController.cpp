#include "Zorvik/ViewControllers/ContentViewController.h"

#include "Zorvik/DeviceStorage/SDK.h"
#include "Zorvik/DeviceStorage/UserStore.h"
#include "Zorvik/Models/BuildSettings.h"
#include "Zorvik/RESTAPI/Logo.h"
#include "Zorvik/Views/ContentView/ContentViewObjc.h"
#include "ZorvikAPI/models/Business.h"
#include "platform/foundation/Assertion.h"
#include "platform/outside/PhotoUpload.h"
#include "platform/ui/Image.h"

#include <optional>
#include <utility>

namespace zorvik {

using platform::ui::Image;
using platform::ui::ImagePickerController;
using platform::ui::ImagePickerSourceType;
using platform::ui::StatusBarStyle;

namespace {

// The logo a user had on the device before an upload, to put back when the server refuses the new one.
struct StoredLogo {
    std::string username;
    std::string url;
    platform::foundation::Bytes image;

    static std::optional<StoredLogo> ofActiveUser()
    {
        auto user = UserStore::sharedStore().fetchActiveUser();
        if (!user)
            return std::nullopt;
        return StoredLogo { user->username(), user->logoURL(), user->logoImage() };
    }

    void restore() const
    {
        auto& store = UserStore::sharedStore();
        auto user = store.fetchUserWithUsername(username);
        if (!user)
            return;
        user->setLogoURL(url);
        user->setLogoImage(image);
        store.updateStore();
    }
};

}

ContentViewController::ContentViewController() = default;

void ContentViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    auto view = contentView();
    platform::foundation::precondition(
        view != nullptr, "The view of a ContentViewController is a ContentViewObjc");
    view->setController(std::static_pointer_cast<ContentViewController>(shared_from_this()));
    m_logo = std::make_shared<Logo>(SDK::sdk().fs(),
        std::make_shared<platform::outside::PhotoUpload>(BuildSettings::photoStorageUrl(),
            BuildSettings::photoAccessKey(), BuildSettings::photoSecretKey()));
}

void ContentViewController::takePhoto()
{
    auto picker = constructImagePickerController();
    picker->setSourceType(ImagePickerSourceType::Camera);
    presentViewController(picker, true);
}

void ContentViewController::selectPhoto()
{
    auto picker = constructImagePickerController();
    picker->setSourceType(ImagePickerSourceType::PhotoLibrary);
    presentViewController(picker, true);
}

std::shared_ptr<ImagePickerController> ContentViewController::constructImagePickerController()
{
    auto picker = std::make_shared<ImagePickerController>();
    picker->setDelegate(std::static_pointer_cast<ContentViewController>(shared_from_this()));
    picker->setAllowsEditing(true);
    return picker;
}

void ContentViewController::didFinishPicking(
    ImagePickerController& picker, const platform::ui::ImagePickerInfo& info)
{
    auto keepPicker = picker.shared_from_this();
    auto picked = info.editedImage ? info.editedImage : info.originalImage;
    m_convertedImage = picked ? Image::fromPNGData(picked->pngData()) : nullptr;
    if (m_convertedImage)
        saveImage();
    m_dismissingPicker = true;
    std::weak_ptr<ContentViewController> weakSelf
        = std::static_pointer_cast<ContentViewController>(shared_from_this());
    picker.dismissViewController(true, [weakSelf] {
        auto self = weakSelf.lock();
        if (!self)
            return;
        self->m_dismissingPicker = false;
        if (std::exchange(self->m_alertAfterDismissal, false)) {
            if (auto view = self->contentView())
                view->showLogoFailedToUploadAlertView();
        }
    });
}

void ContentViewController::didCancel(ImagePickerController& picker)
{
    picker.dismissViewController(true);
}

void ContentViewController::saveImage()
{
    auto view = contentView();
    if (!view || !m_logo)
        return;
    view->showBusyView();
    std::weak_ptr<ContentViewController> weakSelf
        = std::static_pointer_cast<ContentViewController>(shared_from_this());
    auto image = m_convertedImage;
    auto business = view->business();
    auto previous = StoredLogo::ofActiveUser();
    auto rejected = [weakSelf, previous] {
        if (previous)
            previous->restore();
        if (auto self = weakSelf.lock())
            self->logoRejected(self->contentView());
    };
    m_logo->saveWithImage(
        image,
        [weakSelf, image, business, rejected](const std::string& url) {
            if (!business) {
                rejected();
                return;
            }
            api::Business(business).setLogo(
                url,
                [weakSelf, image] {
                    auto self = weakSelf.lock();
                    auto view = self ? self->contentView() : nullptr;
                    if (!view)
                        return;
                    view->hideBusyView();
                    view->setLogo(image);
                    view->showViewWithLogo(image);
                    self->logoAdded();
                },
                rejected, [rejected](const platform::http::HttpError&) { rejected(); });
        },
        [weakSelf](const platform::http::HttpError&) {
            if (auto self = weakSelf.lock())
                self->logoRejected(self->contentView());
        });
}

void ContentViewController::logoRejected(const std::shared_ptr<ContentViewObjc>& view)
{
    if (!view)
        return;
    view->hideBusyView();
    if (m_dismissingPicker)
        m_alertAfterDismissal = true;
    else
        view->showLogoFailedToUploadAlertView();
}

std::shared_ptr<const Image> ContentViewController::loadImage()
{
    if (!m_logo)
        return nullptr;
    m_logo->load([this](std::shared_ptr<const Image> image) { m_loadedImage = std::move(image); },
        [this](const platform::http::HttpError&) { m_loadedImage = nullptr; });
    return m_loadedImage;
}

void ContentViewController::showViewWithoutLogo()
{
    contentView()->showViewWithoutLogo();
}

void ContentViewController::showViewWithLogo(const std::shared_ptr<const Image>& image)
{
    contentView()->showViewWithLogo(image);
}

void ContentViewController::determineWhichLogoViewToShow()
{
    contentView()->determineWhichLogoViewToShow();
}

void ContentViewController::disableAddLogoAction()
{
    contentView()->disableAddLogoAction();
}

StatusBarStyle ContentViewController::preferredStatusBarStyle() const
{
    return StatusBarStyle::LightContent;
}

void ContentViewController::logoAdded()
{
    m_statusBarStyle = StatusBarStyle::Default;
    setNeedsStatusBarAppearanceUpdate();
}

std::shared_ptr<ContentViewObjc> ContentViewController::contentView() const
{
    return std::dynamic_pointer_cast<ContentViewObjc>(viewIfLoaded());
}

}
