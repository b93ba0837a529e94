#include "platform/ui/Switch.h"

#include <gtest/gtest.h>

using namespace platform::ui;

TEST(SwitchTest, ATapFlipsItAndSendsValueChangedWhileCodeDoesNot)
{
    auto toggle = std::make_shared<Switch>(Rect { 10, 10, 0, 0 });
    EXPECT_EQ(toggle->frame(), (Rect { 10, 10, 51, 31 }));
    std::vector<bool> seen;
    toggle->addAction(ControlEvent::ValueChanged,
        [&](Control& sender) { seen.push_back(static_cast<Switch&>(sender).isOn()); });
    toggle->setOn(true);
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(toggle->tap());
    EXPECT_TRUE(toggle->tap());
    EXPECT_EQ(seen, (std::vector<bool> { false, true }));
    toggle->setEnabled(false);
    EXPECT_FALSE(toggle->tap());
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(toggle->describe(), "Switch (10, 10, 51, 31) on [disabled]");
}
