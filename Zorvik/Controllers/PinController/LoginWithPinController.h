#pragma once

#include "Zorvik/Controllers/PinController/PinController.h"

#include <memory>
#include <string>

namespace zorvik::api {
class Business;
class Freelancer;
}

namespace zorvik {

/// The flow controller of the PIN log-in screen: a whole PIN runs the log-in as one chain of back-end calls,
/// each started from the success of the one before:
///
///  1. the remote configuration: a refused app version pushes its redirect page (not animated), and the
///     chain ends with nothing written or signed in;
///  2. the log-in with the e-mail and the PIN (the PIN is dropped once the request is made);
///  3. the business; 4. its bank account; 5. its VAT registration: an account whose sign-up stopped before
///     making one of these two gets the missing empty record made, as sign-up makes it;
///  6. the invoices;
///  7. the signed-in user is saved on the device (SignedInUser) and the folders screen is pushed, animated.
///
/// The pad forgets the digits at once and is busy while the chain runs. A failure empties the pad, ends the
/// busy state and shows kIncorrectPinText (wrong PIN) or kFailureText (anything else); when the log-in step
/// had succeeded the session is signed out again, so that no token or half-read freelancer stays behind.
class LoginWithPinController : public PinController {
public:
    /// The message for a wrong PIN.
    static constexpr const char* kIncorrectPinText { "Incorrect pin." };
    /// The message for every other failure.
    static constexpr const char* kFailureText { "Something went wrong. Please try again." };

    using PinController::PinController;

    /// Runs the log-in chain with `pin`.
    void pinEntered(const std::string& pin) override;

private:
    void logIn(const api::Freelancer& freelancer, std::shared_ptr<std::string> pin);
    void readBusiness(const api::Freelancer& freelancer);
    void readBankAccount(const api::Freelancer& freelancer, const api::Business& business);
    void readVATRegistration(const api::Freelancer& freelancer, const api::Business& business);
    void readInvoices(const api::Freelancer& freelancer, const api::Business& business);
    void signedIn(const api::Freelancer& freelancer);
    void refused(const std::string& redirectUrl);
    void fail(const char* text, bool signOut);
};

}
