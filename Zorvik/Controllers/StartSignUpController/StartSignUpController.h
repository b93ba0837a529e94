#pragma once

#include "Zorvik/Views/StartSignupView/StartSignUpViewProtocol.h"

#include <memory>

namespace platform::ui {
class Application;
class NavigationController;
}

namespace zorvik {

class StartSignupView;

/// The start screen's actions: sign up and log in push their e-mail screens, animated; the terms open the
/// product site's terms page (BuildSettings::siteUrl() + "/terms") in the system browser.
class StartSignUpController : public StartSignUpControllerProtocol,
                              public std::enable_shared_from_this<StartSignUpController> {
public:
    /// The path of the terms page on the product site.
    static constexpr const char* kTermsPath { "/terms" };

    /// A controller of `view` on `navigationController` (held weakly) opening pages through `application`,
    /// made the view's controller.
    static std::shared_ptr<StartSignUpController> make(const std::shared_ptr<StartSignupView>& view,
        const std::shared_ptr<platform::ui::NavigationController>& navigationController,
        platform::ui::Application& application);

    /// Use make().
    StartSignUpController(const std::shared_ptr<platform::ui::NavigationController>& navigationController,
        platform::ui::Application& application);

    /// Pushes a new sign-up e-mail screen, animated.
    void userWantsToSignUp() override;
    /// Pushes a new log-in e-mail screen, animated.
    void userWantsToLogin() override;
    /// Opens the terms page outside the app.
    void userWantsToSeeTerms() override;

private:
    std::weak_ptr<platform::ui::NavigationController> m_navigationController;
    platform::ui::Application& m_application;
};

}
