#pragma once

#include "Zorvik/Controllers/CompanySettingsController/CompanySettingsViewProtocol.h"
#include "Zorvik/Views/ContentView/ContentViewObjc.h"
#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"

#include <memory>
#include <optional>
#include <string>

namespace zorvik {

/// The business settings menu (content nib "CompanySettingsView") under the business's header: business
/// info, VAT info, bank account info, the invoice folder and log-out, with "done" on the right of the bar
/// and no left button. Each press goes to the actions object; with none, nothing happens.
class CompanySettingsView : public ContentViewObjc,
                            public NavigationBarDelegate,
                            public CompanySettingsViewProtocol {
public:
    /// The titles of the menu's buttons, top to bottom.
    static constexpr const char* kBusinessInfoTitle { "Business info" };
    static constexpr const char* kVATInfoTitle { "VAT info" };
    static constexpr const char* kBankAccountTitle { "Bank account info" };
    static constexpr const char* kInvoiceFolderTitle { "Invoice folder" };
    static constexpr const char* kLogOutTitle { "Log out" };

    /// An empty menu; make one with make().
    explicit CompanySettingsView(platform::foundation::DictionaryRef business);
    /// The menu for `business` (may be null): white bar title, "done" on the right, no left button.
    static std::shared_ptr<CompanySettingsView> make(platform::foundation::DictionaryRef business);

    std::string className() const override { return "CompanySettingsView"; }
    /// "CompanySettingsView".
    std::optional<std::string> contentNib() const override;

    std::shared_ptr<CompanySettingsControllerProtocol> settingsController() const override
    {
        return m_settingsController.lock();
    }
    void setSettingsController(const std::weak_ptr<CompanySettingsControllerProtocol>& controller) override
    {
        m_settingsController = controller;
    }
    const platform::foundation::DictionaryRef& business() const override
    {
        return ContentViewObjc::business();
    }
    void setBusiness(platform::foundation::DictionaryRef business) override;
    /// Shows `message` under `title` in a one-button dialog over the menu until "OK" is pressed.
    void showMessage(const std::string& title, const std::string& message) override;

    /// The menu's actions, each forwarded to the actions object.
    void showCompany();
    void showVATRegistration();
    void showBankAccount();
    void showDropbox();
    /// Asks "Are you sure?" in an action sheet from the owning screen: "Log out" signs out, "Cancel"
    /// changes nothing. Without an owning screen nothing shows.
    void showLogOutDialogue();

    /// "done": the actions object's done().
    void positivePressed() override;
    bool implementsPositivePressed() const override { return true; }
    /// The left button is hidden: nothing.
    void negativePressed() override { }

    /// The bar's look over a logo: black title, "done" drawn again in it. It stays so for the screen's life.
    void applyNavigationBarThemeForLogo();

protected:
    void construct() override;

private:
    void forward(void (CompanySettingsControllerProtocol::*operation)());

    std::weak_ptr<CompanySettingsControllerProtocol> m_settingsController;
};

}
