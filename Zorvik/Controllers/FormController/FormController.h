#pragma once

#include "Zorvik/Controllers/FormController/FormControllerProtocol.h"

#include <memory>

namespace platform::ui {
class NavigationController;
}

namespace zorvik {

/// The second form controller base, beside FormControllerObjc: it keeps its navigation controller and
/// requires its subclasses to save.
class FormController : public FormControllerProtocol {
public:
    /// A controller that keeps and pops `navigationController`.
    explicit FormController(std::shared_ptr<platform::ui::NavigationController> navigationController);

    /// Stops the program with "save(documentSaved:) not implemented in base class.": a subclass must
    /// override it.
    void save(SavedBlock saved, SaveFailedBlock saveFailed) override;
    /// Pops the top screen, animated.
    void done() override;
    /// Does nothing.
    void negativePressed();

    /// The navigation controller.
    const std::shared_ptr<platform::ui::NavigationController>& navigationController() const
    {
        return m_navigationController;
    }

private:
    std::shared_ptr<platform::ui::NavigationController> m_navigationController;
};

}
