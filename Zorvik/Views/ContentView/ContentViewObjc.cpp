#include "Zorvik/Views/ContentView/ContentViewObjc.h"

#include "Zorvik/ViewControllers/ContentViewController.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

using platform::foundation::DictionaryRef;
using platform::ui::AlertAction;
using platform::ui::AlertActionStyle;
using platform::ui::AlertController;
using platform::ui::AlertControllerStyle;
using platform::ui::Color;
using platform::ui::Image;

namespace {

// The key of the business's name, which the header shows and follows.
constexpr const char* kNameKey = "name";

}

ContentViewObjc::ContentViewObjc()
{
    declareOutlets();
}

ContentViewObjc::ContentViewObjc(DictionaryRef business)
    : m_madeForBusiness(true)
    , m_initialBusiness(std::move(business))
{
    declareOutlets();
}

ContentViewObjc::~ContentViewObjc()
{
    if (m_observedBusiness)
        m_observedBusiness->removeObserver(this, kNameKey);
}

void ContentViewObjc::declareOutlets()
{
    declareOutlet("businessNameLabel", m_businessNameLabel);
    declareOutlet("businessNameLabelForAddLogoView", m_businessNameLabelForAddLogoView);
    declareOutlet("readOnlyView", m_readOnlyView);
    declareOutlet("addLogoView", m_addLogoView);
    declareOutlet("imageView", m_imageView);
    declareOutlet("addLogoImage", m_addLogoImage);
    declareOutlet("companyLogoFrame", m_companyLogoFrame);
    declareOutlet("greyBackground", m_greyBackground);
    declareOutlet("logoLoadingView", m_logoLoadingView);
    declareOutlet("spinnerContainer", m_spinnerContainer);
    declareOutlet("addLogoButton", m_addLogoButton);
    declareAction("showPhotoPickerOptions", [this](platform::ui::View&) { showPhotoPickerOptions(); });
}

std::string ContentViewObjc::nib() const
{
    return "ContentView";
}

void ContentViewObjc::construct()
{
    TemplateViewObjc::construct();
    if (!m_madeForBusiness)
        return;
    setBusiness(m_initialBusiness);
    m_initialBusiness.reset();
    showBusinessName();
    if (auto header = readOnlyView())
        header->setHidden(true);
    if (m_business) {
        m_observedBusiness = m_business;
        m_observedBusiness->addObserver(
            std::static_pointer_cast<ContentViewObjc>(shared_from_this()), kNameKey);
    }
    if (isSmallIPhone()) {
        if (auto logoArea = addLogoView())
            logoArea->removeFromSuperview();
    }
}

void ContentViewObjc::setBusiness(DictionaryRef business)
{
    m_business = std::move(business);
}

void ContentViewObjc::observeValue(
    platform::foundation::Dictionary&, const std::string&, const platform::foundation::Change&)
{
    showBusinessName();
}

void ContentViewObjc::showBusinessName()
{
    std::optional<std::string> name;
    if (m_business) {
        platform::foundation::Value value = m_business->get(kNameKey);
        if (const std::string* text = value.string())
            name = *text;
    }
    m_businessNameLabel->setText(name);
    m_businessNameLabelForAddLogoView->setText(name);
}

void ContentViewObjc::showBusyView()
{
    if (auto container = spinnerContainer())
        container->setHidden(false);
    if (auto spinner = logoLoadingView()) {
        spinner->setSpinnerColour(Color::white());
        spinner->setHidden(false);
        spinner->beginAnimation();
    }
}

void ContentViewObjc::hideBusyView()
{
    auto spinner = logoLoadingView();
    if (spinner)
        spinner->endAnimation();
    if (auto container = spinnerContainer())
        container->setHidden(true);
    if (spinner)
        spinner->setHidden(true);
}

void ContentViewObjc::showPhotoPickerOptions()
{
    provideMenuOptionsToUser();
}

void ContentViewObjc::provideMenuOptionsToUser()
{
    auto owner = controller();
    if (!owner)
        return;
    std::weak_ptr<ContentViewController> weakOwner = owner;
    auto sheet = std::make_shared<AlertController>(
        std::string("Select an option."), std::nullopt, AlertControllerStyle::ActionSheet);
    if (platform::ui::ImagePickerController::isSourceTypeAvailable(
            platform::ui::ImagePickerSourceType::Camera)) {
        sheet->addAction(
            std::make_shared<AlertAction>("Take Photo", AlertActionStyle::Default, [weakOwner](AlertAction&) {
                if (auto screen = weakOwner.lock())
                    screen->takePhoto();
            }));
    }
    sheet->addAction(
        std::make_shared<AlertAction>("Select Photo", AlertActionStyle::Default, [weakOwner](AlertAction&) {
            if (auto screen = weakOwner.lock())
                screen->selectPhoto();
        }));
    sheet->addAction(std::make_shared<AlertAction>("Cancel", AlertActionStyle::Cancel));
    owner->presentViewController(sheet, true);
}

void ContentViewObjc::showLogoFailedToUploadAlertView()
{
    auto owner = controller();
    if (!owner)
        return;
    std::weak_ptr<ContentViewController> weakOwner = owner;
    auto alert = std::make_shared<AlertController>(
        std::string("Logo Issue"), std::string("Oops! \nCould not save logo."), AlertControllerStyle::Alert);
    alert->addAction(
        std::make_shared<AlertAction>("Retry", AlertActionStyle::Default, [weakOwner](AlertAction&) {
            if (auto screen = weakOwner.lock())
                screen->saveImage();
        }));
    alert->addAction(std::make_shared<AlertAction>("Cancel", AlertActionStyle::Cancel));
    owner->presentViewController(alert, true);
}

void ContentViewObjc::setLogo(const std::shared_ptr<const Image>& image)
{
    if (auto picture = imageView())
        picture->setImage(image);
}

void ContentViewObjc::determineWhichLogoViewToShow()
{
    auto owner = controller();
    auto image = owner ? owner->loadImage() : nullptr;
    if (isSmallIPhone())
        showViewWithoutLogo();
    else if (image)
        showViewWithLogo(image);
    else
        showViewForAddingLogo();
}

void ContentViewObjc::disableAddLogoAction()
{
    if (auto button = addLogoButton())
        button->setEnabled(false);
}

void ContentViewObjc::showViewWithoutLogo()
{
    if (auto header = readOnlyView())
        header->setHidden(false);
    if (auto logoArea = addLogoView())
        logoArea->setHidden(true);
    if (auto frame = companyLogoFrame())
        frame->setHidden(true);
    if (auto background = greyBackground())
        background->setHidden(true);
    disableAddLogoAction();
}

void ContentViewObjc::showViewForAddingLogo()
{
    if (auto logoArea = addLogoView())
        logoArea->setHidden(false);
    if (auto header = readOnlyView())
        header->setHidden(true);
    if (auto background = greyBackground())
        background->setHidden(true);
    if (auto frame = companyLogoFrame())
        frame->setHidden(true);
    if (auto prompt = addLogoImage())
        prompt->setHidden(false);
    m_businessNameLabelForAddLogoView->setTextColor(Color::white());
    if (auto button = addLogoButton())
        button->setEnabled(true);
}

void ContentViewObjc::showViewWithLogo(const std::shared_ptr<const Image>& image)
{
    setLogo(image);
    if (auto logoArea = addLogoView())
        logoArea->setHidden(false);
    if (auto background = greyBackground())
        background->setHidden(false);
    if (auto frame = companyLogoFrame())
        frame->setHidden(false);
    if (auto header = readOnlyView())
        header->setHidden(true);
    if (auto prompt = addLogoImage())
        prompt->setHidden(true);
    m_businessNameLabelForAddLogoView->setTextColor(Color::black());
    if (auto button = addLogoButton())
        button->setEnabled(true);
    if (auto owner = controller())
        owner->logoAdded();
}

}
