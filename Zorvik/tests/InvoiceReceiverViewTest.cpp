#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverView.h"
#include "Zorvik/ViewControllers/InvoiceRecipientViewControllerObjc.h"
#include "Zorvik/Views/InvoiceReceiverView/InvoiceReceiverControllerProtocol.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditObjc.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "Zorvik/tests/FrameFixture.h"
#include "ZorvikAPI/models/Business.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Button.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::DictionaryRef;

DictionaryRef acme(const std::string& line1 = "1 High Street")
{
    return api::Business::withName(
        "Acme Ltd", "01234567", line1, "", "Leeds", "West Yorkshire", "LS1 1AA", "United Kingdom")
        .record();
}

/// Writes down what the form tells its controller.
class ControllerLog : public InvoiceReceiverControllerProtocol {
public:
    void searchCompanies() override { calls.push_back("searchCompanies"); }
    void businessConfirmed(const DictionaryRef& business) override
    {
        calls.push_back("businessConfirmed");
        confirmed = business;
    }
    void cancelled() override { calls.push_back("cancelled"); }

    std::vector<std::string> calls;
    DictionaryRef confirmed;
};

class InvoiceReceiverViewTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        registerNibs();
        form = InvoiceReceiverView::make();
        window->addSubview(form);
        form->setController(log);
        form->setBusiness(acme());
        layout();
    }

    std::string field(std::size_t index) const
    {
        return index == 0 ? form->companyNameTextField()->text() : form->textFields()[index - 1]->text();
    }
    std::string line1() const { return field(1); }

    std::shared_ptr<ControllerLog> log = std::make_shared<ControllerLog>();
    std::shared_ptr<InvoiceReceiverView> form;
};

TEST_F(InvoiceReceiverViewTest, FillsTheSevenFieldsFromTheRecord)
{
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < 7; ++i)
        shown.push_back(field(i));
    EXPECT_THAT(shown,
        testing::ElementsAre(
            "Acme Ltd", "1 High Street", "", "Leeds", "West Yorkshire", "LS1 1AA", "01234567"));
    EXPECT_EQ(form->navigationBar()->text(), "Recipient name");
    EXPECT_FALSE(form->editMode()->isEditing());
}

TEST_F(InvoiceReceiverViewTest, ARecordOfTheSameNameWithAnotherAddressReplacesTheOneShown)
{
    auto moved = acme("2 Low Road");
    form->setBusiness(moved);

    EXPECT_EQ(line1(), "2 Low Road");
    EXPECT_EQ(form->business(), moved);
    EXPECT_EQ(form->editMode()->uneditedDocument().dictionary()->get("address_line_1"), "2 Low Road");
}

TEST_F(InvoiceReceiverViewTest, AnEqualRecordKeepsTheUsersEdits)
{
    tap("1 High Street");
    driver.type(", Unit 4");
    EXPECT_TRUE(form->editMode()->isEditing());

    form->setBusiness(acme());

    EXPECT_EQ(line1(), "1 High Street, Unit 4");
}

TEST_F(InvoiceReceiverViewTest, ASaveBecomesThePointACancelReturnsTo)
{
    tap("1 High Street");
    driver.type(", Unit 4");
    tap("save");
    EXPECT_FALSE(form->editMode()->isEditing());
    EXPECT_EQ(form->business()->get("address_line_1"), "1 High Street, Unit 4");

    tap("Leeds");
    driver.type(" North");
    tap("1 High Street, Unit 4");
    driver.type(" Rear");
    tap("cancel");

    EXPECT_EQ(line1(), "1 High Street, Unit 4");
    EXPECT_EQ(field(3), "Leeds");
    EXPECT_FALSE(form->editMode()->isEditing());
    EXPECT_THAT(log->calls, testing::IsEmpty()) << "saving and cancelling do not leave the form";
}

TEST_F(InvoiceReceiverViewTest, CancelWithoutASaveRestoresTheRecordGiven)
{
    tap("West Yorkshire");
    driver.type("!");
    tap("cancel");

    EXPECT_EQ(field(4), "West Yorkshire");
    EXPECT_EQ(form->textFields()[3]->isEditing(), false);
}

TEST_F(InvoiceReceiverViewTest, ReturnWalksTheAddressFieldsInSightAndStopsAtTheRegistrationNumber)
{
    tap("1 High Street");
    std::vector<std::string> editing;
    for (int presses = 0; presses < 6; ++presses) {
        for (const auto& f : form->textFields()) {
            if (!f->isEditing())
                continue;
            editing.push_back(f->placeholder().value_or(""));
            std::string shown = f->text().empty() ? f->placeholder().value_or("") : f->text();
            EXPECT_NO_THROW(tap(shown)) << shown << " is under the keyboard:\n" << driver.screen();
        }
        driver.pressReturn();
    }
    EXPECT_THAT(editing,
        testing::ElementsAre(
            "Address line 1", "Address line 2", "Town", "County", "Post code", "Company number"));
    for (const auto& f : form->textFields())
        EXPECT_FALSE(f->isEditing()) << "return in the registration number only closes the keyboard";
}

TEST_F(InvoiceReceiverViewTest, ATapOnTheCompanyNameSearchesAgainWithoutAKeyboard)
{
    tap("Acme Ltd");

    EXPECT_FALSE(form->companyNameTextField()->isEditing());
    EXPECT_THAT(driver.screen(), testing::HasSubstr("keyboard: down"));
    EXPECT_THAT(log->calls, testing::ElementsAre("searchCompanies"));
}

TEST_F(InvoiceReceiverViewTest, LeavingConfirmsAFreshRecordWithAnEmptyCountry)
{
    auto shown = form->business();
    tap("LS1 1AA");
    driver.type(" 2BB");
    tap("save");
    tap("done");

    ASSERT_THAT(log->calls, testing::ElementsAre("businessConfirmed"));
    EXPECT_NE(log->confirmed, shown) << "a fresh record, not the one given";
    EXPECT_EQ(log->confirmed->get("post_code"), "LS1 1AA 2BB");
    EXPECT_EQ(log->confirmed->get("country"), "");
    EXPECT_EQ(log->confirmed->get("name"), "Acme Ltd");
}

class InvoiceRecipientScreenTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        registerNibs();
    }
};

TEST_F(InvoiceRecipientScreenTest, ReadOnlyShowsTheRecipientAndTheBackButtonClosesIt)
{
    auto below = std::make_shared<platform::ui::ViewController>();
    auto screen = std::make_shared<InvoiceRecipientViewControllerObjc>(acme(), true);
    auto navigation = showStack({ below, screen });

    EXPECT_EQ(screen->receiverView()->navigationBar()->text(), "Invoice sent to");
    EXPECT_TRUE(screen->receiverView()->navigationBar()->positiveButtonHidden());
    EXPECT_THROW(driver.tap("done"), platform::ui::ScreenDriverError);
    EXPECT_THROW(driver.tap("1 High Street"), platform::ui::ScreenDriverError) << "no field takes touches";

    tap("BtnTealLessThan");
    advance(0.5);

    EXPECT_EQ(navigation->topViewController(), below);
}

TEST_F(InvoiceRecipientScreenTest, AnEditableScreenTurnsBackToRecipientName)
{
    auto screen = std::make_shared<InvoiceRecipientViewControllerObjc>(acme(), false);
    showStack({ std::make_shared<platform::ui::ViewController>(), screen });
    screen->receiverView()->setReadonly(true);
    screen->receiverView()->setReadonly(false);

    EXPECT_EQ(screen->receiverView()->navigationBar()->text(), "Recipient name");
    EXPECT_FALSE(screen->receiverView()->navigationBar()->positiveButtonHidden());
    tap("1 High Street");
    EXPECT_TRUE(screen->receiverView()->textFields()[0]->isEditing());
}

}
}
