#include "Zorvik/ViewControllers/LineItemsViewController.h"

#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "Zorvik/Views/LineItemsView/LineItemTableViewCell.h"
#include "Zorvik/Views/LineItemsView/LineItemsView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/tests/EditorHost.h"
#include "ZorvikAPI/models/LineItem.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Switch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using ::testing::HasSubstr;
using ::testing::Not;

/// An item of this description, unit price and quantity with VAT on.
ArrayRef items(std::initializer_list<std::tuple<const char*, std::int64_t, std::int64_t>> rows)
{
    auto list = Array::make();
    for (const auto& [description, price, quantity] : rows) {
        auto item = api::LineItem::lineItem();
        item.setDescriptionOfWork(description);
        item.setTax(20);
        item.setUnitPrice(price);
        item.setQuantity(quantity);
        list->append(item.record());
    }
    return list;
}

/// The line-items editor opened from the host screen.
class LineItemsViewControllerTest : public EditorHostTest {
protected:
    void open(ArrayRef list, bool readOnly = false)
    {
        editor = host->openLineItems(std::move(list), readOnly);
        layout();
    }

    LineItemsView& view() { return *editor->lineItemsView(); }
    std::string title() { return view().navigationBar()->text().value_or(""); }
    api::LineItem item(std::size_t index)
    {
        return api::LineItem(view().lineItems()->at(index).dictionary());
    }
    std::shared_ptr<LineItemTableViewCell> row(int index)
    {
        layout();
        return std::static_pointer_cast<LineItemTableViewCell>(
            view().lineItemsTable()->cellForRow({ 0, index }));
    }

    std::shared_ptr<LineItemsViewController> editor;
};

TEST_F(LineItemsViewControllerTest, NoItemsGiveOneNewRowWithVATAndQuantityOne)
{
    open(nullptr);
    EXPECT_EQ(title(), "1 item : £0.00");
    std::string shown = screen();
    EXPECT_THAT(shown, HasSubstr("placeholder \"1. add item description\""));
    EXPECT_THAT(shown, HasSubstr("\"x 1\""));
    EXPECT_THAT(shown, HasSubstr("\"total item 1\""));
    EXPECT_THAT(shown, Not(HasSubstr("subtotal")));
    EXPECT_TRUE(row(0)->itemVATView()->vatSwitch()->isOn());
    EXPECT_FALSE(view().isEditing());

    tap("done");
    advance(0.5);
    EXPECT_FALSE(host->presentedViewController());
    ASSERT_EQ(host->returnedLineItems.size(), 1u);
    ASSERT_EQ(host->returnedLineItems[0]->size(), 1u);
    api::LineItem returned(host->returnedLineItems[0]->at(0).dictionary());
    EXPECT_EQ(returned.quantity(), 1);
    EXPECT_EQ(returned.tax(), 20);
}

TEST_F(LineItemsViewControllerTest, ARowWritesEveryEditIntoItsItem)
{
    open(nullptr);
    tap("1. add item description");
    EXPECT_THAT(screen(), HasSubstr("\"1. \" [editing]"));
    driver.type("Logo");
    EXPECT_EQ(item(0).descriptionOfWork(), "Logo");
    EXPECT_TRUE(view().isEditing());

    tap("item 1 price");
    driver.type("1234");
    tap("item 1 more");
    EXPECT_EQ(item(0).unitPrice(), 1234);
    EXPECT_EQ(item(0).quantity(), 2);
    std::string shown = screen();
    EXPECT_THAT(shown, HasSubstr("\"x 2\""));
    EXPECT_THAT(shown, HasSubstr("\"£24.68\"")) << "subtotal";
    EXPECT_THAT(shown, HasSubstr("\"£4.93\"")) << "VAT";
    EXPECT_THAT(shown, HasSubstr("\"£29.61\"")) << "total";
    EXPECT_EQ(title(), "1 item : £29.61");

    tap("item 1 VAT");
    EXPECT_EQ(item(0).tax(), 0);
    EXPECT_EQ(row(0)->itemTotalText()->text(), "£24.68");
    EXPECT_EQ(row(0)->itemVATView()->currencyLabel()->text(), "£0.00");
}

TEST_F(LineItemsViewControllerTest, TheQuantityStaysBetweenNoneAndNinetyNine)
{
    open(items({ { "Design", 1000, 99 } }));
    tap("item 1 more");
    EXPECT_EQ(item(0).quantity(), 99);
    item(0).setQuantity(2);
    tap("item 1 fewer");
    EXPECT_EQ(item(0).quantity(), 1);
    EXPECT_THAT(screen(), Not(HasSubstr("subtotal"))) << "the subtotal row folds away below 2";
    tap("item 1 fewer");
    tap("item 1 fewer");
    EXPECT_EQ(item(0).quantity(), 0);
}

TEST_F(LineItemsViewControllerTest, AddingAndDeletingRowsAsksFirstAndNeverLeavesNone)
{
    open(items({ { "Design", 1234, 1 } }));
    EXPECT_EQ(title(), "1 item : £14.80");
    tap("+ add item");
    EXPECT_EQ(title(), "2 items : £14.80");
    EXPECT_TRUE(view().isEditing());
    EXPECT_THAT(screen(), HasSubstr("placeholder \"2. add item description\""));

    tap("item 2 delete");
    EXPECT_THAT(screen(), HasSubstr("\"Delete this line item?\""));
    driver.pickAlertAction("No");
    advance(0.5);
    EXPECT_EQ(view().lineItems()->size(), 2u);

    tap("item 1 delete");
    driver.pickAlertAction("Yes");
    advance(0.5);
    ASSERT_EQ(view().lineItems()->size(), 1u);
    EXPECT_EQ(item(0).descriptionOfWork(), "") << "the added row remains";

    tap("item 1 delete");
    driver.pickAlertAction("Yes");
    advance(0.5);
    ASSERT_EQ(view().lineItems()->size(), 1u) << "the only row gives way to a fresh one";
    EXPECT_EQ(item(0).quantity(), 1);
    EXPECT_EQ(title(), "1 item : £0.00");
}

TEST_F(LineItemsViewControllerTest, CancelRestoresTheItemsAsLastSavedPricesIncluded)
{
    open(items({ { "Design", 1000, 1 } }));
    tap("item 1 price");
    driver.type("5");
    EXPECT_EQ(item(0).unitPrice(), 10005);
    tap("save");
    EXPECT_FALSE(view().isEditing());

    tap("item 1 price");
    driver.type("7");
    tap("item 1 more");
    EXPECT_EQ(item(0).unitPrice(), 100057);
    tap("cancel");
    driver.pickAlertAction("No");
    advance(0.5);
    EXPECT_TRUE(view().isEditing()) << "No keeps the edits";

    tap("cancel");
    driver.pickAlertAction("Yes, cancel");
    advance(0.5);
    EXPECT_FALSE(view().isEditing());
    EXPECT_EQ(item(0).unitPrice(), 10005);
    EXPECT_EQ(item(0).quantity(), 1);
    EXPECT_EQ(title(), "1 item : £120.06");

    tap("done");
    advance(0.5);
    ASSERT_EQ(host->returnedLineItems.size(), 1u);
    EXPECT_EQ(api::LineItem(host->returnedLineItems[0]->at(0).dictionary()).unitPrice(), 10005);
}

TEST_F(LineItemsViewControllerTest, ReadOnlyShowsTheItemsAndTakesNoTouches)
{
    editor = std::make_shared<LineItemsViewController>();
    editor->setReadOnly(true);
    EXPECT_EQ(title(), "Line items");
    host->presentViewController(editor, false);
    editor->setLineItems(items({ { "Design", 1234, 2 } }));
    layout();
    EXPECT_EQ(title(), "1 item : £29.61");
    EXPECT_THAT(screen(), Not(HasSubstr("+ add item")));
    EXPECT_THROW(driver.tap("item 1 more"), platform::ui::ScreenDriverError);
    EXPECT_EQ(item(0).quantity(), 2);
}

}
}
