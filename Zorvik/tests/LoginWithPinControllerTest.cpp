#include "Zorvik/Controllers/PinController/LoginWithPinController.h"
#include "Zorvik/DeviceStorage/FileStore.h"
#include "Zorvik/DeviceStorage/UserStore.h"
#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/ViewControllers/PinViewController/LoginWithPinViewController.h"
#include "Zorvik/ViewControllers/WebViewController/WebViewController.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/PinView/FailedPinAttemptView.h"
#include "Zorvik/Views/PinView/PinDotView.h"
#include "Zorvik/Views/PinView/PinView.h"
#include "Zorvik/tests/OnboardingFixture.h"
#include "ZorvikAPI/models/BankAccount.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "ZorvikAPI/models/VATRegistration.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using zorvik::api::Freelancer;

constexpr const char* kEmail = "ann@zorvik.test";
constexpr const char* kPin = "8642";
const std::string kConfiguration = "GET /";
const std::string kLogIn = "POST /api/freelancers/login";

/// The PIN log-in screen of a returning user whose account is ready on the back-end.
class LoginWithPinControllerTest : public OnboardingTest {
protected:
    void SetUp() override
    {
        OnboardingTest::SetUp();
        freelancerId = *backend().state().addAccount(
            kEmail, kPin, platform::foundation::Dictionary::make({ { "name", "Ann's Plumbing" } }));
    }

    void openScreen()
    {
        show(std::make_shared<LoginWithPinViewController>(kEmail, false));
        backend().clearRequests();
    }

    std::shared_ptr<PinView> pad() const
    {
        return std::dynamic_pointer_cast<PinView>(navigation->viewControllers().front()->view());
    }

    /// Types `pin` and waits until the chain has ended: an error shows, or another screen is on top.
    void logIn(const std::string& pin)
    {
        typePin(pin);
        EXPECT_TRUE(waitUntil([this] {
            auto error = pad()->errorView();
            return (error && error->superview()) || navigation->viewControllers().size() > 1;
        }));
    }

    /// The error the pad shows: "IconWarning <text>", or "(none)".
    std::string shownError() const
    {
        auto error = pad()->errorView();
        if (!error || !error->superview())
            return "(none)";
        return error->image()->name() + " " + error->text();
    }

    /// "METHOD /path" of each request the back-end received, with the freelancer's and business's ids as
    /// "{f}" and "{b}".
    std::vector<std::string> requests()
    {
        std::vector<std::string> lines;
        for (const auto& request : backend().requests()) {
            auto path = request.path;
            auto replace = [&path](const std::string& from, const std::string& to) {
                if (auto at = path.find(from); at != std::string::npos)
                    path.replace(at, from.size(), to);
            };
            replace("/freelancers/" + std::to_string(freelancerId), "/freelancers/{f}");
            replace("/business/" + std::to_string(freelancerId + 1), "/business/{b}");
            lines.push_back(request.method + " " + path);
        }
        return lines;
    }

    /// What the device holds of a signed-in user: the "user" file and the active record's address.
    std::string signedInOnDevice() const
    {
        auto user = FileStore {}.readFromFile("user");
        auto active = UserStore::sharedStore().fetchActiveUser();
        return "file " + user.value_or("(none)") + ", active " + (active ? active->username() : "(none)");
    }

    std::int64_t freelancerId { 0 };
};

TEST_F(LoginWithPinControllerTest, EachFailingStepShowsItsTextAndLeavesNobodySignedIn)
{
    const std::string business = "GET /api/freelancers/{f}/business";
    const std::string bank = "GET /api/freelancers/{f}/business/{b}/bank-account";
    const std::string vat = "GET /api/freelancers/{f}/business/{b}/vat-registration";
    const std::string generic = "IconWarning Something went wrong. Please try again.";
    struct Case {
        const char* what;
        std::function<void(::testing::Backend&)> hook;
        std::string pin;
        std::string error;
        std::vector<std::string> requests;
    };
    const std::vector<Case> cases {
        { "configuration fails", [](auto& b) { b.failRoute("GET", "/", 500); }, kPin, generic,
            { kConfiguration } },
        { "wrong PIN", [](auto&) {}, "1111", "IconWarning Incorrect pin.", { kConfiguration, kLogIn } },
        { "log-in answers 500", [](auto& b) { b.failRoute("POST", "/api/freelancers/login", 500); }, kPin,
            generic, { kConfiguration, kLogIn } },
        { "log-in dropped", [](auto& b) { b.dropRoute("POST", "/api/freelancers/login"); }, kPin, generic,
            { kConfiguration, kLogIn } },
        { "no business", [](auto& b) { b.failRoute("GET", "/api/freelancers/:f/business", 404); }, kPin,
            generic, { kConfiguration, kLogIn, business } },
        { "bank account read fails",
            [](auto& b) { b.failRoute("GET", "/api/freelancers/:f/business/:b/bank-account", 500); }, kPin,
            generic, { kConfiguration, kLogIn, business, bank } },
        { "no invoices list",
            [](auto& b) { b.failRoute("GET", "/api/freelancers/:f/business/:b/invoices", 404); }, kPin,
            generic,
            { kConfiguration, kLogIn, business, bank, vat,
                "GET /api/freelancers/{f}/business/{b}/invoices" } },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        openScreen();
        backend().clearHooks();
        test.hook(backend());

        logIn(test.pin);

        EXPECT_EQ(shownError(), test.error);
        EXPECT_EQ(requests(), test.requests);
        EXPECT_EQ(stack(), std::vector<std::string> { "LoginWithPinViewController" });
        EXPECT_EQ(pad()->pinDots()->dotCount(), 0);
        EXPECT_TRUE(pad()->loadingView()->isHidden()) << "the pad takes a PIN again";
        EXPECT_EQ(token(), "") << "a failure after the log-in signs out again";
        EXPECT_FALSE(Freelancer::loggedInFreelancer());
        EXPECT_EQ(signedInOnDevice(), "file (none), active (none)");
        navigation->setViewControllers({}, false);
    }
}

TEST_F(LoginWithPinControllerTest, ARefusedVersionShowsTheRedirectPageAndWritesNothing)
{
    backend().setAcceptedVersions({ "999" });
    openScreen();
    typePin(kPin);
    ASSERT_TRUE(platform::foundation::mainQueue().runUntil(
        [this] { return navigation->viewControllers().size() > 1; }));
    EXPECT_FALSE(navigation->isInTransition()) << "pushed without animation";
    auto page = top<WebViewController>();
    ASSERT_TRUE(page);
    EXPECT_EQ(page->urlString(), backend().url("/upgrade"));
    EXPECT_EQ(shownError(), "(none)");
    EXPECT_EQ(pad()->pinDots()->dotCount(), 0);
    EXPECT_TRUE(pad()->loadingView()->isHidden());
    EXPECT_EQ(requests().front(), kConfiguration);
    EXPECT_THAT(requests(), Not(::testing::Contains(kLogIn)));
    EXPECT_EQ(signedInOnDevice(), "file (none), active (none)");
}

TEST_F(LoginWithPinControllerTest, SuccessSavesTheUserAndPushesTheFoldersAnimated)
{
    auto& store = UserStore::sharedStore();
    store.createUserWithUsername("bob@zorvik.test").setIsActiveUser(true);
    store.createUserWithUsername(kEmail);
    store.updateStore();
    openScreen();

    typePin(kPin);
    ASSERT_TRUE(platform::foundation::mainQueue().runUntil(
        [this] { return navigation->viewControllers().size() > 1; }));
    EXPECT_TRUE(navigation->isInTransition()) << "pushed animated";
    EXPECT_EQ(pad()->pin().digits(), "") << "the pad beneath the folders holds no PIN";
    settle();

    auto folders = top<FoldersViewControllerObjc>();
    ASSERT_TRUE(folders);
    EXPECT_EQ(
        stack(), (std::vector<std::string> { "LoginWithPinViewController", "FoldersViewControllerObjc" }));
    auto business = folders->freelancer()->business();
    ASSERT_TRUE(business);
    EXPECT_TRUE(business->bankAccount());
    EXPECT_TRUE(business->vatRegistration());
    EXPECT_TRUE(business->invoices());
    EXPECT_EQ(Freelancer::loggedInFreelancer()->record(), folders->freelancer()->record());

    EXPECT_EQ(FileStore {}.readFromFile("user"), kEmail) << "the address and nothing else";
    auto records = store.context()->fetch({ DeviceUser::kEntityName, std::nullopt, 0 }).value;
    std::vector<std::string> active;
    for (const auto& record : records) {
        if (DeviceUser(record).isActiveUser())
            active.push_back(DeviceUser(record).username());
    }
    EXPECT_EQ(records.size(), 2u) << "the record of that address is reused";
    EXPECT_EQ(active, std::vector<std::string> { kEmail }) << "the earlier user is no longer active";
}

TEST_F(LoginWithPinControllerTest, AnAccountWithoutBankAccountOrVATRegistrationGetsEmptyOnesAndLogsIn)
{
    auto bob = signUp("bob@zorvik.test", "1357");
    createBusiness(bob, api::Business::withName("Bob's Bikes"));
    Freelancer::logOut();
    show(std::make_shared<LoginWithPinViewController>("bob@zorvik.test", true));

    typePin("1357");
    ASSERT_TRUE(waitUntil([this] { return navigation->viewControllers().size() > 1; }));

    EXPECT_EQ(top()->className(), "FoldersViewControllerObjc");
    auto stored = backend().businesses()->at(0).dictionary();
    EXPECT_TRUE(stored->get("bank-account").dictionary());
    EXPECT_TRUE(stored->get("vat-registration").dictionary());
    EXPECT_EQ(signedInOnDevice(), "file bob@zorvik.test, active bob@zorvik.test");
}

TEST_F(LoginWithPinControllerTest, ThePinIsNeverWrittenShownOrLogged)
{
    openScreen();
    logIn("1357");
    EXPECT_THAT(driver.screen(), Not(HasSubstr("1357")));
    navigation->setViewControllers({}, false);
    openScreen();
    logIn(kPin);
    settle();
    EXPECT_EQ(top()->className(), "FoldersViewControllerObjc");
    for (const char* pin : { "1357", kPin }) {
        EXPECT_THAT(everythingOnTheDevice(), Not(HasSubstr(pin)));
        EXPECT_THAT(driver.screen(), Not(HasSubstr(pin)));
        for (const auto& line : logLines)
            EXPECT_THAT(line, Not(HasSubstr(pin)));
    }
}

}
}
