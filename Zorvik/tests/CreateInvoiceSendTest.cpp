#include "Zorvik/DeviceStorage/UserStore.h"
#include "Zorvik/Events/AnalyticsEvents.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/MenuView/MenuView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/SendInvoiceResultView/SendInvoiceResultView.h"
#include "Zorvik/tests/CreateInvoiceFixture.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

/// A filled-in form whose business has a complete bank account, and the analytics notifications heard.
class CreateInvoiceSendTest : public CreateInvoiceTest {
protected:
    void SetUp() override
    {
        CreateInvoiceTest::SetUp();
        m_token = platform::foundation::NotificationCenter::defaultCenter().addObserver(
            AnalyticsEvents::analyticsSentInvoice, nullptr,
            [this](const platform::foundation::Notification&) { ++sentNotifications; });
    }

    void TearDown() override
    {
        m_token.reset();
        CreateInvoiceTest::TearDown();
    }

    bool showing(const std::string& word) const
    {
        return !form->resultView()->isHidden() && form->resultView()->text() == word;
    }

    // Taps Send and waits for the overlay of the outcome.
    void send(const std::string& expected)
    {
        tap("Send");
        ASSERT_TRUE(waitUntil([&] { return showing(expected); })) << "no \"" << expected << "\" overlay";
    }

    std::size_t invoicesHeld() const
    {
        auto invoices = freelancer().business()->invoices();
        return invoices ? invoices->size() : 0;
    }

    int sentNotifications { 0 };

private:
    platform::foundation::ObserverToken m_token;
};

TEST_F(CreateInvoiceSendTest, PostsTheFormInWholePenceShowsSentThenReturnsToTheFolders)
{
    addBankAccount("12345678", "12-34-56");
    open();
    fillIn(true);

    send("Sent");

    auto body = backend().lastRequest()->json().dictionary();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->get("description"), "Website design");
    EXPECT_EQ(body->get("reference"), "001");
    EXPECT_EQ(body->get("net_amount"), 1234);
    EXPECT_EQ(body->get("gross_amount"), 1480);
    EXPECT_EQ(body->get("payment_term"), 30);
    EXPECT_FALSE(body->contains("line-items"));
    EXPECT_EQ(body->get("to").dictionary()->get("contact"), "accounts@bloggs.example");
    EXPECT_EQ(sentNotifications, 0) << "not before the overlay has gone";
    EXPECT_FALSE(form->isUserInteractionEnabled());

    driver.wait(1.0);
    driver.wait(0.5);

    EXPECT_EQ(sentNotifications, 1);
    EXPECT_EQ(navigation->topViewController(), folders);
    EXPECT_EQ(invoicesHeld(), 1u);
}

TEST_F(CreateInvoiceSendTest, EveryFailureShowsOopsAndGivesTheFormBackWhole)
{
    struct Case {
        const char* name;
        std::function<void(::testing::Backend&)> hook;
    };
    const std::string route = "/api/freelancers/:freelancer/business/:business/invoices";
    const Case cases[] {
        { "reference taken (422)", [&](auto& b) { b.failRoute("POST", route, 422, 1); } },
        { "not found (404)", [&](auto& b) { b.failRoute("POST", route, 404, 1); } },
        { "server error (500)", [&](auto& b) { b.failRoute("POST", route, 500, 1); } },
        { "dropped", [&](auto& b) { b.dropRoute("POST", route, 1); } },
        { "timed out", [&](auto& b) { b.delayRoute("POST", route, 3, 1); } },
    };
    addBankAccount("12345678", "12-34-56");
    setRequestTimeout(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        backend().clearHooks();
        c.hook(backend());
        open();
        fillIn();

        send("Oops");

        EXPECT_TRUE(form->navigationBar()->loadingView()->isHidden())
            << "the spinner goes before the overlay";
        driver.wait(1.0);
        EXPECT_TRUE(form->resultView()->isHidden());
        EXPECT_TRUE(form->isUserInteractionEnabled());
        EXPECT_TRUE(form->contentHolder()->isUserInteractionEnabled());
        EXPECT_EQ(form->descriptionTextField()->text(), "Website design");
        EXPECT_EQ(form->amountTextField()->amount(), 1234);
        EXPECT_TRUE(form->sendButton()->isEnabled());
        EXPECT_EQ(navigation->topViewController(), screen);
        EXPECT_EQ(invoicesHeld(), 0u);
        EXPECT_EQ(sentNotifications, 0);
    }
}

TEST_F(CreateInvoiceSendTest, AfterAServerErrorARetryPostsOnceAndSends)
{
    addBankAccount("12345678", "12-34-56");
    backend().failRoute("POST", "/api/freelancers/:freelancer/business/:business/invoices", 500, 1);
    open();
    fillIn();
    send("Oops");
    driver.wait(1.0);
    backend().clearRequests();

    send("Sent");
    screen->sendInvoice(form->invoice());

    EXPECT_EQ(posts(), 1u) << "a second send while one runs is ignored";
    EXPECT_EQ(invoicesHeld(), 1u);
}

TEST_F(CreateInvoiceSendTest, TheBankQuestionComesOncePerUserAndYesOpensTheMenuWithoutSending)
{
    useAppResources();
    open();
    fillIn();
    tap("Send");

    EXPECT_THAT(driver.screen(), testing::HasSubstr("Let's get paid!"));
    EXPECT_THAT(driver.screen(), testing::HasSubstr("image \"DialogBankIcon\""));
    EXPECT_TRUE(UserStore::sharedStore().fetchActiveUser()->hasShownBankAccountDetailsDialog())
        << "stored before the answer";
    tap("Yes, add info");
    EXPECT_TRUE(form->menuView());
    EXPECT_EQ(posts(), 0u);

    form->menuView()->closePressed();
    driver.wait(0.5);
    send("Sent");
    EXPECT_THAT(driver.screen(), testing::Not(testing::HasSubstr("Let's get paid!")));
    EXPECT_EQ(posts(), 1u);
}

TEST_F(CreateInvoiceSendTest, WithoutAnActiveUserTheQuestionIsAskedAndNothingIsStored)
{
    auto& store = UserStore::sharedStore();
    store.fetchActiveUser()->setIsActiveUser(false);
    store.updateStore();
    open();
    fillIn();
    tap("Send");

    EXPECT_THAT(driver.screen(), testing::HasSubstr("Let's get paid!"));
    tap("No, send now");
    ASSERT_TRUE(waitUntil([&] { return showing("Sent"); }));
    EXPECT_FALSE(store.fetchActiveUser().has_value());
}

}
}
