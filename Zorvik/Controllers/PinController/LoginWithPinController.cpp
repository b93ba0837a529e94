#include "Zorvik/Controllers/PinController/LoginWithPinController.h"

#include "Zorvik/DeviceStorage/SignedInUser.h"
#include "Zorvik/Models/OstrelSingleton.h"
#include "Zorvik/Models/Version.h"
#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/ViewControllers/WebViewController/WebViewController.h"
#include "Zorvik/Views/PinView/FailedPinAttemptView.h"
#include "Zorvik/Views/PinView/PinViewProtocol.h"
#include "ZorvikAPI/models/BankAccount.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "ZorvikAPI/models/VATRegistration.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "platform/foundation/Dictionary.h"
#include "platform/outside/APIConfiguration.h"
#include "platform/outside/Configuration.h"
#include "platform/ui/Image.h"

#include <algorithm>

namespace zorvik {

using api::BankAccount;
using api::Business;
using api::Freelancer;
using api::VATRegistration;
using platform::foundation::Dictionary;
using platform::http::HttpError;

namespace {

// Runs `step` on the controller while it lives; once the screen has gone the chain stops, and a session that
// the log-in had already opened is closed again.
template<class Step>
auto whileAlive(const std::shared_ptr<PinController>& controller, bool signedIn, Step step)
{
    return [weak = std::weak_ptr<PinController>(controller), signedIn, step](const auto&... values) {
        auto self = std::static_pointer_cast<LoginWithPinController>(weak.lock());
        if (!self) {
            if (signedIn)
                Freelancer::logOut();
            return;
        }
        step(*self, values...);
    };
}

// Overwrites the PIN's characters before letting them go.
void wipe(std::string& pin)
{
    std::fill(pin.begin(), pin.end(), '\0');
    pin.clear();
}

}

void LoginWithPinController::pinEntered(const std::string& pin)
{
    auto self = shared_from_this();
    // The PIN lives only in this chain's memory until the log-in request is made: the pad forgets it now (its
    // dots are hidden while busy), and the chain's copy is wiped once it is sent or no longer needed.
    auto secret = std::make_shared<std::string>(pin);
    view()->clearPin();
    view()->showBusyView();
    auto& repositories = api::Repositories::sharedInstance();
    auto freelancer = Freelancer::withEmail(
        username(), repositories.freelancersRepository(), repositories.authenticationMechanism());
    OstrelSingleton::apiConfig()->fetchConfiguration(
        whileAlive(self, false,
            [freelancer, secret](
                LoginWithPinController& controller, const platform::outside::Configuration& configuration) {
                if (configuration.isOk(Version::appShortVersion())) {
                    controller.logIn(freelancer, secret);
                    return;
                }
                wipe(*secret);
                controller.refused(configuration.redirectUrl());
            }),
        whileAlive(self, false, [secret](LoginWithPinController& controller, const HttpError&) {
            wipe(*secret);
            controller.fail(kFailureText, false);
        }));
}

void LoginWithPinController::logIn(const Freelancer& freelancer, std::shared_ptr<std::string> pin)
{
    auto self = shared_from_this();
    freelancer.loginWithPassword(*pin,
        whileAlive(self, true,
            [freelancer](LoginWithPinController& controller, const platform::foundation::DictionaryRef&) {
                controller.readBusiness(freelancer);
            }),
        whileAlive(self, false,
            [](LoginWithPinController& controller) { controller.fail(kIncorrectPinText, false); }),
        whileAlive(self, false, [](LoginWithPinController& controller, const HttpError&) {
            controller.fail(kFailureText, false);
        }));
    wipe(*pin);
}

void LoginWithPinController::readBusiness(const Freelancer& freelancer)
{
    auto self = shared_from_this();
    auto failed = whileAlive(
        self, true, [](LoginWithPinController& controller) { controller.fail(kFailureText, true); });
    freelancer.business(whileAlive(self, true,
                            [freelancer](LoginWithPinController& controller, const Business& business) {
                                controller.readBankAccount(freelancer, business);
                            }),
        failed, [failed](const HttpError&) { failed(); });
}

void LoginWithPinController::readBankAccount(const Freelancer& freelancer, const Business& business)
{
    auto self = shared_from_this();
    auto next = whileAlive(
        self, true, [freelancer, business](LoginWithPinController& controller, const BankAccount&) {
            controller.readVATRegistration(freelancer, business);
        });
    auto failed = whileAlive(
        self, true, [](LoginWithPinController& controller) { controller.fail(kFailureText, true); });
    auto error = [failed](const HttpError&) { failed(); };
    business.bankAccount(
        next,
        [business, next, failed, error] {
            business.createBankAccount(BankAccount { Dictionary::make() }, next, failed, error);
        },
        error);
}

void LoginWithPinController::readVATRegistration(const Freelancer& freelancer, const Business& business)
{
    auto self = shared_from_this();
    auto next = whileAlive(
        self, true, [freelancer, business](LoginWithPinController& controller, const VATRegistration&) {
            controller.readInvoices(freelancer, business);
        });
    auto failed = whileAlive(
        self, true, [](LoginWithPinController& controller) { controller.fail(kFailureText, true); });
    auto error = [failed](const HttpError&) { failed(); };
    business.vatRegistration(
        next,
        [business, next, failed, error] {
            business.createVATRegistration(VATRegistration { Dictionary::make() }, next, failed, error);
        },
        error);
}

void LoginWithPinController::readInvoices(const Freelancer& freelancer, const Business& business)
{
    auto self = shared_from_this();
    auto failed = whileAlive(
        self, true, [](LoginWithPinController& controller) { controller.fail(kFailureText, true); });
    business.invoices(whileAlive(self, true,
                          [freelancer](LoginWithPinController& controller,
                              const platform::foundation::ArrayRef&) { controller.signedIn(freelancer); }),
        failed, [failed](const HttpError&) { failed(); });
}

void LoginWithPinController::signedIn(const Freelancer& freelancer)
{
    SignedInUser::save(username());
    if (auto navigation = navigationController())
        navigation->pushViewController(std::make_shared<FoldersViewControllerObjc>(freelancer), true);
}

void LoginWithPinController::refused(const std::string& redirectUrl)
{
    view()->clearPin();
    view()->hideBusyView();
    if (auto navigation = navigationController())
        navigation->pushViewController(std::make_shared<WebViewController>(redirectUrl), false);
}

void LoginWithPinController::fail(const char* text, bool signOut)
{
    if (signOut)
        Freelancer::logOut();
    view()->clearPin();
    view()->hideBusyView();
    view()->showErrorView(FailedPinAttemptView::make(platform::ui::Image::named("IconWarning"), text));
}

}
