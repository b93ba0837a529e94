#include "Zorvik/tests/SignedInFixture.h"

#include "Zorvik/DeviceStorage/DeviceSettingsStore.h"
#include "Zorvik/DeviceStorage/SignedInUser.h"
#include "Zorvik/DeviceStorage/UserStore.h"
#include "Zorvik/Repositories/RESTRepositories.h"
#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "ZorvikAPI/models/NewFreelancer.h"
#include "ZorvikAPI/repositories/RESTRepositories/RESTRepository.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/http/SessionManager.h"
#include "testing/backend/OutcomeLog.h"

namespace zorvik::test {

using platform::foundation::Dictionary;
using ::testing::OutcomeLog;

void SignedInFixture::SetUp()
{
    FrameTest::SetUp();
    registerNibs();
    platform::foundation::Files::setHomeDirectory(m_home.path());
    UserStore::resetSharedStore();
    DeviceSettingsStore::resetSharedStore();
    m_backend.setClock([] { return platform::foundation::now(); });
    RESTRepositories::initialise(m_backend.url("/"), m_backend.url("/"));
    ASSERT_NO_FATAL_FAILURE(signUp());
    SignedInUser::save(kEmail);
}

void SignedInFixture::TearDown()
{
    FrameTest::TearDown();
    api::Freelancer::logOut();
    auto& repositories = api::Repositories::sharedInstance();
    repositories.setAuthenticationMechanism(nullptr);
    repositories.setFreelancersRepository(nullptr);
    repositories.setCompaniesHouse(nullptr);
    UserStore::resetSharedStore();
    DeviceSettingsStore::resetSharedStore();
    platform::foundation::Files::setHomeDirectory({});
}

// The sign-up road through the API library: the account, the log-in, the business, then its empty VAT
// registration and bank account.
void SignedInFixture::signUp()
{
    auto& repositories = api::Repositories::sharedInstance();
    OutcomeLog account;
    repositories.freelancersRepository()->create(api::NewFreelancer::withEmail(kEmail, kPin).record(),
        account.value(), account.note("exists"), account.failure());
    ASSERT_TRUE(::testing::settle(account));
    ASSERT_EQ(account.only(), "ok") << "opening the account";

    auto signedUp = api::Freelancer::withEmail(
        kEmail, repositories.freelancersRepository(), repositories.authenticationMechanism());
    OutcomeLog login;
    signedUp.loginWithPassword(kPin, login.record(), login.note("failed"), login.failure());
    ASSERT_TRUE(::testing::settle(login));
    ASSERT_EQ(login.only(), "ok") << "logging in";

    OutcomeLog created;
    signedUp.createBusiness(api::Business::withName("Copperfinch Ltd", "09876543", "4 Mill Lane", "Weston",
                                "Bath", "Somerset", "BA1 4AB", "United Kingdom"),
        created.typed<api::Business>(), created.note("exists"), created.failure());
    ASSERT_TRUE(::testing::settle(created));
    ASSERT_EQ(created.only(), "ok") << "creating the business";

    OutcomeLog vat;
    business().createVATRegistration(api::VATRegistration(Dictionary::make()),
        vat.typed<api::VATRegistration>(), vat.note("exists"), vat.failure());
    ASSERT_TRUE(::testing::settle(vat));
    ASSERT_EQ(vat.only(), "ok") << "creating the VAT registration";

    OutcomeLog bank;
    business().createBankAccount(api::BankAccount(Dictionary::make()), bank.typed<api::BankAccount>(),
        bank.note("exists"), bank.failure());
    ASSERT_TRUE(::testing::settle(bank));
    ASSERT_EQ(bank.only(), "ok") << "creating the bank account";
}

api::Freelancer SignedInFixture::freelancer() const
{
    return *api::Freelancer::loggedInFreelancer();
}

api::Business SignedInFixture::business() const
{
    return *freelancer().business();
}

api::BankAccount SignedInFixture::bankAccount() const
{
    return *business().bankAccount();
}

api::VATRegistration SignedInFixture::vatRegistration() const
{
    return *business().vatRegistration();
}

std::shared_ptr<NoHistoryNavigationController> SignedInFixture::showScreens(
    std::vector<std::shared_ptr<platform::ui::ViewController>> screens)
{
    auto navigation = std::make_shared<NoHistoryNavigationController>();
    navigation->setNavigationBarHidden(true, false);
    navigation->setViewControllers(std::move(screens), false);
    platform::ui::ViewController::setRootViewController(*window, navigation);
    layout();
    return navigation;
}

bool SignedInFixture::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    auto& queue = platform::foundation::mainQueue();
    bool reached = queue.runUntil(done, timeout);
    queue.runUntilIdle();
    layout();
    return reached;
}

void SignedInFixture::setRequestTimeout(double seconds)
{
    auto repository = std::dynamic_pointer_cast<api::RESTRepository>(
        api::Repositories::sharedInstance().freelancersRepository());
    ASSERT_TRUE(repository) << "the app's freelancers repository speaks REST";
    repository->manager()->setTimeout(seconds);
}

}
