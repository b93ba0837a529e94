#pragma once

#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"

#include <memory>
#include <string>

namespace zorvik {

class EnterEmailControllerProtocol;

/// The e-mail screen's view as its controller sees it.
class EnterEmailViewProtocol : public NavigationBarDelegate {
public:
    /// Who hears of Next and of the back button, or null.
    virtual std::shared_ptr<EnterEmailControllerProtocol> controller() const = 0;
    /// Sets who hears of Next and of the back button, held weakly.
    virtual void setController(const std::weak_ptr<EnterEmailControllerProtocol>& controller) = 0;
    /// The greeting under the logo.
    virtual std::string message() const = 0;
    /// Sets the greeting.
    virtual void setMessage(const std::string& message) = 0;
    /// Next's action: hands the typed address to the controller.
    virtual void emailEntered() = 0;
};

/// The e-mail screen's controller as its view sees it.
class EnterEmailControllerProtocol {
public:
    virtual ~EnterEmailControllerProtocol() = default;

    /// The back button was pressed.
    virtual void navigateBack() = 0;
    /// Next was pressed with the address `email`.
    virtual void emailEntered(const std::string& email) = 0;
};

}
