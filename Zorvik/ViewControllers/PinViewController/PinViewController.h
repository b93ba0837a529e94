#pragma once

#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace zorvik {

class NoHistoryNavigationController;
class PinControllerProtocol;
class PinViewProtocol;

/// The base of the PIN screens: it belongs to the account of one e-mail address, shows a PinView made in
/// code and asks its subclass for the flow controller that reacts to a whole PIN.
class PinViewController : public platform::ui::ViewController {
public:
    /// A PIN screen for the account `username`.
    explicit PinViewController(std::string username);

    std::string className() const override { return "PinViewController"; }

    /// Builds the PinView, asks createControllerWithView() for the controller and keeps it.
    void loadView() override;
    /// Light content, on every PIN screen.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override;

    /// The flow controller of `view`: sets the view's prompt and controller. Throws std::logic_error when
    /// the screen is not on the app's NoHistoryNavigationController.
    virtual std::shared_ptr<PinControllerProtocol> createControllerWithView(
        const std::shared_ptr<PinViewProtocol>& view)
        = 0;

    /// The e-mail address the PIN belongs to.
    const std::string& username() const { return m_username; }
    /// The flow controller, null until the view is loaded.
    const std::shared_ptr<PinControllerProtocol>& controller() const { return m_controller; }

protected:
    /// The app's stack holding this screen; throws std::logic_error when there is none.
    std::shared_ptr<NoHistoryNavigationController> noHistoryNavigationController() const;

private:
    std::string m_username;
    std::shared_ptr<PinControllerProtocol> m_controller;
};

}
