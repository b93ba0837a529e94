#include "Zorvik/Controls/EmailTextField.h"
#include "Zorvik/Events/Notifications/InvoiceNotifications.h"
#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewViewController.h"
#include "Zorvik/ViewControllers/InvoiceRecipientViewControllerObjc.h"
#include "Zorvik/ViewControllers/InvoiceReferenceNumberViewController/InvoiceReferenceNumberViewController.h"
#include "Zorvik/ViewControllers/LineItemsViewController.h"
#include "Zorvik/ViewControllers/ReadOnlyInvoiceViewController.h"
#include "Zorvik/Views/CreateInvoiceView/ReadOnlyInvoiceView.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/InlineVATView/InlineVATView.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/MenuView/MenuItem.h"
#include "Zorvik/Views/MenuView/MenuView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/SendInvoiceResultView/SendInvoiceResultView.h"
#include "Zorvik/tests/AnimatorDescription.h"
#include "Zorvik/tests/CreateInvoiceFixture.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "ZorvikAPI/models/Contact.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/LineItem.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Array;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

DictionaryRef json(const std::string& text)
{
    auto parsed = platform::foundation::parseJson(text);
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    return parsed.value.dictionary();
}

DictionaryRef item(const std::string& description, std::int64_t price, std::int64_t quantity, double tax)
{
    auto record = Dictionary::make();
    api::LineItem line(record);
    line.setDescriptionOfWork(description);
    line.setQuantity(quantity);
    line.setUnitPrice(price);
    line.setTax(tax);
    return record;
}

/// A sent invoice's screen pushed over the folders screen, as the folders screen pushes it.
class ReadOnlyInvoiceTest : public CreateInvoiceTest {
protected:
    /// A sent invoice to Bloggs & Sons: "ACME" 041, £10.00 (with £2.00 VAT), "Logo design".
    static DictionaryRef stored()
    {
        return json(R"({"id": 77, "description": "Logo design", "reference": "ACME041",
            "reference_components": {"prefix": "ACME", "counter": "041"},
            "net_amount": 1000, "gross_amount": 1200, "payment_term": 30,
            "sent": "2026-05-01T09:00:00.000Z", "folders": [],
            "to": {"contact": "accounts@bloggs.example", "business": {"name": "Bloggs & Sons"}}})");
    }

    /// Sends `invoice` through the library (so the back-end and the business's list hold it) and returns
    /// the business's record of it.
    DictionaryRef send(const DictionaryRef& invoice)
    {
        api::Invoice(invoice).setFrom(api::Contact::withEmail(kEmail, business()));
        ::testing::OutcomeLog log;
        business().sendInvoice(
            api::Invoice(invoice), log.typed<api::Invoice>(), log.note("exists"), log.failure());
        EXPECT_TRUE(::testing::settle(log));
        EXPECT_EQ(log.only(), "ok");
        return business().invoices()->values().front().dictionary();
    }

    /// Shows `invoice` on its screen over the folders screen.
    void show(const DictionaryRef& invoice)
    {
        folders = std::make_shared<FoldersViewControllerObjc>(freelancer());
        readOnly = std::make_shared<ReadOnlyInvoiceViewController>(freelancer(), invoice);
        navigation = showScreens({ folders, readOnly });
        view = readOnly->readOnlyInvoiceView();
    }

    /// The class of the screen on top, once any transition has ended.
    std::string top()
    {
        driver.wait(0.5);
        layout();
        return navigation->topViewController()->className();
    }

    std::size_t deletes()
    {
        std::size_t count = 0;
        for (const auto& request : backend().requests())
            count += request.method == "DELETE";
        return count;
    }

    bool showing(const std::string& word) const
    {
        return !view->resultView()->isHidden() && view->resultView()->text() == word;
    }

    /// Taps Delete and answers the question "Yes" (the answer runs once the question has gone).
    void deleteAndConfirm()
    {
        tap("Delete");
        driver.wait(0.5);
        driver.pickAlertAction("Yes");
        driver.wait(0.5);
    }

    std::shared_ptr<ReadOnlyInvoiceViewController> readOnly;
    std::shared_ptr<ReadOnlyInvoiceView> view;
};

TEST_F(ReadOnlyInvoiceTest, TheTitleFollowsTheFolderCountAndTheDateIsTheLastMove)
{
    struct Case {
        int moves;
        const char* title;
        const char* date;
    };
    const Case cases[] {
        { 0, "Paid invoice", "01 May 2026" },
        { 1, "Outstanding invoice", "02 May 2026" },
        { 2, "Paid invoice", "03 May 2026" },
        { 3, "Outstanding invoice", "04 May 2026" },
    };
    for (const auto& c : cases) {
        auto invoice = stored();
        auto history = Array::make();
        for (int move = 1; move <= c.moves; ++move)
            history->append(Dictionary::make({ { "name", move % 2 ? "todo" : "done" },
                { "date", "2026-05-0" + std::to_string(move + 1) + "T10:00:00.000Z" } }));
        invoice->set("folders", history);
        show(invoice);
        EXPECT_EQ(view->navigationBar()->text(), c.title) << c.moves << " moves";
        EXPECT_EQ(view->dateLabel()->text(), c.date) << c.moves << " moves";
    }
}

TEST_F(ReadOnlyInvoiceTest, ShowsTheInvoicesOwnReferenceAndFieldsLocked)
{
    send(stored());
    show(stored());

    EXPECT_EQ(view->referenceLabel()->text(), "ACME041") << "its own, not the next free one";
    EXPECT_EQ(view->descriptionTextField()->text(), "Logo design");
    EXPECT_EQ(view->companyNameTextField()->text(), "Bloggs & Sons");
    EXPECT_EQ(view->recipientEmail(), "accounts@bloggs.example");
    for (auto field : { std::static_pointer_cast<platform::ui::Control>(view->amountTextField()),
             std::static_pointer_cast<platform::ui::Control>(view->descriptionTextField()),
             std::static_pointer_cast<platform::ui::Control>(view->companyNameTextField()),
             std::static_pointer_cast<platform::ui::Control>(view->recipientEmailTextField()) })
        EXPECT_FALSE(field->isEnabled());
    EXPECT_TRUE(view->navigationBar()->positiveButtonHidden()) << "nothing to send";
    EXPECT_TRUE(view->deleteButton()->isEnabled());
    EXPECT_FALSE(view->deleteLabel()->isHidden());
    EXPECT_EQ(view->navigationBar()->negativeButton()->image()->name(), "BtnLessThanWhite");
}

TEST_F(ReadOnlyInvoiceTest, TheBusinesssLogoTurnsTheBarDarkOnLightAndNoLogoIsAddedHere)
{
    useAppResources();
    struct Shown {
        std::string statusBar;
        platform::ui::Color title;
        std::string back;
    };
    auto seen = [this] {
        return Shown { readOnly->preferredStatusBarStyle() == platform::ui::StatusBarStyle::Default
                ? "default"
                : "light content",
            view->navigationBar()->titleColour(), view->navigationBar()->negativeButton()->image()->name() };
    };

    show(stored());
    auto without = seen();
    EXPECT_EQ(without.statusBar, "light content");
    EXPECT_EQ(without.back, "BtnLessThanWhite");
    EXPECT_THROW(tap("Add logo"), platform::ui::ScreenDriverError) << "no logo is added here";

    open();
    ASSERT_NO_FATAL_FAILURE(addLogo(*form));
    ASSERT_TRUE(business().logo() && !business().logo()->empty());
    show(stored());
    auto with = seen();
    EXPECT_EQ(with.statusBar, "default");
    EXPECT_EQ(with.title, platform::ui::Color::black());
    EXPECT_EQ(with.back, "BtnBlackLessThan");
    EXPECT_THROW(tap("Add logo"), platform::ui::ScreenDriverError) << "nor changed";

    business().record()->set("logo", "");
    show(stored());
    EXPECT_EQ(seen().back, "BtnLessThanWhite") << "a picture on the phone without the business's logo";
    EXPECT_EQ(seen().statusBar, "light content");
}

TEST_F(ReadOnlyInvoiceTest, AmountAndVATForEachStoredShape)
{
    struct Case {
        const char* shape;
        std::function<void(const DictionaryRef&)> make;
        std::int64_t amount;
        bool addVat;
        std::int64_t vat;
    };
    const Case cases[] {
        { "no VAT", [](auto& i) { i->set("gross_amount", 1000); }, 1000, false, 0 },
        { "VAT on the amount", [](auto&) {}, 1000, true, 200 },
        { "line items with VAT",
            [](auto& i) {
                i->set("line-items", Array::make({ item("Logo", 1234, 2, 20), item("Hosting", 500, 1, 0) }));
            },
            2961 + 500, true, 493 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shape);
        auto invoice = stored();
        c.make(invoice);
        show(invoice);
        EXPECT_EQ(view->amountTextField()->amount(), c.amount);
        EXPECT_EQ(view->vatView()->addVat(), c.addVat);
        EXPECT_THAT(driver.screen(), testing::Not(testing::HasSubstr("\"add VAT\"")))
            << "the editing prompt has no place on a sent invoice";
        if (!c.addVat)
            continue;
        auto vat = invoice->contains("line-items") ? view->vatView()->marginAmount()
                                                   : view->vatView()->total() - view->vatView()->netAmount();
        EXPECT_EQ(vat, c.vat);
    }
}

TEST_F(ReadOnlyInvoiceTest, TheRecipientReferenceAndLineItemsOpenReadOnly)
{
    auto invoice = stored();
    invoice->set("line-items", Array::make({ item("Logo", 1234, 2, 20) }));
    show(invoice);

    tap("Bloggs & Sons");
    EXPECT_EQ(top(), "InvoiceRecipientViewControllerObjc");
    auto recipient
        = std::dynamic_pointer_cast<InvoiceRecipientViewControllerObjc>(navigation->topViewController());
    EXPECT_TRUE(recipient->isReadOnly());
    EXPECT_THAT(driver.screen(), testing::HasSubstr("Invoice sent to"));
    navigation->popViewController(true);
    EXPECT_EQ(top(), "ReadOnlyInvoiceViewController");

    tap("ACME041");
    auto reference = readOnly->presentedViewController();
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->className(), "ReadOnlyInvoiceReferenceNumberViewController");
    EXPECT_EQ(reference->modalPresentationStyle(), platform::ui::ModalPresentationStyle::OverCurrentContext);
    readOnly->dismissViewController(false);

    tap("1 item");
    auto items = std::dynamic_pointer_cast<LineItemsViewController>(readOnly->presentedViewController());
    ASSERT_TRUE(items);
    EXPECT_TRUE(items->readOnly());
    EXPECT_EQ(items->lineItems()->size(), 1u);
}

TEST_F(ReadOnlyInvoiceTest, TheMenuDuplicatesWithTheNextCounterAndPreviewsTheStoredInvoice)
{
    auto sent = send(stored());
    show(sent);

    tap("More");
    const auto& rows = view->menuView()->menuItems();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]->itemDescription()->text(), "Duplicate");
    EXPECT_EQ(rows[1]->itemDescription()->text(), "Delete");
    EXPECT_EQ(rows[2]->itemDescription()->text(), "Preview");
    tap("Preview");
    EXPECT_EQ(top(), "InvoicePreviewViewController");
    auto preview = std::dynamic_pointer_cast<InvoicePreviewViewController>(navigation->topViewController());
    EXPECT_EQ(preview->invoice(), sent) << "the invoice as stored";
    EXPECT_EQ(describeAnimator(readOnly->pushAnimation(preview)), "SlideInFromRight");
    navigation->popViewController(true);
    EXPECT_EQ(top(), "ReadOnlyInvoiceViewController");

    tap("Duplicate");
    EXPECT_EQ(top(), "CreateInvoiceViewController");
    auto duplicate = std::dynamic_pointer_cast<CreateInvoiceViewController>(navigation->topViewController());
    EXPECT_EQ(describeAnimator(readOnly->pushAnimation(duplicate)), "RiseOver");
    EXPECT_EQ(describeAnimator(readOnly->popAnimation(duplicate)), "DropAway");
    EXPECT_EQ(duplicate->createInvoiceView()->referenceLabel()->text(), "ACME042");
    EXPECT_EQ(duplicate->createInvoiceView()->descriptionTextField()->text(), "Logo design");
    EXPECT_TRUE(view->menuView()->superview() == nullptr) << "the menu went away";
}

TEST_F(ReadOnlyInvoiceTest, ADuplicateKeepsThePrefixAndTakesTheNextCounterAfterItsNewest)
{
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> newer;
        const char* reference;
    };
    const Case cases[] {
        { "the only invoice", {}, "ACME042" },
        { "a newer invoice under another prefix", { { "INV-", "050" } }, "ACME042" },
        { "a newer counter of the same prefix", { { "INV-", "050" }, { "ACME", "045" } }, "ACME046" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto invoices = business().invoices();
        invoices->removeAll();
        invoices->append(stored());
        for (const auto& [prefix, counter] : c.newer) {
            auto other = api::Invoice::invoice();
            other.setReferencePrefix(prefix, counter);
            invoices->insert(0, other.record());
        }
        show(invoices->values().back().dictionary());
        tap("More");
        tap("Duplicate");
        ASSERT_EQ(top(), "CreateInvoiceViewController");
        auto duplicate
            = std::static_pointer_cast<CreateInvoiceViewController>(navigation->topViewController());
        EXPECT_EQ(duplicate->createInvoiceView()->referenceLabel()->text(), c.reference);
    }
}

TEST_F(ReadOnlyInvoiceTest, EachOpenedScreenComesAndGoesWithItsOwnTransition)
{
    // Only exactly a New Invoice screen rises over this one; a subclass of it slides like any other.
    class OwnCreateInvoice : public CreateInvoiceViewController {
    public:
        using CreateInvoiceViewController::CreateInvoiceViewController;
    };
    struct Case {
        const char* name;
        std::shared_ptr<platform::ui::ViewController> opened;
        const char* push;
        const char* pop;
    };
    const Case cases[] {
        { "duplicate", std::make_shared<CreateInvoiceViewController>(freelancer(), stored()), "RiseOver",
            "DropAway" },
        { "a New Invoice screen's subclass", std::make_shared<OwnCreateInvoice>(freelancer(), stored()),
            "SlideInFromRight", "SlideInFromLeft" },
        { "recipient details",
            std::make_shared<InvoiceRecipientViewControllerObjc>(
                Dictionary::make({ { "name", "Bloggs" } }), true),
            "SlideInFromRight", "SlideInFromLeft" },
        { "preview", std::make_shared<InvoicePreviewViewController>(stored()), "SlideInFromRight",
            "SlideInFromLeft" },
        { "line items", std::make_shared<LineItemsViewController>(), "SlideInFromRight", "SlideInFromLeft" },
    };
    show(stored());
    for (const auto& c : cases) {
        EXPECT_EQ(describeAnimator(readOnly->pushAnimation(c.opened)), c.push) << c.name;
        EXPECT_EQ(describeAnimator(readOnly->popAnimation(c.opened)), c.pop) << c.name;
    }
}

TEST_F(ReadOnlyInvoiceTest, NoOnTheDeleteQuestionChangesNothing)
{
    auto sent = send(stored());
    show(sent);
    tap("Delete");
    driver.wait(0.5);
    EXPECT_THAT(driver.screen(), testing::HasSubstr("\"Delete this invoice?\" [action sheet]"));
    driver.pickAlertAction("No");

    EXPECT_EQ(top(), "ReadOnlyInvoiceViewController");
    EXPECT_EQ(deletes(), 0u);
    EXPECT_EQ(business().invoices()->size(), 1u);
}

TEST_F(ReadOnlyInvoiceTest, ADeletionShowsDeletedPopsAndCancelsTheReminder)
{
    // The answer is held until the busy state has been seen while the request runs.
    ::testing::Gate answer;
    backend().holdRoute(
        "DELETE", "/api/freelancers/:freelancer/business/:business/invoices/:invoice", answer);
    auto sent = send(stored());
    InvoiceNotifications().createLocalNotificationForInvoice(api::Invoice(sent));
    ASSERT_TRUE(InvoiceNotifications().isNotificationScheduledForInvoice(api::Invoice(sent)));
    show(sent);

    deleteAndConfirm();
    EXPECT_FALSE(view->navigationBar()->loadingView()->isHidden()) << "busy for the whole request";
    EXPECT_FALSE(view->isUserInteractionEnabled());
    answer.open();
    ASSERT_TRUE(waitUntil([&] { return showing("Deleted"); }));
    EXPECT_EQ(deletes(), 1u);
    EXPECT_EQ(business().invoices()->size(), 0u);
    EXPECT_FALSE(InvoiceNotifications().isNotificationScheduledForInvoice(api::Invoice(sent)));

    driver.wait(1.0);
    EXPECT_EQ(top(), "FoldersViewControllerObjc");
}

TEST_F(ReadOnlyInvoiceTest, AFailedDeletionShowsOopsAndKeepsTheScreenAndTheList)
{
    struct Case {
        const char* name;
        int status;
    };
    const std::string route = "/api/freelancers/:freelancer/business/:business/invoices/:invoice";
    auto sent = send(stored());
    for (const auto& c : { Case { "server error", 500 }, Case { "not found", 404 } }) {
        SCOPED_TRACE(c.name);
        backend().clearHooks();
        backend().failRoute("DELETE", route, c.status, 1);
        show(sent);

        deleteAndConfirm();
        ASSERT_TRUE(waitUntil([&] { return showing("Oops"); }));
        EXPECT_TRUE(view->navigationBar()->loadingView()->isHidden());
        driver.wait(1.0);
        EXPECT_TRUE(view->resultView()->isHidden());
        EXPECT_TRUE(view->isUserInteractionEnabled());
        EXPECT_EQ(top(), "ReadOnlyInvoiceViewController");
        EXPECT_EQ(business().invoices()->size(), 1u);
    }
    backend().clearRequests();
    deleteAndConfirm();
    ASSERT_TRUE(waitUntil([&] { return showing("Deleted"); })) << "a later try may delete";
}

TEST_F(ReadOnlyInvoiceTest, TwoTapsSendOneDeletion)
{
    const std::string route = "/api/freelancers/:freelancer/business/:business/invoices/:invoice";
    ::testing::Gate answer;
    backend().holdRoute("DELETE", route, answer);
    show(send(stored()));

    deleteAndConfirm();
    EXPECT_THROW(tap("Delete"), platform::ui::ScreenDriverError) << "the form is locked";
    view->deleteInvoice();
    EXPECT_EQ(readOnly->presentedViewController(), nullptr) << "no second question";
    answer.open();
    ASSERT_TRUE(waitUntil([&] { return showing("Deleted"); }));
    EXPECT_EQ(deletes(), 1u);
}

}
}
