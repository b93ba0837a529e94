#pragma once

#include "Zorvik/Controllers/PinController/PinController.h"

#include <memory>
#include <string>

namespace zorvik {

/// The flow controller of the confirm-PIN screen of sign-up: it holds the PIN typed first.
class ConfirmPinController : public PinController {
public:
    /// The mismatch message.
    static constexpr const char* kMismatchText { "Make sure both pins match" };

    /// A controller comparing with `pin`.
    ConfirmPinController(std::string pin, std::string username, std::shared_ptr<PinViewProtocol> view,
        const std::shared_ptr<NoHistoryNavigationController>& navigationController);

    /// Empties the pad; the same PIN as the first opens the company search with the e-mail and the PIN
    /// (animated; this screen then leaves the stack), a different one shows kMismatchText and waits.
    void pinEntered(const std::string& pin) override;

private:
    std::string m_pin;
};

}
