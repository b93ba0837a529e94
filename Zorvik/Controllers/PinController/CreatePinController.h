#pragma once

#include "Zorvik/Controllers/PinController/PinController.h"

#include <string>

namespace zorvik {

/// The flow controller of the create-PIN screen of sign-up.
class CreatePinController : public PinController {
public:
    using PinController::PinController;

    /// Empties the pad, then pushes the confirm screen holding `pin`, not animated and as no-history, so that
    /// the screen after it comes back here.
    void pinEntered(const std::string& pin) override;
};

}
