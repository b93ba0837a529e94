#pragma once

#include "Zorvik/Views/ContentView/TemplateViewObjc.h"
#include "platform/foundation/Observation.h"
#include "platform/foundation/Value.h"

#include <memory>
#include <string>

namespace platform::ui {
class Button;
class Image;
class ImageView;
class Label;
}

namespace zorvik {

class ContentViewController;
class LoadingView;

/// The frame of the screens that show the signed-in business (nib "ContentView"): besides the bar, the
/// scroll view and the content, a header with the business's name and a logo area in three presentations
/// (no logo area, a prompt to add a logo, the logo itself), a busy spinner over the logo, the photo-source
/// sheet that starts the logo flow and the alert shown when a logo upload fails. Its controller, a
/// ContentViewController, runs the logo flow and presents the sheets.
///
/// On 480-point screens there is no logo area. A view made with a business record follows that record's
/// "name" for its whole life, even when its business is replaced later.
class ContentViewObjc : public TemplateViewObjc, public platform::foundation::Observer {
public:
    /// A frame placed by a nib: no record, no observation.
    ContentViewObjc();
    /// A frame for the business `business` (may be null), shown in the header and observed.
    explicit ContentViewObjc(platform::foundation::DictionaryRef business);
    /// Stops observing the record observed since construction.
    ~ContentViewObjc() override;

    std::string className() const override { return "ContentViewObjc"; }

    /// "ContentView".
    std::string nib() const override;

    /// The business shown.
    const platform::foundation::DictionaryRef& business() const { return m_business; }
    /// Replaces the business shown (the name observation stays on the record given at construction).
    virtual void setBusiness(platform::foundation::DictionaryRef business);
    /// The screen's controller, or null.
    std::shared_ptr<ContentViewController> controller() const { return m_controller.lock(); }
    /// Sets the screen's controller, held weakly.
    void setController(const std::weak_ptr<ContentViewController>& controller) { m_controller = controller; }

    /// Any change of the observed record: both name labels show the business's present name.
    void observeValue(platform::foundation::Dictionary& object, const std::string& key,
        const platform::foundation::Change& change) override;

    /// Shows the white busy spinner over the logo.
    void showBusyView();
    /// Stops and hides the busy spinner.
    void hideBusyView();
    /// The add-logo button's action: the photo-source sheet.
    void showPhotoPickerOptions();
    /// Has the controller present "Select an option." with "Take Photo" (only when the device has a
    /// camera), "Select Photo" and "Cancel".
    void provideMenuOptionsToUser();
    /// Has the controller present "Logo Issue" with "Retry" (the upload again) and "Cancel".
    void showLogoFailedToUploadAlertView();
    /// Shows `image` in the logo picture; nothing else changes.
    void setLogo(const std::shared_ptr<const platform::ui::Image>& image);
    /// Chooses the presentation: none on a 480-point screen, else the stored logo or the prompt.
    void determineWhichLogoViewToShow();
    /// Disables the add-logo button.
    void disableAddLogoAction();
    /// The header without logo area.
    void showViewWithoutLogo();
    /// The logo area inviting the user to add a logo.
    void showViewForAddingLogo();
    /// The logo area showing `image`; then the controller's logoAdded().
    void showViewWithLogo(const std::shared_ptr<const platform::ui::Image>& image);

    /// The name in the header without logo area.
    const std::shared_ptr<platform::ui::Label>& businessNameLabel() const { return m_businessNameLabel; }
    /// The name inside the logo area.
    const std::shared_ptr<platform::ui::Label>& businessNameLabelForAddLogoView() const
    {
        return m_businessNameLabelForAddLogoView;
    }
    /// The header shown when no logo area is, or null.
    std::shared_ptr<platform::ui::View> readOnlyView() const { return m_readOnlyView.lock(); }
    /// The logo area, or null (always on 480-point screens).
    std::shared_ptr<platform::ui::View> addLogoView() const { return m_addLogoView.lock(); }
    /// The logo picture, or null.
    std::shared_ptr<platform::ui::ImageView> imageView() const { return m_imageView.lock(); }
    /// The picture that invites the user to add a logo, or null.
    std::shared_ptr<platform::ui::ImageView> addLogoImage() const { return m_addLogoImage.lock(); }
    /// The frame around a logo, or null.
    std::shared_ptr<platform::ui::ImageView> companyLogoFrame() const { return m_companyLogoFrame.lock(); }
    /// The background behind a logo, or null.
    std::shared_ptr<platform::ui::View> greyBackground() const { return m_greyBackground.lock(); }
    /// The busy spinner, or null.
    std::shared_ptr<LoadingView> logoLoadingView() const { return m_logoLoadingView.lock(); }
    /// The area that holds the spinner, or null.
    std::shared_ptr<platform::ui::View> spinnerContainer() const { return m_spinnerContainer.lock(); }
    /// The button over the logo area, or null.
    std::shared_ptr<platform::ui::Button> addLogoButton() const { return m_addLogoButton.lock(); }

protected:
    /// Builds the frame and content; for a view made with a business, shows and observes it, hides the
    /// read-only header and, on a 480-point screen, removes the logo area.
    void construct() override;

private:
    void declareOutlets();
    void showBusinessName();

    bool m_madeForBusiness { false };
    platform::foundation::DictionaryRef m_initialBusiness;
    platform::foundation::DictionaryRef m_business;
    platform::foundation::DictionaryRef m_observedBusiness;
    std::weak_ptr<ContentViewController> m_controller;
    std::shared_ptr<platform::ui::Label> m_businessNameLabel;
    std::shared_ptr<platform::ui::Label> m_businessNameLabelForAddLogoView;
    std::weak_ptr<platform::ui::View> m_readOnlyView;
    std::weak_ptr<platform::ui::View> m_addLogoView;
    std::weak_ptr<platform::ui::ImageView> m_imageView;
    std::weak_ptr<platform::ui::ImageView> m_addLogoImage;
    std::weak_ptr<platform::ui::ImageView> m_companyLogoFrame;
    std::weak_ptr<platform::ui::View> m_greyBackground;
    std::weak_ptr<LoadingView> m_logoLoadingView;
    std::weak_ptr<platform::ui::View> m_spinnerContainer;
    std::weak_ptr<platform::ui::Button> m_addLogoButton;
};

}
