#include "Zorvik/ViewControllers/ReadOnlyInvoiceViewController.h"
#include "Zorvik/Views/ContentView/FormViewObjc.h"
#include "Zorvik/Views/CreateInvoiceView/ReadOnlyInvoiceView.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/InlineVATView/InlineVATView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"
#include "Zorvik/Views/SendInvoiceResultView/SendInvoiceResultView.h"
#include "Zorvik/tests/CreateInvoiceFixture.h"
#include "ZorvikAPI/models/Contact.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/LineItem.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Button.h"
#include "platform/ui/ContactsStore.h"
#include "platform/ui/Label.h"
#include "testing/TemporaryDirectory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace zorvik::test {
namespace {

/// The device's address book of these tests.
constexpr const char* kAddressBook = R"([
    {"givenName": "Mary", "familyName": "Hollins", "emailAddresses": ["accounts@bramblewick.example"]},
    {"givenName": "Mark", "familyName": "Bramble", "emailAddresses": ["mark@bramble.example"]}
])";

/// A person writing an invoice from the folders screen through every screen the New Invoice screen opens:
/// the company register searched in the recipient picker, the address book searched in the contact
/// e-mail picker, the line-items and reference editors typed into.
class CreateInvoiceRoadTest : public CreateInvoiceTest {
protected:
    void SetUp() override
    {
        CreateInvoiceTest::SetUp();
        platform::ui::ContactsStore::resetDevice();
        auto file = m_folder.path() / "contacts.json";
        ASSERT_TRUE(platform::foundation::Files::writeText(file, kAddressBook));
        driver.execute("contacts " + file.string());
        driver.execute("contacts-access authorized");
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

    /// Lets time pass, a tenth of a second at a time for five seconds, until `text` shows on screen: answers
    /// from the back-end and the address book arrive meanwhile, and on a busy machine may come after the
    /// five seconds are over. False when it never shows.
    bool waitToSee(const std::string& text)
    {
        const std::string shown = "\"" + text + "\"";
        auto seen = [&] { return driver.screen().find(shown) != std::string::npos; };
        for (int tick = 0; tick < 50; ++tick) {
            driver.wait(0.1);
            if (waitUntil(seen, std::chrono::milliseconds(100)))
                return true;
        }
        return waitUntil(seen);
    }

    /// Taps the company name, searches the register for `term` and confirms the hit `company`.
    void pickRecipient(const std::string& term, const std::string& company)
    {
        tap("Company name");
        EXPECT_EQ(top(), "SelectInvoiceRecipientViewController");
        driver.type(term);
        ASSERT_TRUE(waitToSee(company)) << driver.screen();
        tap(company);
        tap("done");
        EXPECT_EQ(top(), "CreateInvoiceViewController");
    }

    /// The way through every screen: amount and description typed, the recipient picked in the register,
    /// the e-mail picked in the address book, a line item typed (2 × £15.00 with VAT), the reference
    /// typed as `prefix` and `counter`; then Send.
    void writeAndSend(const std::string& prefix, const std::string& counter)
    {
        tap("£0.00");
        driver.type("1234");
        tap("Next");
        driver.type("Website design");

        pickRecipient("bramble", "Bramblewick Bakery Limited");
        if (HasFatalFailure())
            return;

        tap("Contacts");
        EXPECT_EQ(top(), "SearchAddressBookContactViewController");
        ASSERT_TRUE(waitToSee("mark@bramble.example")) << "the address book is read";
        driver.type("holl");
        ASSERT_TRUE(waitToSee("Mary Hollins")) << driver.screen();
        tap("accounts@bramblewick.example");
        EXPECT_EQ(top(), "CreateInvoiceViewController");
        EXPECT_EQ(form->recipientEmail(), "accounts@bramblewick.example");

        tap("£12.34");
        tap("+ add items");
        tap("1. add item description");
        driver.type("Logo");
        tap("item 1 price");
        driver.type("1500");
        tap("item 1 more");
        tap("save");
        tap("done");
        driver.wait(0.5);
        EXPECT_EQ(form->addLineItemsButton()->currentTitle(), "1 item");

        tap(form->referenceLabel()->text().value_or(""));
        driver.wait(0.3);
        tap("change");
        tap("prefix");
        driver.type(prefix);
        tap("001");
        driver.deleteBackward(3);
        driver.type(counter);
        tap("save");
        tap("done");
        driver.wait(0.3);
        EXPECT_EQ(form->referenceLabel()->text(), prefix + counter);

        tap("Send");
    }

    bool showing(const std::string& word) const
    {
        return !form->resultView()->isHidden() && form->resultView()->text() == word;
    }

private:
    ::testing::TemporaryDirectory m_folder;
};

TEST_F(CreateInvoiceRoadTest, WriteSendAndOpenTheSentInvoice)
{
    addBankAccount("12345678", "12-34-56");
    open();
    writeAndSend("INV-", "007");
    ASSERT_TRUE(waitUntil([&] { return showing("Sent"); })) << driver.screen();

    auto body = backend().lastRequest()->json().dictionary();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->get("reference"), "INV-007");
    auto components = body->get("reference_components").dictionary();
    EXPECT_EQ(components->get("prefix"), "INV-");
    EXPECT_EQ(components->get("counter"), "007");
    EXPECT_EQ(body->get("description"), "Website design");
    EXPECT_EQ(body->get("net_amount"), 0) << "line items carry the amounts";
    auto to = body->get("to").dictionary();
    EXPECT_EQ(to->get("contact"), "accounts@bramblewick.example");
    auto recipient = to->get("business").dictionary();
    EXPECT_EQ(recipient->get("name"), "Bramblewick Bakery Limited");
    EXPECT_EQ(recipient->get("registration_number"), "06655120") << "the register's record";
    auto items = body->get("line-items").array();
    ASSERT_EQ(items->size(), 1u);
    api::LineItem logo(items->at(0).dictionary());
    EXPECT_EQ(logo.descriptionOfWork(), "Logo");
    EXPECT_EQ(logo.unitPrice(), 1500);
    EXPECT_EQ(logo.quantity(), 2);
    EXPECT_EQ(logo.tax(), 20);

    driver.wait(1.5);
    EXPECT_EQ(top(), "FoldersViewControllerObjc");

    auto sent = business().invoices()->values().front().dictionary();
    auto readOnly = std::make_shared<ReadOnlyInvoiceViewController>(freelancer(), sent);
    navigation->pushViewController(readOnly, true);
    EXPECT_EQ(top(), "ReadOnlyInvoiceViewController");
    auto view = readOnly->readOnlyInvoiceView();
    EXPECT_EQ(view->navigationBar()->text(), "Outstanding invoice");
    EXPECT_EQ(view->referenceLabel()->text(), "INV-007");
    EXPECT_EQ(view->amountTextField()->amount(), 3600);
    EXPECT_EQ(view->vatView()->marginAmount(), 600);
    EXPECT_EQ(view->companyNameTextField()->text(), "Bramblewick Bakery Limited");
    EXPECT_EQ(view->recipientEmail(), "accounts@bramblewick.example");
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
    // Sent from another phone: the back-end holds INV-007, this phone's list does not.
    business().invoices()->removeAt(0);

    open();
    writeAndSend("INV-", "007");
    ASSERT_TRUE(waitUntil([&] { return showing("Oops"); })) << driver.screen();
    driver.wait(1.0);

    EXPECT_EQ(top(), "CreateInvoiceViewController");
    EXPECT_EQ(form->amountTextField()->amount(), 3600);
    EXPECT_EQ(form->descriptionTextField()->text(), "Website design");
    EXPECT_EQ(form->companyNameTextField()->text(), "Bramblewick Bakery Limited");
    EXPECT_EQ(form->recipientEmail(), "accounts@bramblewick.example");
    EXPECT_EQ(form->lineItems()->size(), 1u);
    EXPECT_EQ(form->referenceLabel()->text(), "INV-007");
    EXPECT_TRUE(form->sendButton()->isEnabled());
    EXPECT_TRUE(business().invoices()->empty());
}

TEST_F(CreateInvoiceRoadTest, APickedRecipientTakesTheNewestEarlierEmailButATypedOneStays)
{
    for (const char* email : { "old@bramblewick.example", "new@bramblewick.example" }) {
        auto earlier = api::Invoice::invoiceWithDescription("Earlier", std::string(email), 500, 500, 30,
            api::Contact::withEmail(kEmail, business()),
            api::Contact::withEmail(
                std::string(email), api::Business(recipient("Bramblewick Bakery Limited"))));
        ::testing::OutcomeLog log;
        business().sendInvoice(earlier, log.typed<api::Invoice>(), log.note("exists"), log.failure());
        ASSERT_TRUE(::testing::settle(log));
    }
    struct Case {
        const char* name;
        const char* typed;
        const char* term;
        const char* company;
        const char* email;
    };
    const Case cases[] {
        { "the newest earlier invoice to that name", "", "bramble", "Bramblewick Bakery Limited",
            "new@bramblewick.example" },
        { "a typed address stays", "me@typed.example", "bramble", "Bramblewick Bakery Limited",
            "me@typed.example" },
        { "no earlier invoice to that name", "", "amberly", "Amberly Joinery Ltd", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        if (*c.typed) {
            tap("Email address");
            driver.type(c.typed);
        }
        pickRecipient(c.term, c.company);
        EXPECT_EQ(form->companyNameTextField()->text(), c.company);
        EXPECT_EQ(form->recipientEmail(), c.email);
    }
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
