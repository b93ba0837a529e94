#pragma once

#include "Zorvik/Controllers/PinController/PinControllerProtocol.h"

#include <memory>
#include <string>

namespace zorvik {

class NoHistoryNavigationController;
class PinViewProtocol;

/// The base of the PIN screens' flow controllers: it belongs to one e-mail address, drives the screen's PIN
/// pad and moves along the app's navigation stack. Each subclass decides what a whole PIN leads to.
///
/// The controller holds its pad; the stack is held weakly, since the stack holds the screen that holds the
/// controller.
class PinController : public PinControllerProtocol, public std::enable_shared_from_this<PinController> {
public:
    /// A controller for `username` driving `view` on `navigationController`.
    PinController(std::string username, std::shared_ptr<PinViewProtocol> view,
        const std::shared_ptr<NoHistoryNavigationController>& navigationController);

    /// Pops the top screen, animated.
    void navigateBack() override;

    /// The e-mail address the PIN belongs to.
    const std::string& username() const { return m_username; }
    /// The pad.
    const std::shared_ptr<PinViewProtocol>& view() const { return m_view; }
    /// The stack, or null once it has gone.
    std::shared_ptr<NoHistoryNavigationController> navigationController() const
    {
        return m_navigationController.lock();
    }

private:
    std::string m_username;
    std::shared_ptr<PinViewProtocol> m_view;
    std::weak_ptr<NoHistoryNavigationController> m_navigationController;
};

}
