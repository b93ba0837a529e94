#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"

#include "Zorvik/tests/EditorHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

/// The amount field of the host screen, typed into through the screen driver.
class CurrencyTextFieldTest : public EditorHostTest {
protected:
    /// The amount as the screen shows it.
    std::string amountText() const { return host->amountTextField->text(); }

    void tapAmount() { tap("amount"); }
};

TEST_F(CurrencyTextFieldTest, TypedDigitsGoToTheEndOfThePenceAndDeleteDropsTheLast)
{
    tapAmount();
    EXPECT_THAT(screen(), HasSubstr("\"£0.00\" [editing]"));
    for (auto [digit, shown] :
        { std::pair { "1", "£0.01" }, { "2", "£0.12" }, { "3", "£1.23" }, { "4", "£12.34" } }) {
        EXPECT_EQ(driver.type(digit), 1u) << "the field applies the key itself, and so takes it";
        EXPECT_EQ(amountText(), shown);
    }
    EXPECT_EQ(host->amountTextField->amount(), 1234);
    EXPECT_EQ(host->amountChanges, 4);

    EXPECT_EQ(driver.deleteBackward(), 1u);
    EXPECT_EQ(amountText(), "£1.23");
    EXPECT_EQ(host->amountTextField->amount(), 123);
}

TEST_F(CurrencyTextFieldTest, AScriptTypesAnAmountAsAPersonDoes)
{
    tapAmount();
    EXPECT_EQ(driver.execute("type 45000"), "") << "every digit was taken";
    EXPECT_EQ(amountText(), "£450.00");
    EXPECT_EQ(driver.execute("delete 2"), "");
    EXPECT_EQ(amountText(), "£4.50");
    EXPECT_EQ(driver.execute("type 1234567"), "the field took 6 of 7 characters\n")
        << "the seventh digit would pass nine digits of pence";
    EXPECT_EQ(amountText(), "£4501234.56");
}

TEST_F(CurrencyTextFieldTest, DeleteOnNothingStillTellsTheScreen)
{
    tapAmount();
    driver.type("5");
    driver.deleteBackward(2);
    EXPECT_EQ(amountText(), "£0.00");
    EXPECT_EQ(host->amountTextField->amount(), 0);
    EXPECT_EQ(host->amountChanges, 3);
}

TEST_F(CurrencyTextFieldTest, StopsAtNineDigitsOfPence)
{
    tapAmount();
    EXPECT_EQ(driver.type("123456789"), 9u);
    EXPECT_EQ(amountText(), "£1234567.89");
    int changes = host->amountChanges;

    EXPECT_EQ(driver.type("1"), 0u);
    EXPECT_EQ(amountText(), "£1234567.89");
    EXPECT_EQ(host->amountChanges, changes) << "a refused digit sends nothing";

    driver.deleteBackward();
    EXPECT_EQ(amountText(), "£123456.78");
    EXPECT_EQ(host->amountChanges, changes + 1);
}

TEST_F(CurrencyTextFieldTest, AnAmountSetInCodeIsGroupedUntilTheNextKey)
{
    host->amountTextField->setAmount(123456);
    EXPECT_THAT(screen(), HasSubstr("\"£1,234.56\""));
    tap("£1,234.56");
    driver.type("7");
    EXPECT_EQ(amountText(), "£12345.67");

    host->amountTextField->setAmount(123456789);
    EXPECT_EQ(amountText(), "£1,234,567.89");
    driver.type("1");
    EXPECT_EQ(amountText(), "£1,234,567.89") << "a grouped text of 13 characters takes no digit";
    driver.deleteBackward();
    EXPECT_EQ(amountText(), "£123456.78");
}

TEST_F(CurrencyTextFieldTest, RefusesPastesThatAreNotPenceOrTooLarge)
{
    tapAmount();
    driver.type("42");
    int changes = host->amountChanges;
    for (const char* paste : { "12a", "£5", "1.50", " 7", "99999999" }) {
        SCOPED_TRACE(paste);
        EXPECT_FALSE(driver.paste(paste));
        EXPECT_EQ(amountText(), "£0.42");
        EXPECT_EQ(host->amountTextField->amount(), 42);
    }
    EXPECT_EQ(host->amountChanges, changes);

    EXPECT_TRUE(driver.paste("0015"));
    EXPECT_EQ(amountText(), "£4200.15");
}

}
}
