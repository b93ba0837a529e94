#include "Zorvik/Views/DoneKeyboardAccessoryView/DismissKeyboardAccesoryView.h"

#include "Zorvik/tests/FrameFixture.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/TextField.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::Keyboard;
using platform::ui::Rect;
using platform::ui::TextField;

class DismissKeyboardAccesoryViewTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        field->setPlaceholder(std::string("amount"));
        window->addSubview(field);
    }

    std::shared_ptr<TextField> field { std::make_shared<TextField>(Rect { 20, 80, 280, 30 }) };
};

TEST_F(DismissKeyboardAccesoryViewTest, ASenderBarEndsEditingOfItsField)
{
    auto bar = DismissKeyboardAccesoryView::makeWithSender(field);
    field->setInputAccessoryView(bar);
    ASSERT_EQ(bar->items().size(), 2u);
    EXPECT_TRUE(bar->items()[0]->isSpace());
    EXPECT_EQ(bar->items()[1], bar->button());
    EXPECT_EQ(bar->button()->style(), platform::ui::BarButtonItemStyle::Plain);
    tap("amount");
    EXPECT_TRUE(Keyboard::shared().isVisible());
    tap("Done");
    EXPECT_FALSE(Keyboard::shared().isVisible());
    EXPECT_FALSE(field->isFirstResponder());
}

TEST_F(DismissKeyboardAccesoryViewTest, ATargetBarOnlySendsItsAction)
{
    int pressed = 0;
    auto owner = std::make_shared<int>(0);
    auto bar = DismissKeyboardAccesoryView::makeWithTarget(owner, [&] { ++pressed; });
    bar->setText(std::string("Next"));
    EXPECT_EQ(bar->text(), "Next");
    EXPECT_EQ(bar->button()->title(), "Next");
    field->setInputAccessoryView(bar);
    tap("amount");
    tap("Next");
    EXPECT_EQ(pressed, 1);
    EXPECT_TRUE(field->isFirstResponder()) << "the field keeps editing";

    owner.reset();
    EXPECT_THROW(tap("Next"), platform::ui::ScreenDriverError) << "the target has gone";
    EXPECT_EQ(pressed, 1);
}
TEST_F(DismissKeyboardAccesoryViewTest, WithoutAButtonTheBarShowsNothingAndHasNoTitle)
{
    auto bar = DismissKeyboardAccesoryView::makeWithSender(field);
    bar->setButton(nullptr);
    EXPECT_TRUE(bar->items().empty());
    EXPECT_EQ(bar->text(), std::nullopt);
    bar->setText(std::string("Next"));
    EXPECT_EQ(bar->text(), std::nullopt);

    field->setInputAccessoryView(bar);
    tap("amount");
    EXPECT_THROW(tap("Done"), platform::ui::ScreenDriverError);
    EXPECT_TRUE(field->isFirstResponder());
}

}
}
