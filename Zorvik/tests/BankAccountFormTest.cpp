#include "Zorvik/Controllers/ProfileFormController/BankAccountController.h"
#include "Zorvik/ViewControllers/ProfileForms/BankAccountViewController.h"
#include "Zorvik/Views/BankAccountNumberTextField/BankAccountNumberTextField.h"
#include "Zorvik/Views/BankAccountView/BankAccountView.h"
#include "Zorvik/Views/SortCodeTextField/SortCodeTextField.h"
#include "Zorvik/tests/ProfileFormFixture.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Keyboard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Dictionary;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class BankAccountFormTest : public ProfileFormTest {
protected:
    void SetUp() override
    {
        ProfileFormTest::SetUp();
        if (!HasFatalFailure())
            openForm();
    }

    void openForm()
    {
        screen = open<BankAccountViewController>();
        view = std::dynamic_pointer_cast<BankAccountView>(form);
        ASSERT_TRUE(view);
    }

    /// The two fields as "account number / sort code".
    std::string fields() const
    {
        return view->accountNumberTextField()->text() + " / " + view->sortCodeTextField()->text();
    }

    /// Types `accountNumber` and `sortCode` into the empty form, each after a tap on its field.
    void fill(const std::string& accountNumber, const std::string& sortCode)
    {
        tap("8 digits");
        driver.type(accountNumber);
        tap("00-00-00");
        driver.type(sortCode);
    }

    /// The back-end's bank account of the signed-in business.
    platform::foundation::DictionaryRef storedAccount()
    {
        return backend().businesses()->at(0).dictionary()->get("bank-account").dictionary();
    }

    std::shared_ptr<BankAccountViewController> screen;
    std::shared_ptr<BankAccountView> view;
};

TEST_F(BankAccountFormTest, TypedSortCodeDigitsShowAsPairsUpToSix)
{
    tap("00-00-00");
    const std::vector<std::string> shown { "1", "12-", "12-3", "12-34-", "12-34-5", "12-34-56" };
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(driver.type(std::to_string(i + 1)), 1u);
        EXPECT_EQ(view->sortCodeTextField()->text(), shown[i]);
    }
    EXPECT_EQ(driver.type("7"), 0u) << "a seventh digit is refused";
    EXPECT_EQ(driver.type("x"), 0u) << "so is a letter";
    EXPECT_EQ(view->sortCodeTextField()->text(), "12-34-56");
    EXPECT_EQ(view->sortCodeTextField()->plainText(), "123456");

    EXPECT_EQ(driver.deleteBackward(), 1u);
    EXPECT_EQ(view->sortCodeTextField()->text(), "12-34-5");
    EXPECT_EQ(driver.deleteBackward(2), 2u);
    EXPECT_EQ(view->sortCodeTextField()->text(), "12-3");
    EXPECT_EQ(driver.deleteBackward(5), 3u) << "deleting in an empty field does nothing";
    EXPECT_EQ(view->sortCodeTextField()->text(), "");
    EXPECT_EQ(driver.type("a"), 0u);
    EXPECT_EQ(view->sortCodeTextField()->text(), "");
}

TEST_F(BankAccountFormTest, AStoredSortCodeShowsAsStoredAndKeepsSixDigits)
{
    struct Case {
        const char* stored;
        const char* afterADigit;
        const char* afterADelete;
    };
    for (const Case& c : { Case { "12-34-56", "12-34-56", "12-34-5" }, Case { "123456", "123456", "12-34-5" },
             Case { "12-34", "12-34-9", "12-34-" } }) {
        SCOPED_TRACE(c.stored);
        bankAccount().record()->set("sort_code", c.stored);
        openForm();
        EXPECT_EQ(view->sortCodeTextField()->text(), c.stored);
        tap(c.stored);
        driver.type("9");
        EXPECT_EQ(view->sortCodeTextField()->text(), c.afterADigit);
        driver.deleteBackward();
        EXPECT_EQ(view->sortCodeTextField()->text(), c.afterADelete);
    }
}

TEST_F(BankAccountFormTest, APasteTakesOnlyTheDigitsThatFit)
{
    struct Case {
        const char* field;
        const char* before;
        const char* pasted;
        const char* shown;
        bool taken;
    };
    for (const Case& c : {
             Case { "00-00-00", "", "12 34 56", "12-34-56", true },
             Case { "00-00-00", "1", "2-3", "12-3", true },
             Case { "00-00-00", "1234", "56789", "12-34-56", true },
             Case { "00-00-00", "", "sort code", "", false },
             Case { "8 digits", "", "1234567890", "12345678", true },
             Case { "8 digits", "123", "45 67", "1234567", true },
             Case { "8 digits", "12345678", "9", "12345678", false },
             Case { "8 digits", "", "abc", "", false },
         }) {
        SCOPED_TRACE(std::string(c.field) + " " + c.before + " + " + c.pasted);
        openForm();
        tap(c.field);
        driver.type(c.before);
        EXPECT_EQ(driver.paste(c.pasted), c.taken);
        auto& field = std::string(c.field) == "8 digits"
            ? static_cast<platform::ui::TextField&>(*view->accountNumberTextField())
            : static_cast<platform::ui::TextField&>(*view->sortCodeTextField());
        EXPECT_EQ(field.text(), c.shown);
    }
}

TEST_F(BankAccountFormTest, TheAccountNumberTakesEightDigitsAndAlwaysADelete)
{
    tap("8 digits");
    EXPECT_EQ(driver.type("12345678"), 8u);
    EXPECT_EQ(driver.type("9"), 0u);
    EXPECT_EQ(view->accountNumberTextField()->text(), "12345678");
    EXPECT_EQ(driver.deleteBackward(), 1u);
    EXPECT_EQ(driver.type("a-"), 0u) << "anything but digits is refused";
    EXPECT_EQ(driver.type("0"), 1u);
    EXPECT_EQ(view->accountNumberTextField()->text(), "12345670");
}

TEST_F(BankAccountFormTest, EditingEitherFieldStartsEditingAndReturnWalksTheFields)
{
    EXPECT_EQ(bar(), "BtnTealLessThan|done");
    tap("8 digits");
    EXPECT_TRUE(form->isEditing());
    EXPECT_EQ(bar(), "cancel|save");
    EXPECT_EQ(view->accountNumberTextField()->returnKeyType(), platform::ui::ReturnKeyType::Next);
    driver.pressReturn();
    EXPECT_TRUE(view->sortCodeTextField()->isFirstResponder()) << "Next moves on to the sort code";
    EXPECT_EQ(view->sortCodeTextField()->returnKeyType(), platform::ui::ReturnKeyType::Done);
    driver.pressReturn();
    EXPECT_FALSE(platform::ui::Keyboard::shared().isVisible());
}

TEST_F(BankAccountFormTest, ASaveSendsTheFieldsAsShownAndMergesTheAnswer)
{
    auto record = bankAccount().record();
    auto identifier = record->get("id");
    fill("12345678", "123456");
    ASSERT_TRUE(save());

    EXPECT_THAT(puts(), ElementsAre(R"({"account_number":"12345678","sort_code":"12-34-56"})"));
    EXPECT_EQ(record->get("sort_code"), "12-34-56") << "the live record has the answer";
    EXPECT_EQ(record->get("id"), identifier);
    EXPECT_EQ(json(storedAccount()), json(record));
    EXPECT_FALSE(form->isEditing());
    EXPECT_EQ(bar(), "BtnTealLessThan|done");
    EXPECT_EQ(dialog(), "");

    tap("12345678");
    driver.deleteBackward(3);
    tap("cancel");
    EXPECT_EQ(fields(), "12345678 / 12-34-56") << "cancel returns to what was saved";
}

TEST_F(BankAccountFormTest, BadInputIsExplainedAndNothingIsSent)
{
    struct Case {
        const char* accountNumber;
        const char* sortCode;
        const char* message;
    };
    const char* kSortCode = "A sort code has 6 digits, like 12-34-56.";
    const char* kAccount = "An account number has 8 digits. Put zeros in front of a shorter one.";
    for (const Case& c : { Case { "12345678", "12345", kSortCode }, Case { "12345678", "", kSortCode },
             Case { "1234567", "123456", kAccount }, Case { "", "123456", kAccount } }) {
        SCOPED_TRACE(std::string(c.accountNumber) + " / " + c.sortCode);
        openForm();
        backend().clearRequests();
        fill(c.accountNumber, c.sortCode);
        ASSERT_TRUE(save());
        EXPECT_EQ(dialog(), std::string("Check your details / ") + c.message + " / OK");
        EXPECT_THAT(puts(), IsEmpty());
        EXPECT_TRUE(form->isEditing());
        EXPECT_EQ(bar(), "cancel|save");
        tap("OK");
        EXPECT_EQ(dialog(), "");
    }
}

TEST_F(BankAccountFormTest, EmptyDetailsMayBeSaved)
{
    bankAccount().record()->set("sort_code", "12-34-56");
    openForm();
    tap("12-34-56");
    driver.deleteBackward(8);
    ASSERT_TRUE(save());
    EXPECT_EQ(dialog(), "");
    EXPECT_THAT(puts(), ElementsAre(R"({"account_number":"","sort_code":""})"));
}

TEST_F(BankAccountFormTest, AnAnswerAfterTheScreenHasGoneIsIgnored)
{
    ::testing::Gate answer;
    backend().holdRoute("PUT", "/api/freelancers/:f/business/:b/bank-account", answer);
    fill("12345678", "123456");
    tap("save");
    ASSERT_TRUE(saving());
    std::weak_ptr<BankAccountController> controller = screen->controller();
    std::weak_ptr<FormViewObjc> shownForm = form;
    navigation->setViewControllers({ home }, false);
    screen.reset();
    view.reset();
    form.reset();
    ASSERT_TRUE(controller.expired()) << "the screen let its controller go";
    ASSERT_TRUE(shownForm.expired());

    answer.open();
    ASSERT_TRUE(waitUntil([&] { return bankAccount().sortCode() == "12-34-56"; }));
    EXPECT_EQ(bankAccount().accountNumber(), "12345678") << "the saved record still takes the answer";
}

}
}
