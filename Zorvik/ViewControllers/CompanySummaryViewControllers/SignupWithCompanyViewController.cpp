#include "Zorvik/ViewControllers/CompanySummaryViewControllers/SignupWithCompanyViewController.h"

#include "Zorvik/DeviceStorage/SignedInUser.h"
#include "Zorvik/Models/OstrelSingleton.h"
#include "Zorvik/Models/Version.h"
#include "Zorvik/ViewControllers/WebViewController/WebViewController.h"
#include "Zorvik/ViewControllers/WelcomeViewController.h"
#include "Zorvik/Views/CompanySummaryView/CompanySummaryView.h"
#include "ZorvikAPI/models/BankAccount.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "ZorvikAPI/models/VATRegistration.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "ZorvikAPI/repositories/Repository.h"
#include "platform/foundation/Dictionary.h"
#include "platform/outside/APIConfiguration.h"
#include "platform/outside/Configuration.h"
#include "platform/ui/NavigationController.h"

namespace zorvik {

using api::BankAccount;
using api::Business;
using api::Freelancer;
using api::VATRegistration;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::http::HttpError;

SignupWithCompanyViewController::SignupWithCompanyViewController(
    DictionaryRef credentials, DictionaryRef business)
    : m_credentials(std::move(credentials))
    , m_business(std::move(business))
{
}

void SignupWithCompanyViewController::loadView()
{
    auto view = CompanySummaryView::make(m_business);
    view->setController(std::weak_ptr<ContentViewController>(
        std::static_pointer_cast<ContentViewController>(shared_from_this())));
    setView(view);
    showViewWithoutLogo();
}

void SignupWithCompanyViewController::viewDidLoad()
{
    ContentViewController::viewDidLoad();
    setNeedsStatusBarAppearanceUpdate();
}

platform::ui::StatusBarStyle SignupWithCompanyViewController::preferredStatusBarStyle() const
{
    return platform::ui::StatusBarStyle::LightContent;
}

std::shared_ptr<CompanySummaryViewProtocol> SignupWithCompanyViewController::summaryView() const
{
    return std::dynamic_pointer_cast<CompanySummaryViewProtocol>(viewIfLoaded());
}

std::string SignupWithCompanyViewController::email() const
{
    auto value = m_credentials->get("email");
    auto text = value.string();
    return text ? *text : std::string();
}

std::string SignupWithCompanyViewController::password() const
{
    auto value = m_credentials->get("password");
    auto text = value.string();
    return text ? *text : std::string();
}

// Runs `step` on this screen while it lives; a chain whose screen has gone stops, closing any session it
// had opened.
template<class Function> auto SignupWithCompanyViewController::whileShown(Function step)
{
    auto weak = std::weak_ptr<SignupWithCompanyViewController>(
        std::static_pointer_cast<SignupWithCompanyViewController>(shared_from_this()));
    return [weak, step](const auto&... values) {
        auto self = weak.lock();
        if (!self) {
            Freelancer::logOut();
            return;
        }
        step(*self, values...);
    };
}

void SignupWithCompanyViewController::companyConfirmed(const DictionaryRef&)
{
    if (m_running)
        return;
    m_running = true;
    summaryView()->showLoadingView();
    OstrelSingleton::apiConfig()->fetchConfiguration(
        whileShown([](SignupWithCompanyViewController& screen,
                       const platform::outside::Configuration& configuration) {
            if (configuration.isOk(Version::appShortVersion()))
                screen.createAccount();
            else
                screen.refused(configuration.redirectUrl());
        }),
        whileShown([](SignupWithCompanyViewController& screen, const HttpError&) { screen.fail(); }));
}

void SignupWithCompanyViewController::createAccount()
{
    auto& repositories = api::Repositories::sharedInstance();
    if (m_accountMade) {
        logIn(Freelancer::withEmail(
                  email(), repositories.freelancersRepository(), repositories.authenticationMechanism()),
            [](SignupWithCompanyViewController& screen, const Freelancer& freelancer) {
                screen.resume(freelancer);
            });
        return;
    }
    repositories.freelancersRepository()->create(m_credentials,
        whileShown([](SignupWithCompanyViewController& screen, const platform::foundation::Value& created) {
            auto record = created.dictionary();
            if (!record) {
                screen.fail();
                return;
            }
            screen.m_accountMade = true;
            Freelancer freelancer(record);
            freelancer.setAuthentication(api::Repositories::sharedInstance().authenticationMechanism());
            screen.logIn(
                freelancer, [](SignupWithCompanyViewController& screen, const Freelancer& freelancer) {
                    screen.createBusiness(freelancer);
                });
        }),
        whileShown([](SignupWithCompanyViewController& screen) { screen.existingAccount(); }),
        whileShown([](SignupWithCompanyViewController& screen, const HttpError&) { screen.fail(); }));
}

void SignupWithCompanyViewController::logIn(const Freelancer& freelancer, FreelancerStep next)
{
    freelancer.loginWithPassword(password(),
        whileShown([freelancer, next](SignupWithCompanyViewController& screen, const DictionaryRef&) {
            next(screen, freelancer);
        }),
        whileShown([](SignupWithCompanyViewController& screen) { screen.fail(); }),
        whileShown([](SignupWithCompanyViewController& screen, const HttpError&) { screen.fail(); }));
}

// The address has an account: the typed PIN tells whether it is this person's unfinished sign-up.
void SignupWithCompanyViewController::existingAccount()
{
    auto& repositories = api::Repositories::sharedInstance();
    auto freelancer = Freelancer::withEmail(
        email(), repositories.freelancersRepository(), repositories.authenticationMechanism());
    freelancer.loginWithPassword(password(),
        whileShown([freelancer](SignupWithCompanyViewController& screen, const DictionaryRef&) {
            freelancer.business(screen.whileShown([](SignupWithCompanyViewController& screen,
                                                      const Business&) { screen.accountTaken(); }),
                screen.whileShown([freelancer](SignupWithCompanyViewController& screen) {
                    screen.m_accountMade = true;
                    screen.createBusiness(freelancer);
                }),
                screen.whileShown(
                    [](SignupWithCompanyViewController& screen, const HttpError&) { screen.fail(); }));
        }),
        whileShown([](SignupWithCompanyViewController& screen) { screen.accountTaken(); }),
        whileShown([](SignupWithCompanyViewController& screen, const HttpError&) { screen.fail(); }));
}

void SignupWithCompanyViewController::resume(const Freelancer& freelancer)
{
    if (m_businessMade)
        readBusiness(freelancer);
    else
        createBusiness(freelancer);
}

void SignupWithCompanyViewController::createBusiness(const Freelancer& freelancer)
{
    freelancer.createBusiness(Business(m_business),
        whileShown([freelancer](SignupWithCompanyViewController& screen, const Business& business) {
            screen.m_businessMade = true;
            screen.vatRegistration(freelancer, business);
        }),
        whileShown(
            [freelancer](SignupWithCompanyViewController& screen) { screen.readBusiness(freelancer); }),
        whileShown([](SignupWithCompanyViewController& screen, const HttpError&) { screen.fail(); }));
}

void SignupWithCompanyViewController::readBusiness(const Freelancer& freelancer)
{
    freelancer.business(
        whileShown([freelancer](SignupWithCompanyViewController& screen, const Business& business) {
            screen.m_businessMade = true;
            screen.vatRegistration(freelancer, business);
        }),
        whileShown([](SignupWithCompanyViewController& screen) { screen.fail(); }),
        whileShown([](SignupWithCompanyViewController& screen, const HttpError&) { screen.fail(); }));
}

void SignupWithCompanyViewController::vatRegistration(const Freelancer& freelancer, const Business& business)
{
    auto next
        = whileShown([freelancer, business](SignupWithCompanyViewController& screen, const VATRegistration&) {
              screen.m_vatRegistrationMade = true;
              screen.bankAccount(freelancer, business);
          });
    auto failed = whileShown([](SignupWithCompanyViewController& screen) { screen.fail(); });
    auto error = [failed](const HttpError&) { failed(); };
    auto read = [business, next, failed, error] { business.vatRegistration(next, failed, error); };
    if (m_vatRegistrationMade)
        read();
    else
        business.createVATRegistration(VATRegistration(Dictionary::make()), next, read, error);
}

void SignupWithCompanyViewController::bankAccount(const Freelancer& freelancer, const Business& business)
{
    auto next
        = whileShown([freelancer, business](SignupWithCompanyViewController& screen, const BankAccount&) {
              screen.m_bankAccountMade = true;
              screen.invoices(freelancer, business);
          });
    auto failed = whileShown([](SignupWithCompanyViewController& screen) { screen.fail(); });
    auto error = [failed](const HttpError&) { failed(); };
    auto read = [business, next, failed, error] { business.bankAccount(next, failed, error); };
    if (m_bankAccountMade)
        read();
    else
        business.createBankAccount(BankAccount(Dictionary::make()), next, read, error);
}

void SignupWithCompanyViewController::invoices(const Freelancer& freelancer, const Business& business)
{
    auto failed = whileShown([](SignupWithCompanyViewController& screen) { screen.fail(); });
    business.invoices(whileShown([freelancer](SignupWithCompanyViewController& screen,
                                     const platform::foundation::ArrayRef&) { screen.finish(freelancer); }),
        failed, [failed](const HttpError&) { failed(); });
}

void SignupWithCompanyViewController::finish(const Freelancer& freelancer)
{
    m_running = false;
    summaryView()->hideLoadingView();
    saveFreelancer(freelancer);
    if (auto navigation = navigationController())
        navigation->pushViewController(std::make_shared<WelcomeViewController>(), false);
}

void SignupWithCompanyViewController::refused(const std::string& redirectUrl)
{
    m_running = false;
    summaryView()->hideLoadingView();
    if (auto navigation = navigationController())
        navigation->pushViewController(std::make_shared<WebViewController>(redirectUrl), false);
}

void SignupWithCompanyViewController::fail()
{
    m_running = false;
    Freelancer::logOut();
    summaryView()->hideLoadingView();
    summaryView()->showInfoMessage(kProblemText, "OK", 0);
}

void SignupWithCompanyViewController::accountTaken()
{
    m_running = false;
    Freelancer::logOut();
    summaryView()->hideLoadingView();
    summaryView()->showInfoMessage(kAccountExistsText, "Start again", 1);
}

void SignupWithCompanyViewController::navigateBack()
{
    if (auto navigation = navigationController())
        navigation->popViewController(true);
}

void SignupWithCompanyViewController::infoViewDismissed(int event)
{
    if (event != 1)
        return;
    if (auto navigation = navigationController())
        navigation->popToRootViewController(true);
}

void SignupWithCompanyViewController::saveFreelancer(const Freelancer& freelancer)
{
    SignedInUser::save(freelancer.email().value_or(email()));
}

}
