#pragma once

#include "Zorvik/ViewControllers/ContentViewController.h"
#include "platform/foundation/Value.h"

#include <functional>
#include <memory>
#include <string>

namespace zorvik {

namespace api {
class Business;
class Freelancer;
}

class CompanySummaryViewProtocol;

/// The last screen of sign-up: the chosen business for confirmation, then the server sign-up as one chain
/// on the main queue. Version gate; the account; log-in; the business; its empty VAT registration and
/// bank account; its invoices; the signed-in user saved on the device; the welcome screen, not animated.
/// Nothing is written on the device before the end.
///
/// A failure signs the session out and says "There was a problem during sign up. Please try again."
/// ("OK", event 0); the screen remembers what the server has made, so a second confirm logs in again and
/// goes on from the first record not made, posting nothing twice. A record the server already has is
/// read and the chain goes on. When the e-mail address has an account, the typed PIN logs in: an account
/// without a business is this person's unfinished sign-up and goes on from the business; a wrong PIN or
/// an account with a business ends in "A user with that email address already exists." ("Start again",
/// event 1, back to the first screen).
class SignupWithCompanyViewController : public ContentViewController {
public:
    static constexpr const char* kProblemText { "There was a problem during sign up. Please try again." };
    static constexpr const char* kAccountExistsText { "A user with that email address already exists." };

    /// A screen for `business` (sent as the new business) and `credentials` ({"email", "password"}: the
    /// typed e-mail and the confirmed PIN, kept in memory only).
    SignupWithCompanyViewController(
        platform::foundation::DictionaryRef credentials, platform::foundation::DictionaryRef business);

    std::string className() const override { return "SignupWithCompanyViewController"; }

    /// The register's summary of the business, without a logo area.
    void loadView() override;
    /// Asks for a status bar update.
    void viewDidLoad() override;
    /// Light content, always.
    platform::ui::StatusBarStyle preferredStatusBarStyle() const override;

    /// The view's confirm: runs the chain with the screen's business; nothing while it runs.
    void companyConfirmed(const platform::foundation::DictionaryRef& business);
    /// Pops this screen, animated.
    void navigateBack();
    /// A dismissed message: event 1 goes back to the root screen, animated; any other stays.
    void infoViewDismissed(int event);
    /// Saves `freelancer`'s e-mail as the signed-in user of this device.
    void saveFreelancer(const api::Freelancer& freelancer);

    const platform::foundation::DictionaryRef& business() const { return m_business; }
    const platform::foundation::DictionaryRef& credentials() const { return m_credentials; }

protected:
    /// The screen's view as the chain drives it.
    std::shared_ptr<CompanySummaryViewProtocol> summaryView() const;

private:
    using Step = std::function<void(SignupWithCompanyViewController&)>;
    using FreelancerStep = std::function<void(SignupWithCompanyViewController&, const api::Freelancer&)>;

    std::string email() const;
    std::string password() const;
    template<class Function> auto whileShown(Function step);

    void createAccount();
    void logIn(const api::Freelancer& freelancer, FreelancerStep next);
    void existingAccount();
    void resume(const api::Freelancer& freelancer);
    void createBusiness(const api::Freelancer& freelancer);
    void readBusiness(const api::Freelancer& freelancer);
    void vatRegistration(const api::Freelancer& freelancer, const api::Business& business);
    void bankAccount(const api::Freelancer& freelancer, const api::Business& business);
    void invoices(const api::Freelancer& freelancer, const api::Business& business);
    void finish(const api::Freelancer& freelancer);
    void refused(const std::string& redirectUrl);
    void fail();
    void accountTaken();

    platform::foundation::DictionaryRef m_credentials;
    platform::foundation::DictionaryRef m_business;
    bool m_running { false };
    // What the server holds from earlier attempts, so that a retry never posts a record twice.
    bool m_accountMade { false };
    bool m_businessMade { false };
    bool m_vatRegistrationMade { false };
    bool m_bankAccountMade { false };
};

}
