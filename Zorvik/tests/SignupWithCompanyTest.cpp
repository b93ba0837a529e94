#include "Zorvik/ViewControllers/CompanySummaryViewControllers/ConfirmBusinessViewController.h"
#include "Zorvik/ViewControllers/CompanySummaryViewControllers/SignupWithCompanyViewController.h"

#include "Zorvik/DeviceStorage/FileStore.h"
#include "Zorvik/DeviceStorage/SignedInUser.h"
#include "Zorvik/DeviceStorage/UserStore.h"
#include "Zorvik/Views/CompanySummaryView/CompanySummaryView.h"
#include "Zorvik/Views/ConfirmBusinessView/ConfirmBusinessView.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"
#include "Zorvik/tests/OnboardingFixture.h"
#include "ZorvikAPI/models/BankAccount.h"
#include "ZorvikAPI/models/Business.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "ZorvikAPI/models/VATRegistration.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/http/SessionManager.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kEmail = "ann@copperfinch.example";
constexpr const char* kPin = "2468";
const std::string kProblem = "There was a problem during sign up. Please try again. / OK";
const std::string kTaken = "A user with that email address already exists. / Start again";

/// A new user at the end of the sign-up road: the start screen stand-in at the root, the summary of the
/// register's "Copperfinch Ltd" on top, nothing on the back-end yet.
class SignupWithCompanyTest : public OnboardingTest {
protected:
    void SetUp() override
    {
        OnboardingTest::SetUp();
        show(std::make_shared<platform::ui::ViewController>());
        credentials = Dictionary::make({ { "email", kEmail }, { "password", kPin } });
    }

    /// The same phone and back-end for another person: `email`, signed out, a fresh stack, no hooks.
    void startOver(const std::string& email)
    {
        api::Freelancer::logOut();
        SignedInUser::clear();
        backend().clearHooks();
        backend().clearRequests();
        navigation->setViewControllers({ std::make_shared<platform::ui::ViewController>() }, false);
        settle();
        credentials = Dictionary::make({ { "email", email }, { "password", kPin } });
    }

    std::string email() const { return credentials->get("email").stringValue(); }

    DictionaryRef registered() const
    {
        return api::Business::withName(
            "Copperfinch Ltd", "09876543", "4 Mill Lane", "", "Bath", "Somerset", "BA1 4AB", "United Kingdom")
            .record();
    }

    template<class Screen = SignupWithCompanyViewController> void open(DictionaryRef business)
    {
        screen = std::make_shared<Screen>(credentials, business);
        show(screen);
        view = std::dynamic_pointer_cast<SignupBusinessView>(screen->view());
    }

    /// Taps "Confirm" and waits for the chain's end: a message, or another screen on top.
    void confirm()
    {
        // The version check, first in the chain, is held at the back-end until the screen has been looked
        // at: over loopback a quick failure further on could otherwise end the chain while the tap is still
        // being settled.
        ::testing::Gate versionCheck;
        backend().holdRoute("GET", "/", versionCheck);
        driver.tap("Confirm");
        EXPECT_TRUE(busy()) << "busy while the chain runs";
        versionCheck.open();
        EXPECT_TRUE(
            waitUntil([this] { return dialog() != "" || navigation->topViewController() != screen; }));
    }

    bool busy() const { return view->button()->isHidden() && !view->isUserInteractionEnabled(); }

    /// The message on screen as "message / button", or "".
    std::string dialog() const
    {
        auto shown = view->infoView();
        if (!shown || !shown->superview())
            return "";
        return shown->message().value_or("") + " / " + shown->buttonText().value_or("");
    }

    std::size_t posts(const std::string& suffix)
    {
        std::size_t count = 0;
        for (const auto& request : backend().requests()) {
            if (request.method == "POST" && request.path.size() >= suffix.size()
                && request.path.compare(request.path.size() - suffix.size(), suffix.size(), suffix) == 0)
                ++count;
        }
        return count;
    }

    /// The back-end's one business of this person, or null; a second account or business fails the test.
    DictionaryRef theBusiness()
    {
        std::vector<std::int64_t> ids;
        auto freelancers = backend().freelancers();
        for (const auto& freelancer : *freelancers) {
            if (freelancer.dictionary()->get("email").stringValue() == email())
                ids.push_back(freelancer.dictionary()->get("id").integerValue());
        }
        EXPECT_EQ(ids.size(), 1u) << "one account";
        DictionaryRef found;
        auto businesses = backend().businesses();
        for (const auto& business : *businesses) {
            auto record = business.dictionary();
            if (!ids.empty() && record->get("freelancerId").integerValue() == ids.front()) {
                EXPECT_FALSE(found) << "one business";
                found = record;
            }
        }
        return found;
    }

    /// One account with one business holding one VAT registration and one bank account.
    void expectOneOfEach()
    {
        auto business = theBusiness();
        ASSERT_TRUE(business);
        EXPECT_TRUE(business->get("vat-registration").dictionary());
        EXPECT_TRUE(business->get("bank-account").dictionary());
    }

    void expectSignedUp()
    {
        EXPECT_EQ(stack(),
            (std::vector<std::string> { "ViewController", screen->className(), "WelcomeViewController" }));
        EXPECT_EQ(FileStore {}.readFromFile("user"), email());
        EXPECT_TRUE(UserStore::sharedStore().fetchActiveUser());
        auto freelancer = api::Freelancer::loggedInFreelancer();
        ASSERT_TRUE(freelancer);
        ASSERT_TRUE(freelancer->business());
        EXPECT_TRUE(freelancer->business()->vatRegistration());
        EXPECT_TRUE(freelancer->business()->bankAccount());
        EXPECT_TRUE(freelancer->business()->invoices());
    }

    void expectNothingOnTheDevice()
    {
        EXPECT_EQ(FileStore {}.readFromFile("user"), std::nullopt);
        EXPECT_THAT(everythingOnTheDevice(), Not(HasSubstr(email())));
        EXPECT_EQ(token(), "") << "the session is signed out";
        EXPECT_FALSE(api::Freelancer::loggedInFreelancer());
    }

    DictionaryRef credentials;
    std::shared_ptr<SignupWithCompanyViewController> screen;
    std::shared_ptr<SignupBusinessView> view;
};

TEST_F(SignupWithCompanyTest, ConfirmingSignsUpAndWelcomesTheUser)
{
    open(registered());
    auto text = driver.screen();
    for (const char* shown :
        { "\"Copperfinch Ltd\"", "\"4 Mill Lane\"", "\"Somerset\"", "\"BA1 4AB\"", "\"09876543\"" })
        EXPECT_THAT(text, HasSubstr(shown));
    EXPECT_EQ(std::dynamic_pointer_cast<CompanySummaryView>(view)->addressLn2()->text().value_or(""), "")
        << "no second address line";
    confirm();
    expectSignedUp();
    expectOneOfEach();
    EXPECT_EQ(theBusiness()->get("registration_number").stringValue(), "09876543");
}

TEST_F(SignupWithCompanyTest, AFailingStepSaysSoSignsOutAndARetryGoesOnWithoutPostingARecordTwice)
{
    const std::string business = "/api/freelancers/:f/business";
    const std::string vat = business + "/:b/vat-registration";
    const std::string bank = business + "/:b/bank-account";
    struct Case {
        const char* name;
        std::function<void(::testing::Backend&)> fault;
        // How many of account, business, VAT registration and bank account the first attempt made.
        std::size_t made;
    };
    const std::vector<Case> cases {
        { "configuration", [](auto& b) { b.answerRoute("GET", "/", ::testing::ServerResponse::empty(500)); },
            0 },
        { "account refused", [](auto& b) { b.failRoute("POST", "/api/freelancers", 500); }, 0 },
        { "log-in 401", [](auto& b) { b.failRoute("POST", "/api/freelancers/login", 401); }, 1 },
        { "log-in 500", [](auto& b) { b.failRoute("POST", "/api/freelancers/login", 500); }, 1 },
        { "business 500", [&](auto& b) { b.failRoute("POST", business, 500); }, 1 },
        { "business 422", [&](auto& b) { b.failRoute("POST", business, 422); }, 1 },
        { "VAT 500", [&](auto& b) { b.failRoute("POST", vat, 500); }, 2 },
        { "VAT 422", [&](auto& b) { b.failRoute("POST", vat, 422); }, 2 },
        { "bank 500", [&](auto& b) { b.failRoute("POST", bank, 500); }, 3 },
        { "bank 422", [&](auto& b) { b.failRoute("POST", bank, 422); }, 3 },
        { "invoices 404", [&](auto& b) { b.failRoute("GET", business + "/:b/invoices", 404); }, 4 },
        { "business dropped", [&](auto& b) { b.dropRoute("POST", business); }, 1 },
    };
    int person = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startOver("person" + std::to_string(++person) + "@copperfinch.example");
        open(registered());
        c.fault(backend());
        confirm();
        EXPECT_EQ(dialog(), kProblem);
        EXPECT_FALSE(busy());
        EXPECT_EQ(
            stack(), (std::vector<std::string> { "ViewController", "SignupWithCompanyViewController" }));
        expectNothingOnTheDevice();

        driver.tap("OK");
        settle();
        EXPECT_EQ(dialog(), "");
        backend().clearHooks();
        backend().clearRequests();
        confirm();
        expectSignedUp();
        expectOneOfEach();
        const char* routes[] = { "/api/freelancers", "/business", "/vat-registration", "/bank-account" };
        for (std::size_t i = 0; i < std::size(routes); ++i)
            EXPECT_EQ(posts(routes[i]), i < c.made ? 0u : 1u) << routes[i] << " posted again";
    }
}

TEST_F(SignupWithCompanyTest, AnAnswerThatNeverComesEndsInTheMessage)
{
    open(registered());
    manager()->setTimeout(0.3);
    ::testing::Gate never;
    backend().holdRoute("POST", "/api/freelancers/:f/business", never);
    confirm();
    EXPECT_EQ(dialog(), kProblem);
    expectNothingOnTheDevice();
}

TEST_F(SignupWithCompanyTest, AnExistingAccountGoesOnOnlyWhenItIsThisPersonsUnfinishedSignUp)
{
    // The account alone, as a sign-up that stopped after it leaves it.
    ASSERT_EQ(createAccount(kEmail, kPin), "ok");
    open(registered());
    confirm();
    expectSignedUp();
    EXPECT_TRUE(theBusiness());

    struct Case {
        const char* name;
        const char* pin;
    };
    for (const Case& c : { Case { "with a business", kPin }, Case { "wrong PIN", "1111" } }) {
        SCOPED_TRACE(c.name);
        std::string address = std::string(c.pin) + "@plumbing.example";
        startOver(address);
        backend().state().addAccount(address, kPin, Dictionary::make({ { "name", "Ann's Plumbing" } }));
        credentials->set("password", c.pin);
        open(registered());
        confirm();
        EXPECT_EQ(dialog(), kTaken);
        expectNothingOnTheDevice();
        driver.tap("Start again");
        settle();
        EXPECT_EQ(stack(), std::vector<std::string> { "ViewController" });
    }
}

TEST_F(SignupWithCompanyTest, WhileBusyNoTouchGetsThroughAndBackPopsWhenIdle)
{
    open(registered());
    ::testing::Gate account;
    backend().holdRoute("POST", "/api/freelancers", account);
    driver.tap("Confirm");
    EXPECT_TRUE(busy());
    EXPECT_THROW(driver.tap("Confirm"), platform::ui::ScreenDriverError);
    view->negativePressed();
    settle();
    EXPECT_EQ(stack(), (std::vector<std::string> { "ViewController", "SignupWithCompanyViewController" }));
    account.open();
    EXPECT_TRUE(waitUntil([this] { return navigation->topViewController() != screen; }));
    expectSignedUp();
}

TEST_F(SignupWithCompanyTest, AnUnregisteredBusinessIsConfirmedAsTypedAndBackLeaves)
{
    open<ConfirmBusinessViewController>(api::Business::withName("Ann's Plumbing").record());
    EXPECT_THAT(driver.screen(), HasSubstr("\"Ann's Plumbing\""));
    confirm();
    expectSignedUp();
    auto business = theBusiness();
    EXPECT_EQ(business->get("name").stringValue(), "Ann's Plumbing");
    EXPECT_TRUE(business->get("registration_number").isNull());

    startOver("other@plumbing.example");
    open<ConfirmBusinessViewController>(api::Business::withName("Ann's Plumbing").record());
    view->negativePressed();
    settle();
    EXPECT_EQ(stack(), std::vector<std::string> { "ViewController" });
}

TEST_F(SignupWithCompanyTest, ARefusedVersionShowsTheUpdatePageAndMakesNoAccount)
{
    backend().setAcceptedVersions({ "0" });
    open(registered());
    confirm();
    EXPECT_EQ(stack(),
        (std::vector<std::string> {
            "ViewController", "SignupWithCompanyViewController", "WebViewController" }));
    EXPECT_EQ(backend().freelancers()->size(), 0u);
    EXPECT_FALSE(busy());
}

}
}
