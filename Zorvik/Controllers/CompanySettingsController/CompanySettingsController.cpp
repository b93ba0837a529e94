#include "Zorvik/Controllers/CompanySettingsController/CompanySettingsController.h"

#include "Zorvik/Controllers/CompanySettingsController/CompanySettingsViewProtocol.h"
#include "Zorvik/DeviceStorage/SignedInUser.h"
#include "Zorvik/Events/Notifications/BadgeNotifications.h"
#include "Zorvik/ViewControllers/ProfileForms/BankAccountViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/CompanyProfileViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/VATRegistrationViewController.h"
#include "Zorvik/ViewControllers/StartSignupViewController.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "platform/http/Url.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace zorvik {

namespace {

// Only web addresses leave the app: a folder link of any other scheme could run script or open another app.
bool isWebAddress(const std::string& link)
{
    auto colon = link.find("://");
    if (colon == std::string::npos)
        return false;
    std::string scheme = link.substr(0, colon);
    std::transform(
        scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return (scheme == "http" || scheme == "https") && !platform::http::hostOf(link).empty();
}

}

CompanySettingsController::CompanySettingsController(std::shared_ptr<CompanySettingsViewProtocol> view,
    std::weak_ptr<platform::ui::NavigationController> navigationController,
    platform::foundation::DictionaryRef business, platform::ui::Application& application)
    : m_view(std::move(view))
    , m_navigationController(std::move(navigationController))
    , m_business(std::move(business))
    , m_application(application)
{
    m_view->setBusiness(m_business);
}

std::shared_ptr<CompanySettingsController> CompanySettingsController::make(
    std::shared_ptr<CompanySettingsViewProtocol> view,
    std::weak_ptr<platform::ui::NavigationController> navigationController,
    platform::foundation::DictionaryRef business, platform::ui::Application& application)
{
    auto controller = std::make_shared<CompanySettingsController>(
        std::move(view), std::move(navigationController), std::move(business), application);
    controller->m_view->setSettingsController(controller);
    return controller;
}

void CompanySettingsController::push(const std::shared_ptr<platform::ui::ViewController>& screen)
{
    if (auto navigation = m_navigationController.lock())
        navigation->pushViewController(screen, true);
}

void CompanySettingsController::showCompanyInfo()
{
    push(std::make_shared<CompanyProfileViewController>());
}

void CompanySettingsController::showVATRegistrationInfo()
{
    push(std::make_shared<VATRegistrationViewController>());
}

void CompanySettingsController::showBankAccountInfo()
{
    push(std::make_shared<BankAccountViewController>());
}

void CompanySettingsController::showInvoiceFolder()
{
    if (!m_business)
        return;
    auto link = api::Business(m_business).documentsFolder();
    if (link && isWebAddress(*link))
        m_application.openURL(*link);
    else
        m_view->showMessage("No invoice folder", "Your business has no shared invoice folder yet.");
}

void CompanySettingsController::logOutUser()
{
    // The new stack lets go of the screen that owns this object.
    auto keepAlive = shared_from_this();
    SignedInUser::clear();
    m_application.cancelAllLocalNotifications();
    BadgeNotifications().resetApplicationBadgeNumberToZero();
    api::Freelancer::logOut();
    if (auto navigation = m_navigationController.lock())
        navigation->setViewControllers({ std::make_shared<StartSignupViewController>() }, true);
}

void CompanySettingsController::done()
{
    if (auto navigation = m_navigationController.lock())
        navigation->popViewController(true);
}

}
