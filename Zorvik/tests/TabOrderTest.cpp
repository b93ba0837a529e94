#include "Zorvik/Controllers/TabOrderController/TabOrder.h"

#include "Zorvik/tests/FrameFixture.h"
#include "platform/ui/TextField.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvik::test {
namespace {

using platform::ui::Control;
using platform::ui::Keyboard;
using platform::ui::Rect;
using platform::ui::ReturnKeyType;
using platform::ui::TextField;

class TabOrderTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        for (double y : { 80.0, 120.0, 160.0 }) {
            auto field = std::make_shared<TextField>(Rect { 20, y, 280, 30 });
            window->addSubview(field);
            fields.push_back(field);
        }
    }

    std::vector<TabOrder::Field> list() const { return { fields.begin(), fields.end() }; }

    std::vector<std::shared_ptr<TextField>> fields;
};

TEST_F(TabOrderTest, ItWalksLikeTheFirstOrderAndRemembersTheFieldBefore)
{
    auto order = TabOrder::make(list(), false);
    fields[0]->becomeFirstResponder();
    EXPECT_EQ(order->last(), nullptr) << "the first field leaves last as it was";
    driver.pressReturn();
    EXPECT_TRUE(fields[1]->isFirstResponder());
    EXPECT_EQ(order->last(), fields[0]);

    order->textFieldFinishedEditing(*fields[0]);
    EXPECT_TRUE(fields[1]->isFirstResponder()) << "a Return from the field before is ignored";

    driver.pressReturn();
    EXPECT_EQ(fields[2]->returnKeyType(), ReturnKeyType::Done);
    driver.pressReturn();
    EXPECT_FALSE(Keyboard::shared().isVisible());
    EXPECT_EQ(order->current(), nullptr);
    EXPECT_EQ(order->last(), nullptr);
}

TEST_F(TabOrderTest, AbsentCallbacksAcceptEveryFieldAndNotifyNobody)
{
    auto order = TabOrder::make(list(), true);
    fields[0]->setText("Decorating");
    fields[2]->setText("amy@example.com");
    fields[1]->becomeFirstResponder();
    EXPECT_EQ(fields[1]->returnKeyType(), ReturnKeyType::Done);
    EXPECT_TRUE(order->isNext(*fields[0]));
}

TEST(TabOrderDeathTest, AFieldOutsideTheListStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto inList = std::make_shared<TextField>();
    auto stranger = std::make_shared<TextField>();
    auto order = TabOrder::make({ inList }, false);
    EXPECT_DEATH(order->textFieldBeganEditing(*stranger), "not in the tab order");
}

}
}
