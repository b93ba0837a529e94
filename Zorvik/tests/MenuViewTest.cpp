#include "Zorvik/Views/MenuView/MenuView.h"

#include "Zorvik/Views/MenuView/MenuItem.h"
#include "Zorvik/tests/EditorHost.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

/// A menu of four rows shown over the host screen, recording which rows were tapped.
class MenuViewTest : public EditorHostTest {
protected:
    void SetUp() override
    {
        EditorHostTest::SetUp();
        std::vector<std::shared_ptr<MenuItem>> items;
        for (const char* title : { "Business", "VAT", "Bank account", "Preview" }) {
            items.push_back(MenuItem::make(nullptr, title, std::string("bottom"), std::nullopt,
                std::string(title) == "Preview", [this, title] { tapped.push_back(title); }));
        }
        menu = MenuView::make(items);
        menu->showInView(host->view());
        layout();
    }

    std::shared_ptr<MenuView> menu;
    std::vector<std::string> tapped;
};

TEST_F(MenuViewTest, StacksTheRowsFromTheTopOfThePanel)
{
    const auto& rows = menu->menuItems();
    ASSERT_EQ(rows.size(), 4u);
    for (std::size_t index = 0; index < rows.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(rows[index]->superview(), menu->menuView());
        EXPECT_EQ(rows[index]->frame(), (platform::ui::Rect { 0, 63.0 * double(index), 320, 63 }));
    }
    EXPECT_EQ(menu->menuView()->frame().height(), 5 * 63);
    EXPECT_EQ(menu->menuView()->frame().maxY(), host->view()->frame().height())
        << "the panel ends at the bottom";
    EXPECT_TRUE(rows[3]->arrowImageView()->isHidden());
    EXPECT_FALSE(rows[0]->arrowImageView()->isHidden());
    EXPECT_TRUE(rows[0]->isEmptyTextFieldForTopExtraDetail());
    EXPECT_FALSE(rows[0]->isEmptyTextFieldForBottomExtraDetail());
}

TEST_F(MenuViewTest, TheShadeDimsOverThreeTenthsOfASecond)
{
    auto& shade = *menu->shadowView();
    advance(0.15);
    EXPECT_GT(platform::ui::Animation::presentationAlpha(shade), 0.0);
    EXPECT_LT(platform::ui::Animation::presentationAlpha(shade), 0.5);
    advance(0.15);
    EXPECT_DOUBLE_EQ(platform::ui::Animation::presentationAlpha(shade), 0.5);
    EXPECT_EQ(shade.frame().height(), host->view()->frame().height() - 5 * 63);
}

TEST_F(MenuViewTest, ARowRunsItsActionAndLeavesTheMenuOpen)
{
    advance(0.3);
    driver.tap("Bank account");
    EXPECT_THAT(tapped, ElementsAre("Bank account"));
    EXPECT_EQ(menu->superview(), host->view());
}

TEST_F(MenuViewTest, CloseFadesTheShadeAndThenRemovesTheMenu)
{
    advance(0.3);
    driver.tap("close");
    advance(0.15);
    EXPECT_EQ(menu->superview(), host->view()) << "still leaving";
    EXPECT_LT(platform::ui::Animation::presentationAlpha(*menu->shadowView()), 0.5);
    advance(0.2);
    EXPECT_FALSE(menu->superview());
    EXPECT_THAT(screen(), Not(HasSubstr("Bank account")));
    EXPECT_TRUE(tapped.empty());
}

TEST_F(MenuViewTest, DetailsChangeTextColourAndAlpha)
{
    auto& row = *menu->menuItems()[1];
    row.updateItemTopExtraDetailWithText(std::string("20%"), platform::ui::Color::black(), 0.5);
    EXPECT_EQ(row.itemTopExtraDetail()->text(), "20%");
    EXPECT_EQ(row.itemTopExtraDetail()->textColor(), platform::ui::Color::black());
    EXPECT_DOUBLE_EQ(row.itemTopExtraDetail()->alpha(), 0.5);
    row.updateItemBottomExtraDetailWithText(std::nullopt);
    EXPECT_TRUE(row.isEmptyTextFieldForBottomExtraDetail());
}

}
}
