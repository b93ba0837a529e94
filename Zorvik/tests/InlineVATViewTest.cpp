#include "Zorvik/Views/InlineVATView/InlineVATView.h"

#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/tests/EditorHost.h"
#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

/// The VAT view of the host screen under its amount field.
class InlineVATViewTest : public EditorHostTest {
protected:
    InlineVATView& vat() { return *host->vatView; }

    /// Which look the view shows: "read-only", "prompt" or "amounts", and whether it is expanded.
    std::string look()
    {
        layout();
        std::string shown = !vat().vatMarginViewReadOnly()->isHidden() ? "read-only"
            : !vat().vatMarginView()->isHidden()                       ? "amounts"
                                                                       : "prompt";
        return shown + (vat().isCollapsed() ? ", collapsed" : ", expanded");
    }

    std::string readOnlyLine() { return vat().marginLReadOnlyLabel()->text().value_or(""); }
};

TEST_F(InlineVATViewTest, StartsReadOnlyWithoutVAT)
{
    EXPECT_EQ(look(), "read-only, collapsed");
    EXPECT_EQ(readOnlyLine(), "(without VAT)");
    EXPECT_DOUBLE_EQ(vat().marginLReadOnlyLabel()->alpha(), 0.4);
    EXPECT_EQ(vat().tax().taxRate(), 0);
    EXPECT_TRUE(vat().vatSwitch()->isHidden());
    EXPECT_THAT(screen(), HasSubstr("\"(without VAT)\""));
}

TEST_F(InlineVATViewTest, TypingAnAmountOffersTheSwitchAndTheSwitchShowsVATAndTotal)
{
    tap("amount");
    EXPECT_EQ(look(), "prompt, collapsed");
    driver.type("1000");
    tap("VAT");
    EXPECT_EQ(look(), "amounts, expanded");
    std::string shown = screen();
    EXPECT_THAT(shown, HasSubstr("\"£2.00\""));
    EXPECT_THAT(shown, HasSubstr("\"£12.00\""));
    EXPECT_EQ(vat().total(), 1200);

    tap("VAT");
    EXPECT_EQ(look(), "prompt, collapsed");
    EXPECT_EQ(vat().total(), 1000);
    tap("add VAT");
    EXPECT_TRUE(vat().addVat());
    EXPECT_EQ(look(), "amounts, expanded");

    host->amountTextField->resignFirstResponder();
    EXPECT_EQ(look(), "read-only, collapsed");
    EXPECT_EQ(readOnlyLine(), "+ VAT £2.00");
    EXPECT_DOUBLE_EQ(vat().marginLReadOnlyLabel()->alpha(), 1.0);
}

TEST_F(InlineVATViewTest, AFractionOfAPennyIsDroppedEverywhere)
{
    vat().setNetAmount(1234);
    vat().setAddVat(true);
    EXPECT_EQ(look(), "read-only, collapsed");
    EXPECT_EQ(vat().tax().taxRate(), 20);
    EXPECT_EQ(vat().marginTextField()->text(), "£2.46");
    EXPECT_EQ(vat().totalTextField()->text(), "£14.80");
    EXPECT_EQ(vat().total(), 1480);
    EXPECT_EQ(readOnlyLine(), "+ VAT £2.46");

    vat().setNetAmount(1000);
    EXPECT_EQ(vat().marginTextField()->text(), "£2.00");
    EXPECT_EQ(vat().totalTextField()->text(), "£12.00");
    EXPECT_EQ(readOnlyLine(), "+ VAT £2.00");
}

TEST_F(InlineVATViewTest, AMarginSetByTheOwnerShowsButLeavesTheTotalToTheRate)
{
    vat().setNetAmount(1000);
    vat().setAddVat(true);
    vat().setFormatString("(including %@ VAT)");
    vat().setMarginAmount(500);
    EXPECT_EQ(readOnlyLine(), "(including £5.00 VAT)");
    EXPECT_EQ(look(), "read-only, collapsed");
    EXPECT_EQ(vat().total(), 1200);

    vat().setAddVat(false);
    EXPECT_EQ(readOnlyLine(), "(without VAT)");
    EXPECT_EQ(vat().total(), 1000);
}

}
}
