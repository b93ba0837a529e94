#pragma once

#include "Zorvik/Controllers/CompanySettingsController/CompanySettingsControllerProtocol.h"
#include "platform/foundation/Value.h"

#include <memory>

namespace platform::ui {
class Application;
class NavigationController;
class ViewController;
}

namespace zorvik {

class CompanySettingsViewProtocol;

/// The actions of the business settings menu: the three profile forms, the shared documents folder, "done"
/// and log-out. It holds its view; the view holds it weakly. The navigation controller is held weakly too:
/// it owns the screen that owns this object.
class CompanySettingsController : public CompanySettingsControllerProtocol,
                                  public std::enable_shared_from_this<CompanySettingsController> {
public:
    /// Keeps the four, gives the view the business; make() then becomes the view's actions object.
    CompanySettingsController(std::shared_ptr<CompanySettingsViewProtocol> view,
        std::weak_ptr<platform::ui::NavigationController> navigationController,
        platform::foundation::DictionaryRef business, platform::ui::Application& application);

    /// A controller as above that is already the view's actions object.
    static std::shared_ptr<CompanySettingsController> make(std::shared_ptr<CompanySettingsViewProtocol> view,
        std::weak_ptr<platform::ui::NavigationController> navigationController,
        platform::foundation::DictionaryRef business, platform::ui::Application& application);

    /// Pushes a business details form, animated.
    void showCompanyInfo() override;
    /// Pushes a VAT registration form, animated.
    void showVATRegistrationInfo() override;
    /// Pushes a bank account form, animated.
    void showBankAccountInfo() override;
    /// Opens the business's "shared_link" with the system, only when it is an http or https address with a
    /// host; any other link (none, another scheme, plain text) opens nothing.
    void showInvoiceFolder() override;
    /// Signs the user out of this device: the "user" file goes and no stored user is active, every
    /// scheduled reminder is cancelled, the icon's badge goes to 0, and the session forgets its token and
    /// its signed-in freelancer. Then a new start screen replaces the whole stack, animated. Nothing is
    /// sent to the back-end.
    void logOutUser() override;
    /// Pops the menu, animated.
    void done() override;

    const platform::foundation::DictionaryRef& business() const { return m_business; }
    void setBusiness(platform::foundation::DictionaryRef business) { m_business = std::move(business); }
    const std::shared_ptr<CompanySettingsViewProtocol>& view() const { return m_view; }

private:
    void push(const std::shared_ptr<platform::ui::ViewController>& screen);

    std::shared_ptr<CompanySettingsViewProtocol> m_view;
    std::weak_ptr<platform::ui::NavigationController> m_navigationController;
    platform::foundation::DictionaryRef m_business;
    platform::ui::Application& m_application;
};

}
