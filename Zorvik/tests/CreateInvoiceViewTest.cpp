#include "Zorvik/Controls/EmailTextField.h"
#include "Zorvik/ViewControllers/InvoicePreviewViewController/InvoicePreviewViewController.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/DoneKeyboardAccessoryView/DismissKeyboardAccesoryView.h"
#include "Zorvik/Views/InlineVATView/InlineVATView.h"
#include "Zorvik/Views/MenuView/MenuItem.h"
#include "Zorvik/Views/MenuView/MenuView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/tests/CreateInvoiceFixture.h"
#include "ZorvikAPI/models/Invoice.h"
#include "ZorvikAPI/models/LineItem.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ContactsStore.h"
#include "platform/ui/Label.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::foundation::Array;
using platform::foundation::DictionaryRef;
using platform::foundation::parseJson;

DictionaryRef json(const std::string& text)
{
    auto parsed = parseJson(text);
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    return parsed.value.dictionary();
}

DictionaryRef item(const std::string& description, std::int64_t price, std::int64_t quantity, double tax)
{
    auto record = json("{}");
    api::LineItem line(record);
    line.setDescriptionOfWork(description);
    line.setQuantity(quantity);
    line.setUnitPrice(price);
    line.setTax(tax);
    return record;
}

using CreateInvoiceFormTest = CreateInvoiceTest;

TEST_F(CreateInvoiceFormTest, ANewFormIsEmptyWithTheNextReferenceAndTodaysDate)
{
    open();

    EXPECT_TRUE(form->isEmpty());
    EXPECT_FALSE(form->sendButton()->isEnabled());
    EXPECT_EQ(form->referenceLabel()->text(), "001");
    EXPECT_EQ(form->dateLabel()->text(),
        platform::foundation::DateFormatter("dd MMM yyyy").format(platform::foundation::now()));
    EXPECT_EQ(form->navigationBar()->text(), "New Invoice");
}

TEST_F(CreateInvoiceFormTest, SendFollowsTheFourFieldsAndAnAmountOfZeroCountsAsMissing)
{
    open();
    tap("£0.00");
    driver.type("1234");
    EXPECT_FALSE(form->sendButton()->isEnabled());
    EXPECT_EQ(form->amountAccessory()->text(), "Next");

    tap("Next");
    driver.type("Website design");
    screen->companyConfirmed(recipient());
    EXPECT_TRUE(form->recipientEmailTextField()->isEditing())
        << "the recipient moves the focus to the e-mail";
    driver.type("accounts@bloggs");
    EXPECT_FALSE(form->sendButton()->isEnabled()) << "not yet an e-mail address";
    driver.type(".example");
    EXPECT_TRUE(form->sendButton()->isEnabled());
    EXPECT_EQ(form->amountAccessory()->text(), "Done");

    form->amountTextField()->setAmount(0);
    form->checkDocumentValid();
    EXPECT_FALSE(form->sendButton()->isEnabled()) << "£0.00 is no amount";
}

TEST_F(CreateInvoiceFormTest, TheFieldsStateIconsAndTheMenusIconsAreDrawn)
{
    auto shows = [&](const char* icon) {
        EXPECT_THAT(driver.screen(), testing::HasSubstr("image \"" + std::string(icon) + "\""));
    };
    useAppResources();
    open();
    for (const char* icon : { "IconDescriptionEmpty", "IconCompanyNameEmpty", "IconEmailEmpty" })
        shows(icon);

    tap("More");
    for (const char* icon : { "IconCompanyDetail", "IconVATInfo", "IconPaymentInfo", "IconRightChevron" })
        shows(icon);
    form->menuView()->closePressed();
    driver.wait(0.5);

    tap("£0.00");
    driver.type("1234");
    tap("Next");
    driver.type("Website design");
    screen->companyConfirmed(recipient());
    driver.type("accounts@bloggs.example");
    for (const char* icon : { "IconDescriptionComplete", "IconCompanyNameComplete", "IconEmailComplete" })
        shows(icon);
}

TEST_F(CreateInvoiceFormTest, NextOnTheAmountSkipsFieldsThatHoldText)
{
    open();
    tap("Description of work");
    driver.type("Website design");
    tap("£0.00");
    driver.type("5");
    tap("Next");

    EXPECT_TRUE(form->companyNameTextField()->text().empty());
    EXPECT_FALSE(form->descriptionTextField()->isEditing());
    EXPECT_FALSE(form->companyNameTextField()->isEditing()) << "the company is chosen, not typed";
    EXPECT_THAT(driver.screen(), testing::HasSubstr("top: SelectInvoiceRecipientViewController"));
}

TEST_F(CreateInvoiceFormTest, TheVATRowsPushTheFieldsBelowDownInsteadOfCoveringThem)
{
    auto vatBottom = [&] { return form->vatView()->frame().maxY(); };
    open();
    tap("£0.00");
    driver.type("1000");
    driver.wait(0.5);
    EXPECT_EQ(form->vatView()->frame().height(), 50) << "one whole row";
    EXPECT_LE(vatBottom(), form->descriptionTextField()->frame().y());

    tap("add VAT");
    driver.wait(0.5);
    EXPECT_EQ(form->vatView()->frame().height(), 100) << "the VAT and total row uncovered";
    EXPECT_LE(vatBottom(), form->descriptionTextField()->frame().y()) << driver.screen();
    tap("Next");
    driver.type("Boiler repair");
    EXPECT_EQ(form->descriptionTextField()->text(), "Boiler repair");
    EXPECT_NO_THROW(tap("Boiler repair")) << "in sight, above the keyboard";

    tap("£10.00");
    tap("VAT");
    driver.wait(0.5);
    EXPECT_EQ(form->vatView()->frame().height(), 50) << "VAT off: the prompt row alone";
    EXPECT_LE(vatBottom(), form->descriptionTextField()->frame().y());
}

TEST_F(CreateInvoiceFormTest, TheCompanyFieldNeverOpensAKeyboard)
{
    open();
    tap("Company name");

    EXPECT_FALSE(form->companyNameTextField()->isEditing());
    EXPECT_THAT(driver.screen(), testing::HasSubstr("typing into TextField (20, 72, 250, 40) placeholder "
                                                    "\"Invoice recipient name\""))
        << "the keyboard is the recipient picker's";
}

TEST_F(CreateInvoiceFormTest, ADuplicateTakesTheNextCounterTurnsVATOnAndCopiesItsItems)
{
    auto old = json(R"({"description": "Logo", "reference": "ACME007",
        "reference_components": {"prefix": "ACME", "counter": "007"},
        "net_amount": 1000, "gross_amount": 1200,
        "to": {"contact": "accounts@bloggs.example", "business": {"name": "Bloggs & Sons"}}})");
    business().invoices()->insert(0, old);

    open(old);

    EXPECT_EQ(form->referenceLabel()->text(), "ACME008");
    EXPECT_TRUE(form->vatView()->addVat());
    EXPECT_EQ(form->amountTextField()->amount(), 1000);
    EXPECT_EQ(form->recipientEmail(), "accounts@bloggs.example");
    EXPECT_TRUE(form->sendButton()->isEnabled());

    auto withItems = old->deepCopy();
    withItems->set("line-items", Array::make({ item("Logo", 1234, 2, 20) }));
    open(withItems);
    auto copied = form->lineItems()->values().front().dictionary();
    auto original = withItems->get("line-items").array()->values().front().dictionary();
    EXPECT_NE(copied, original) << "the copy's items are records of their own";
    api::LineItem(copied).setQuantity(5);
    EXPECT_EQ(api::LineItem(original).quantity(), 2);
}

TEST_F(CreateInvoiceFormTest, TheLineItemsSummaryDropsEmptyItemsAndRemovalResetsTheAmount)
{
    open();
    form->setLineItems(Array::make({ item("", 0, 1, 0) }));
    EXPECT_EQ(form->lineItems()->size(), 0u);
    EXPECT_TRUE(form->amountTextField()->isUserInteractionEnabled());
    EXPECT_EQ(form->addLineItemsButton()->currentTitle(), "+ add items");

    form->setLineItems(Array::make({ item("Logo", 1234, 2, 20), item("Hosting", 500, 1, 0) }));
    EXPECT_EQ(form->addLineItemsButton()->currentTitle(), "2 items");
    EXPECT_FALSE(form->amountTextField()->isUserInteractionEnabled());
    EXPECT_EQ(form->amountTextField()->amount(), 2961 + 500);
    EXPECT_EQ(form->vatView()->formatString(), "(including %@ VAT)");

    form->resignFirstResponder();
    form->setLineItems(Array::make());
    EXPECT_EQ(form->amountTextField()->amount(), 0);
    EXPECT_FALSE(form->amountTextField()->isEditing()) << "the keyboard stays closed";
    EXPECT_TRUE(form->amountTextField()->isUserInteractionEnabled());
}

TEST_F(CreateInvoiceFormTest, TheBankRowPromptsForTheMissingDetailAndFollowsTheBusinessName)
{
    addBankAccount("", "12-34-56");
    open();
    tap("More");

    ASSERT_TRUE(form->menuView());
    const auto& rows = form->menuView()->menuItems();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0]->itemBottomExtraDetail()->text(), "Copperfinch Ltd");
    EXPECT_TRUE(rows[1]->isEmptyTextFieldForBottomExtraDetail()) << "not registered for VAT";
    EXPECT_EQ(rows[2]->itemTopExtraDetail()->text(), "add account no.");
    EXPECT_DOUBLE_EQ(rows[2]->itemTopExtraDetail()->alpha(), 0.4);
    EXPECT_EQ(rows[2]->itemBottomExtraDetail()->text(), "12-34-56");

    business().record()->set("name", "Copperfinch Studio Ltd");
    EXPECT_EQ(rows[0]->itemBottomExtraDetail()->text(), "Copperfinch Studio Ltd");
}

TEST_F(CreateInvoiceFormTest, ThePreviewRowPushesTheFormsRecordWithTheTimeOfThePreview)
{
    open();
    form->setLineItems(Array::make({ item("Logo", 1234, 2, 20) }));
    tap("More");
    tap("Preview");
    driver.wait(0.5);

    auto preview = std::dynamic_pointer_cast<InvoicePreviewViewController>(navigation->topViewController());
    ASSERT_TRUE(preview);
    api::Invoice shown(preview->invoice());
    EXPECT_EQ(preview->invoice()->get("net_amount"), 0);
    EXPECT_EQ(preview->invoice()->get("gross_amount"), 0);
    EXPECT_EQ(shown.lineItems()->size(), 1u);
    EXPECT_TRUE(shown.sent().has_value());
    EXPECT_TRUE(business().record()->contains("invoices"));
    ASSERT_TRUE(shown.from() && shown.from()->business());
    EXPECT_FALSE(shown.from()->business()->record()->contains("invoices"))
        << "the page carries no invoice list";
    EXPECT_EQ(posts(), 0u) << "a preview sends nothing";
}

TEST_F(CreateInvoiceFormTest, TheContactsButtonAsksAccordingToThePermission)
{
    struct Case {
        platform::ui::ContactsAuthorizationStatus status;
        const char* dialog;
        const char* press;
        std::size_t urlsOpened;
    };
    const Case cases[] {
        { platform::ui::ContactsAuthorizationStatus::NotDetermined, "Use your phone contacts?", "Not Now",
            0 },
        { platform::ui::ContactsAuthorizationStatus::Denied, "Allow access to contacts", "Go to Settings",
            1 },
    };
    useAppResources();
    for (const auto& c : cases) {
        platform::ui::ContactsStore::resetDevice();
        platform::ui::ContactsStore::setAuthorizationStatus(c.status);
        platform::ui::Application::shared().reset();
        open();
        tap("Email address");
        tap("Contacts");
        EXPECT_THAT(driver.screen(), testing::HasSubstr(c.dialog));
        EXPECT_THAT(driver.screen(), testing::HasSubstr("image \"IconContacts\"")) << c.dialog;
        tap(c.press);
        EXPECT_THAT(driver.screen(), testing::Not(testing::HasSubstr(c.dialog)));
        EXPECT_EQ(platform::ui::Application::shared().openedURLs().size(), c.urlsOpened) << c.dialog;
    }
    EXPECT_EQ(platform::ui::Application::shared().openedURLs().front(), "app-settings:");
    platform::ui::ContactsStore::resetDevice();
}

}
}
