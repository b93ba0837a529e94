#pragma once

#include "Zorvik/Controllers/FormController/FormControllerProtocol.h"

#include <memory>

namespace platform::ui {
class NavigationController;
}

namespace zorvik {

/// The base of the form controllers: it leaves the form by popping the screen. Each form controller
/// overrides save(). It refers to the navigation controller weakly.
class FormControllerObjc : public FormControllerProtocol {
public:
    /// A controller that pops `navigationController`.
    explicit FormControllerObjc(std::weak_ptr<platform::ui::NavigationController> navigationController);

    /// Does nothing and calls neither block; the form controllers override it.
    void save(SavedBlock saved, SaveFailedBlock saveFailed) override;
    /// Pops the top screen, animated.
    void done() override;
    /// Does nothing.
    void negativePressed();

    /// The navigation controller, or null once it is gone.
    std::shared_ptr<platform::ui::NavigationController> navigationController() const
    {
        return m_navigationController.lock();
    }

private:
    std::weak_ptr<platform::ui::NavigationController> m_navigationController;
};

}
