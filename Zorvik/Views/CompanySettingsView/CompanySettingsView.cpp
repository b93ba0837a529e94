#include "Zorvik/Views/CompanySettingsView/CompanySettingsView.h"

#include "Zorvik/Controllers/CompanySettingsController/CompanySettingsControllerProtocol.h"
#include "Zorvik/ViewControllers/ContentViewController.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Color.h"

namespace zorvik {

using platform::ui::AlertAction;
using platform::ui::AlertActionStyle;
using platform::ui::AlertController;
using platform::ui::AttributedString;

CompanySettingsView::CompanySettingsView(platform::foundation::DictionaryRef business)
    : ContentViewObjc(std::move(business))
{
    declareAction("showCompany", [this](platform::ui::View&) { showCompany(); });
    declareAction("showVATRegistration", [this](platform::ui::View&) { showVATRegistration(); });
    declareAction("showBankAccount", [this](platform::ui::View&) { showBankAccount(); });
    declareAction("showDropbox", [this](platform::ui::View&) { showDropbox(); });
    declareAction("showLogOutDialogue", [this](platform::ui::View&) { showLogOutDialogue(); });
}

std::shared_ptr<CompanySettingsView> CompanySettingsView::make(platform::foundation::DictionaryRef business)
{
    return create<CompanySettingsView>(platform::ui::Rect::zero(), std::move(business));
}

std::optional<std::string> CompanySettingsView::contentNib() const
{
    return std::string("CompanySettingsView");
}

void CompanySettingsView::construct()
{
    ContentViewObjc::construct();
    auto bar = navigationBar();
    bar->hideNegativeButton();
    bar->setTitleColour(platform::ui::Color::white());
    bar->setPositiveButtonText(AttributedString("done"));
    bar->setObserver(std::weak_ptr<NavigationBarDelegate>(
        std::static_pointer_cast<CompanySettingsView>(shared_from_this())));
}

void CompanySettingsView::setBusiness(platform::foundation::DictionaryRef business)
{
    ContentViewObjc::setBusiness(std::move(business));
}

void CompanySettingsView::showMessage(const std::string& title, const std::string& message)
{
    showError(title, message, "OK");
}

void CompanySettingsView::forward(void (CompanySettingsControllerProtocol::*operation)())
{
    if (auto controller = settingsController())
        ((*controller).*operation)();
}

void CompanySettingsView::showCompany()
{
    forward(&CompanySettingsControllerProtocol::showCompanyInfo);
}

void CompanySettingsView::showVATRegistration()
{
    forward(&CompanySettingsControllerProtocol::showVATRegistrationInfo);
}

void CompanySettingsView::showBankAccount()
{
    forward(&CompanySettingsControllerProtocol::showBankAccountInfo);
}

void CompanySettingsView::showDropbox()
{
    forward(&CompanySettingsControllerProtocol::showInvoiceFolder);
}

void CompanySettingsView::positivePressed()
{
    forward(&CompanySettingsControllerProtocol::done);
}

void CompanySettingsView::showLogOutDialogue()
{
    auto screen = controller();
    if (!screen)
        return;
    auto sheet = std::make_shared<AlertController>(
        "Are you sure?", std::nullopt, platform::ui::AlertControllerStyle::ActionSheet);
    sheet->addAction(std::make_shared<AlertAction>("Cancel", AlertActionStyle::Cancel));
    std::weak_ptr<CompanySettingsView> weak
        = std::static_pointer_cast<CompanySettingsView>(shared_from_this());
    sheet->addAction(
        std::make_shared<AlertAction>("Log out", AlertActionStyle::Default, [weak](AlertAction&) {
            if (auto view = weak.lock())
                view->forward(&CompanySettingsControllerProtocol::logOutUser);
        }));
    screen->presentViewController(sheet, true);
}

void CompanySettingsView::applyNavigationBarThemeForLogo()
{
    navigationBar()->setTitleColour(platform::ui::Color::black());
    navigationBar()->setPositiveButtonText(AttributedString("done"));
}

}
