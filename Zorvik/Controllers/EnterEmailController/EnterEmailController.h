#pragma once

#include "Zorvik/Views/EnterEmailView/EnterEmailViewProtocol.h"

#include <memory>
#include <string>

namespace platform::ui {
class NavigationController;
class ViewController;
}

namespace zorvik {

/// The base controller of the two e-mail screens: Next pushes the road's PIN screen for the address,
/// animated; back pops. Nothing is sent to the server here. Each road's controller gives the greeting and the
/// next screen.
///
/// The controller holds its view; the stack is held weakly, since the stack holds the screen that holds the
/// controller. Make one with make<T>(), which wires it to its view.
class EnterEmailController : public EnterEmailControllerProtocol,
                             public std::enable_shared_from_this<EnterEmailController> {
public:
    /// A T driving `view` on `navigationController`, made the view's controller, the view showing its
    /// message().
    template<class T>
    static std::shared_ptr<T> make(const std::shared_ptr<EnterEmailViewProtocol>& view,
        const std::shared_ptr<platform::ui::NavigationController>& navigationController)
    {
        auto controller = std::make_shared<T>(view, navigationController);
        view->setController(controller);
        view->setMessage(controller->message());
        return controller;
    }

    /// A controller of `view` on `navigationController`; use make<T>().
    EnterEmailController(std::shared_ptr<EnterEmailViewProtocol> view,
        const std::shared_ptr<platform::ui::NavigationController>& navigationController);

    /// The greeting: "" in the base.
    virtual std::string message() const;
    /// The screen Next leads to for `email`.
    virtual std::shared_ptr<platform::ui::ViewController> nextViewControllerWithEmail(
        const std::string& email)
        = 0;

    /// Pushes nextViewControllerWithEmail(email), animated.
    void emailEntered(const std::string& email) override;
    /// Pops the top screen, animated.
    void navigateBack() override;

    /// The view.
    const std::shared_ptr<EnterEmailViewProtocol>& view() const { return m_view; }

private:
    std::shared_ptr<EnterEmailViewProtocol> m_view;
    std::weak_ptr<platform::ui::NavigationController> m_navigationController;
};

/// The log-in road's e-mail controller.
class LoginWithEmailController : public EnterEmailController {
public:
    using EnterEmailController::EnterEmailController;

    /// "Welcome back!".
    std::string message() const override;
    /// The PIN log-in screen for `email`, with a back button.
    std::shared_ptr<platform::ui::ViewController> nextViewControllerWithEmail(
        const std::string& email) override;
};

/// The sign-up road's e-mail controller.
class SignUpWithEmailController : public EnterEmailController {
public:
    using EnterEmailController::EnterEmailController;

    /// "Nice to meet you!".
    std::string message() const override;
    /// The create-PIN screen for `email`.
    std::shared_ptr<platform::ui::ViewController> nextViewControllerWithEmail(
        const std::string& email) override;
};

}
