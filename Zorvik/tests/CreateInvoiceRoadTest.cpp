#include "Zorvik/ViewControllers/InvoiceReferenceNumberViewController/InvoiceReferenceNumberViewController.h"
#include "Zorvik/ViewControllers/LineItemsViewController.h"
#include "Zorvik/ViewControllers/ReadOnlyInvoiceViewController.h"
#include "Zorvik/Views/ContentView/FormViewObjc.h"
#include "Zorvik/Views/CreateInvoiceView/ReadOnlyInvoiceView.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"
#include "Zorvik/Views/SendInvoiceResultView/SendInvoiceResultView.h"
#include "Zorvik/tests/AnimatorDescription.h"
#include "Zorvik/tests/CreateInvoiceFixture.h"
#include "ZorvikAPI/models/Contact.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/LineItem.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Button.h"
#include "platform/ui/ContactsStore.h"
#include "platform/ui/Label.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace zorvik::test {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

/// A person writing an invoice from the folders screen: every screen the New Invoice screen opens, with
/// the pickers' answers handed back as the pickers hand them.
class CreateInvoiceRoadTest : public CreateInvoiceTest {
protected:
    void SetUp() override
    {
        CreateInvoiceTest::SetUp();
        platform::ui::ContactsStore::resetDevice();
        platform::ui::ContactsStore::setAuthorizationStatus(
            platform::ui::ContactsAuthorizationStatus::Authorized);
    }

    void TearDown() override
    {
        platform::ui::ContactsStore::resetDevice();
        CreateInvoiceTest::TearDown();
    }

    /// The class of the screen on top, once any transition has ended.
    std::string top()
    {
        driver.wait(0.5);
        layout();
        return navigation->topViewController()->className();
    }

    /// The way through every screen: amount and description typed, the recipient picked in the register,
    /// the e-mail picked in the contacts, a line item added, the reference set to `reference`; then Send.
    void writeAndSend(const std::string& reference)
    {
        tap("£0.00");
        driver.type("1234");
        tap("Next");
        driver.type("Website design");

        tap("Company name");
        EXPECT_EQ(top(), "SelectInvoiceRecipientViewController");
        EXPECT_EQ(
            describeAnimator(screen->pushAnimation(navigation->topViewController())), "SlideInFromRight");
        navigation->popViewController(true);
        EXPECT_EQ(top(), "CreateInvoiceViewController");
        screen->companyConfirmed(recipient());

        tap("Contacts");
        EXPECT_EQ(top(), "SearchAddressBookContactViewController");
        navigation->popViewController(true);
        EXPECT_EQ(top(), "CreateInvoiceViewController");
        screen->addContactEmailFromSearch("accounts@bloggs.example");

        tap("£12.34");
        tap("+ add items");
        auto items = std::dynamic_pointer_cast<LineItemsViewController>(screen->presentedViewController());
        ASSERT_TRUE(items);
        auto line = Dictionary::make();
        api::LineItem(line).setDescriptionOfWork("Logo");
        api::LineItem(line).setQuantity(2);
        api::LineItem(line).setUnitPrice(1500);
        items->lineItems()->append(line);
        items->done();
        driver.wait(0.5);

        form->resignFirstResponder();
        tap(form->referenceLabel()->text().value_or(""));
        auto editor = std::dynamic_pointer_cast<InvoiceReferenceNumberViewController>(
            screen->presentedViewController());
        ASSERT_TRUE(editor);
        auto [prefix, counter] = std::pair { reference.substr(0, 4), reference.substr(4) };
        editor->invoiceReferenceNumberUpdated(api::Reference::referenceWithPrefix(prefix, counter));
        editor->dismiss();
        driver.wait(0.5);
        EXPECT_EQ(form->referenceLabel()->text(), reference);

        tap("Send");
    }

    bool showing(const std::string& word) const
    {
        return !form->resultView()->isHidden() && form->resultView()->text() == word;
    }
};

TEST_F(CreateInvoiceRoadTest, WriteSendAndOpenTheSentInvoice)
{
    addBankAccount("12345678", "12-34-56");
    open();
    writeAndSend("INV-007");
    ASSERT_TRUE(waitUntil([&] { return showing("Sent"); }));

    auto body = backend().lastRequest()->json().dictionary();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->get("reference"), "INV-007");
    EXPECT_EQ(body->get("description"), "Website design");
    EXPECT_EQ(body->get("net_amount"), 0) << "line items carry the amounts";
    auto to = body->get("to").dictionary();
    EXPECT_EQ(to->get("contact"), "accounts@bloggs.example");
    EXPECT_EQ(to->get("business").dictionary()->get("name"), "Bloggs & Sons");
    ASSERT_EQ(body->get("line-items").array()->size(), 1u);

    driver.wait(1.5);
    EXPECT_EQ(top(), "FoldersViewControllerObjc");

    auto sent = business().invoices()->values().front().dictionary();
    auto readOnly = std::make_shared<ReadOnlyInvoiceViewController>(freelancer(), sent);
    navigation->pushViewController(readOnly, true);
    EXPECT_EQ(top(), "ReadOnlyInvoiceViewController");
    auto view = readOnly->readOnlyInvoiceView();
    EXPECT_EQ(view->navigationBar()->text(), "Outstanding invoice");
    EXPECT_EQ(view->referenceLabel()->text(), "INV-007");
    EXPECT_EQ(view->amountTextField()->amount(), 3000);
    EXPECT_EQ(view->recipientEmail(), "accounts@bloggs.example");
}

TEST_F(CreateInvoiceRoadTest, AReusedReferenceGivesTheFormBackWhole)
{
    addBankAccount("12345678", "12-34-56");
    auto earlier
        = api::Invoice::invoiceWithDescription("Earlier", api::Reference::referenceWithPrefix("INV-", "007"),
            500, 500, 30, api::Contact::withEmail(kEmail, business()), std::nullopt);
    ::testing::OutcomeLog log;
    business().sendInvoice(earlier, log.typed<api::Invoice>(), log.note("exists"), log.failure());
    ASSERT_TRUE(::testing::settle(log));

    open();
    writeAndSend("INV-007");
    ASSERT_TRUE(waitUntil([&] { return showing("Oops"); }));
    driver.wait(1.0);

    EXPECT_EQ(top(), "CreateInvoiceViewController");
    EXPECT_EQ(form->descriptionTextField()->text(), "Website design");
    EXPECT_EQ(form->companyNameTextField()->text(), "Bloggs & Sons");
    EXPECT_EQ(form->recipientEmail(), "accounts@bloggs.example");
    EXPECT_EQ(form->lineItems()->size(), 1u);
    EXPECT_EQ(form->referenceLabel()->text(), "INV-007");
    EXPECT_TRUE(form->sendButton()->isEnabled());
    EXPECT_EQ(business().invoices()->size(), 1u);
}

TEST_F(CreateInvoiceRoadTest, APickedRecipientTakesTheNewestEarlierEmailButATypedOneStays)
{
    for (const char* email : { "old@bloggs.example", "new@bloggs.example" }) {
        auto earlier = api::Invoice::invoiceWithDescription("Earlier", std::string(email), 500, 500, 30,
            api::Contact::withEmail(kEmail, business()),
            api::Contact::withEmail(std::string(email), api::Business(recipient())));
        ::testing::OutcomeLog log;
        business().sendInvoice(earlier, log.typed<api::Invoice>(), log.note("exists"), log.failure());
        ASSERT_TRUE(::testing::settle(log));
    }
    open();
    screen->companyConfirmed(recipient());
    EXPECT_EQ(form->recipientEmail(), "new@bloggs.example");

    open();
    tap("Email address");
    driver.type("me@typed.example");
    screen->companyConfirmed(recipient());
    EXPECT_EQ(form->recipientEmail(), "me@typed.example");

    open();
    screen->companyConfirmed(recipient("Someone Else Ltd"));
    EXPECT_EQ(form->recipientEmail(), "");
}

TEST_F(CreateInvoiceRoadTest, AFormsSaveTheServerCannotFindEndsInItsFailureMessage)
{
    backend().failRoute("PUT", "/api/freelancers/:freelancer/business/*", 404);
    open();
    tap("More");
    tap("Bank account");
    EXPECT_EQ(top(), "BankAccountViewController");
    tap("8 digits");
    driver.type("12345678");
    tap("00-00-00");
    driver.type("123456");
    tap("save");
    auto bank = navigation->topViewController();
    ASSERT_TRUE(waitUntil([&] {
        auto error = std::dynamic_pointer_cast<FormViewObjc>(bank->view())->errorView();
        return error && error->superview();
    })) << "the form shows its failure message, never a hang";
    EXPECT_EQ(top(), "BankAccountViewController");
}

}
}
