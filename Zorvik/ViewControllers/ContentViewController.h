#pragma once

#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace platform::ui {
class Image;
}

namespace zorvik {

class ContentViewObjc;
class Logo;

/// The controller behind every screen whose view is a ContentViewObjc: it gives the screen its business
/// logo. The user takes or picks a photo (cropped square), which is uploaded at half size to the photo
/// storage; once the server has recorded the logo's address on the business the logo area shows it and the
/// status bar turns to dark content. While the upload runs, a busy spinner covers the logo; a failure
/// (of the upload, or of the server, including a business the server does not know) hides the spinner and
/// offers "Retry" in the "Logo Issue" alert, and the device keeps the logo it had before.
///
/// Subclasses make their ContentViewObjc in loadView() and call viewDidLoad() first when they override it.
class ContentViewController : public platform::ui::ViewController,
                              public platform::ui::ImagePickerControllerDelegate {
public:
    /// A controller whose status bar style is light content until a logo is added.
    ContentViewController();

    std::string className() const override { return "ContentViewController"; }

    /// Makes itself the view's controller and makes the logo store.
    void viewDidLoad() override;

    /// Presents a camera picker, animated ("Take Photo").
    void takePhoto();
    /// Presents a photo-library picker, animated ("Select Photo").
    void selectPhoto();
    /// A new picker with this controller as delegate, in which the user crops the photo.
    std::shared_ptr<platform::ui::ImagePickerController> constructImagePickerController();
    /// Takes the cropped picture (through PNG), starts the upload and only then dismisses the picker.
    void didFinishPicking(
        platform::ui::ImagePickerController& picker, const platform::ui::ImagePickerInfo& info) override;
    /// Dismisses the picker; nothing else.
    void didCancel(platform::ui::ImagePickerController& picker) override;

    /// Uploads convertedImage() and records it on the business; also the alert's "Retry". A failure that
    /// arrives while the picker is still going away shows its alert once the picker has gone.
    void saveImage();
    /// The signed-in user's stored logo, or null (also before the view has loaded); read at once from the
    /// device.
    std::shared_ptr<const platform::ui::Image> loadImage();

    /// The view's showViewWithoutLogo().
    void showViewWithoutLogo();
    /// The view's showViewWithLogo().
    void showViewWithLogo(const std::shared_ptr<const platform::ui::Image>& image);
    /// The view's determineWhichLogoViewToShow().
    void determineWhichLogoViewToShow();
    /// The view's disableAddLogoAction().
    void disableAddLogoAction();

    /// Light content, whatever statusBarStyle() holds; the screens that show logos answer statusBarStyle().
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override;
    /// Called after a logo is shown: the status bar style becomes default (dark content) and the status
    /// bar is brought up to date. Overrides call this first; repeating it gives the same result.
    virtual void logoAdded();

    /// Light content from creation, default after logoAdded().
    platform::ui::StatusBarStyle statusBarStyle() const { return m_statusBarStyle; }
    /// The logo store, made by viewDidLoad().
    const std::shared_ptr<Logo>& logo() const { return m_logo; }
    /// The picked picture after its trip through PNG: the one uploaded and shown.
    const std::shared_ptr<const platform::ui::Image>& convertedImage() const { return m_convertedImage; }
    /// The picture last read by loadImage().
    const std::shared_ptr<const platform::ui::Image>& loadedImage() const { return m_loadedImage; }
    /// The screen's view, or null when it is not loaded.
    std::shared_ptr<ContentViewObjc> contentView() const;

private:
    void logoRejected(const std::shared_ptr<ContentViewObjc>& view);

    std::shared_ptr<Logo> m_logo;
    std::shared_ptr<const platform::ui::Image> m_convertedImage;
    std::shared_ptr<const platform::ui::Image> m_loadedImage;
    platform::ui::StatusBarStyle m_statusBarStyle { platform::ui::StatusBarStyle::LightContent };
    // A failure that arrives while the picker is still going away shows its alert once it has gone.
    bool m_dismissingPicker { false };
    bool m_alertAfterDismissal { false };
};

}
