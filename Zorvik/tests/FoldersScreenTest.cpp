#include "Zorvik/ViewControllers/CompanySettingsViewController.h"
#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/ViewControllers/InvoiceSummaryViewController/InvoiceSummaryViewController.h"
#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/ViewControllers/ReadOnlyInvoiceViewController.h"
#include "Zorvik/Views/FolderView/FolderViewObjc.h"
#include "Zorvik/Views/FoldersView/FoldersView.h"
#include "Zorvik/tests/SignedInFixture.h"
#include "ZorvikAPI/models/Contact.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "testing/backend/OutcomeLog.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::foundation::ArrayRef;
using platform::foundation::DictionaryRef;

class FoldersScreenTest : public SignedInFixture {
protected:
    void SetUp() override
    {
        SignedInFixture::SetUp();
        platform::foundation::Log::setCapture([this](const std::string& line) { logged.push_back(line); });
    }

    void TearDown() override
    {
        platform::foundation::Log::setCapture({});
        SignedInFixture::TearDown();
    }

    /// Sends an invoice for `description` to "Acme Ltd" through the API library; the business's list gains
    /// it at the top.
    DictionaryRef send(const std::string& description)
    {
        auto to = api::Business(platform::foundation::Dictionary::make({ { "name", "Acme Ltd" } }));
        auto invoice = api::Invoice::invoiceWithDescription(description, description, 1000, 1200, 30,
            api::Contact::withEmail(std::string(kEmail), business()),
            api::Contact::withEmail("ap@acme.example", to));
        ::testing::OutcomeLog sent;
        business().sendInvoice(invoice, sent.typed<api::Invoice>(), sent.note("exists"), sent.failure());
        EXPECT_TRUE(::testing::settle(sent));
        EXPECT_EQ(sent.only(), "ok");
        return sent.answer.dictionary();
    }

    /// The home screen, pushed on the app's stack and shown.
    std::shared_ptr<FoldersViewControllerObjc> showHome()
    {
        auto home = std::make_shared<FoldersViewControllerObjc>(freelancer());
        navigation = showScreens({ home });
        advance(0.5);
        layout();
        return home;
    }

    /// The ids of the invoices a folder lists, top first.
    static std::vector<std::int64_t> ids(const FolderViewObjc& folder)
    {
        std::vector<std::int64_t> shown;
        for (const auto& invoice : *folder.invoices())
            shown.push_back(invoice.dictionary()->get("id").integerValue());
        return shown;
    }

    /// How many reminders are scheduled.
    static std::size_t reminders()
    {
        return platform::ui::Application::shared().scheduledLocalNotifications().size();
    }

    std::shared_ptr<NoHistoryNavigationController> navigation;
    std::vector<std::string> logged;
};

TEST_F(FoldersScreenTest, ASwipeMovesTheInvoiceAtOnceAndPutsItsHistoryToTheBackEnd)
{
    auto sent = send("Garden design");
    auto id = sent->get("id").integerValue();
    platform::ui::Application::shared().setApplicationIconBadgeNumber(4);
    auto home = showHome();
    auto& view = *home->foldersView();
    EXPECT_EQ(ids(*view.sentView()), (std::vector<std::int64_t> { id }));
    EXPECT_EQ(platform::ui::Application::shared().applicationIconBadgeNumber(), 0);
    EXPECT_EQ(reminders(), 1u) << "the new invoice's reminder";

    backend().clearRequests();
    ::testing::Gate answer;
    backend().holdRoute("PUT", "/api/freelancers/:freelancer/business/:business/invoices/:invoice", answer);
    EXPECT_EQ(driver.execute("swipe Garden design 0"), "the row rests at offset 0\n");
    EXPECT_EQ(ids(*view.doneView()), (std::vector<std::int64_t> { id })) << "at once, before the answer";
    EXPECT_TRUE(view.sentView()->invoices()->empty());
    EXPECT_EQ(reminders(), 0u) << "a paid invoice never reminds";
    answer.open();
    ASSERT_TRUE(waitUntil([&] { return !logged.empty(); }));
    EXPECT_EQ(logged.back(), "[Folders] Invoice moved to done");

    auto request = backend().lastRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "PUT");
    EXPECT_TRUE(request->path.ends_with("/invoices/" + std::to_string(id))) << request->path;
    auto body = request->json().dictionary();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->get("id").integerValue(), id);
    EXPECT_EQ(body->get("sent"), sent->get("sent"));
    auto folders = body->get("folders").array();
    ASSERT_TRUE(folders && folders->size() == 2) << request->body;
    EXPECT_EQ(folders->last(),
        platform::foundation::Value(platform::foundation::Dictionary::make({ { "name", "done" } })));
    EXPECT_EQ(backend().invoices()->first().dictionary()->get("folders").array()->size(), 2u);
}

TEST_F(FoldersScreenTest, ARefusedMoveLeavesTheHistoryExactlyAsBeforeAndTheRowInItsFolder)
{
    for (int status : { 500, 404 }) {
        auto sent = send("Status " + std::to_string(status));
        auto home = showHome();
        auto& view = *home->foldersView();
        auto before = sent->get("folders").deepCopy();
        auto live = business().invoices()->first().dictionary();
        auto remindersBefore = reminders();
        backend().clearRequests();
        backend().failRoute(
            "PUT", "/api/freelancers/:freelancer/business/:business/invoices/:invoice", status, 1);
        driver.execute("swipe Status " + std::to_string(status) + " 0");
        ASSERT_TRUE(
            waitUntil([&] { return backend().lastRequest() && backend().lastRequest()->method == "PUT"; }));
        ASSERT_TRUE(waitUntil([&] { return !view.sentView()->invoices()->empty(); })) << status;
        EXPECT_EQ(live->get("folders"), before) << status;
        EXPECT_EQ(view.sentView()->invoices()->first().dictionary(), live) << status;
        EXPECT_TRUE(view.doneView()->invoices()->empty()) << status;
        EXPECT_EQ(reminders(), remindersBefore) << status << ": the reminder is back";
        ::testing::OutcomeLog gone;
        business().deleteInvoice(api::Invoice(live), gone.note("ok"), gone.note("missing"), gone.failure());
        ASSERT_TRUE(::testing::settle(gone));
    }
}

TEST_F(FoldersScreenTest, ASendAndADeleteWhileAnotherScreenIsOnTopRefreshTheListsOnTheWayBack)
{
    auto first = send("First job");
    auto home = showHome();
    auto& view = *home->foldersView();
    navigation->pushViewController(std::make_shared<CompanySettingsViewController>(), false);
    settle();

    auto second = send("Second job");
    EXPECT_EQ(
        home->animateFolderUpdatesOnViewDidAppearAction(), FoldersViewControllerObjc::INVOICE_SENT_ACTION);
    EXPECT_EQ(ids(*view.sentView()).size(), 1u) << "nothing changes while the screen is away";
    navigation->popViewController(true);
    advance(0.5);
    EXPECT_EQ(ids(*view.sentView()),
        (std::vector<std::int64_t> { second->get("id").integerValue(), first->get("id").integerValue() }));
    EXPECT_EQ(home->animateFolderUpdatesOnViewDidAppearAction(), FoldersViewControllerObjc::NO_ACTION);

    navigation->pushViewController(std::make_shared<CompanySettingsViewController>(), false);
    settle();
    ::testing::OutcomeLog gone;
    business().deleteInvoice(api::Invoice(business().invoices()->first().dictionary()), gone.note("ok"),
        gone.note("missing"), gone.failure());
    ASSERT_TRUE(::testing::settle(gone));
    EXPECT_EQ(
        home->animateFolderUpdatesOnViewDidAppearAction(), FoldersViewControllerObjc::INVOICE_DELETED_ACTION);
    navigation->popViewController(true);
    advance(0.5);
    layout();
    EXPECT_EQ(ids(*view.sentView()), (std::vector<std::int64_t> { first->get("id").integerValue() }));
}

TEST_F(FoldersScreenTest, ARowOpensItsInvoiceAndTheSummaryButtonTheTotals)
{
    send("Garden design");
    showHome();
    driver.execute("tap Garden design");
    advance(0.5);
    EXPECT_TRUE(std::dynamic_pointer_cast<ReadOnlyInvoiceViewController>(navigation->topViewController()));
    auto screen = driver.execute("screen");
    EXPECT_NE(screen.find("Outstanding invoice"), std::string::npos) << screen;
    navigation->popViewController(false);
    settle();

    driver.execute("tap Summary");
    advance(1);
    EXPECT_TRUE(std::dynamic_pointer_cast<InvoiceSummaryViewController>(navigation->topViewController()));
    screen = driver.execute("screen");
    EXPECT_NE(screen.find("12.00"), std::string::npos) << screen;
}

}
}
