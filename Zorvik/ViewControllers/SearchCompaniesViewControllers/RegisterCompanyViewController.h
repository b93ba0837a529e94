#pragma once

#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"
#include "platform/ui/ViewController.h"

#include <string>

namespace zorvik {

/// The company search of sign-up, reached once the new PIN is confirmed: it holds the new account's e-mail
/// address and PIN (in memory only) for the account's creation. For now the screen shows its bar, titled
/// kTitle, whose back button pops it.
class RegisterCompanyViewController : public platform::ui::ViewController, public NavigationBarDelegate {
public:
    /// The bar's title.
    static constexpr const char* kTitle { "Your business name" };

    /// The search for the new account `username` with the PIN `pin`.
    RegisterCompanyViewController(std::string username, std::string pin);

    std::string className() const override { return "RegisterCompanyViewController"; }

    /// A plain screen under the bar.
    void loadView() override;
    /// Light content.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override;
    /// Pops the screen, animated.
    void negativePressed() override;
    /// Pops the screen, animated.
    void navigateBack();

    /// The new account's e-mail address.
    const std::string& username() const { return m_username; }
    /// The new account's PIN.
    const std::string& pin() const { return m_pin; }

private:
    std::string m_username;
    std::string m_pin;
};

}
