#include "Zorvik/Views/Categories/FindFirstResponder.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <memory>

namespace zorvik::test {
namespace {

using platform::ui::TextField;
using platform::ui::View;

class FindFirstResponderTest : public testing::Test {
protected:
    void SetUp() override
    {
        window->setContentView(form);
        form->addSubview(row);
        row->addSubview(first);
        form->addSubview(second);
    }

    std::shared_ptr<platform::ui::Window> window = std::make_shared<platform::ui::Window>();
    std::shared_ptr<View> form = std::make_shared<View>();
    std::shared_ptr<View> row = std::make_shared<View>();
    std::shared_ptr<TextField> first = std::make_shared<TextField>();
    std::shared_ptr<TextField> second = std::make_shared<TextField>();
};

TEST_F(FindFirstResponderTest, FindsTheEditingFieldBelowTheView)
{
    EXPECT_EQ(FindFirstResponder::firstResponder(*form), nullptr);

    ASSERT_TRUE(second->becomeFirstResponder());
    EXPECT_EQ(FindFirstResponder::firstResponder(*form), second);
    EXPECT_EQ(FindFirstResponder::firstResponder(*second), second) << "the view itself";
    EXPECT_EQ(FindFirstResponder::firstResponder(*row), nullptr) << "not below this branch";

    ASSERT_TRUE(first->becomeFirstResponder());
    EXPECT_EQ(FindFirstResponder::firstResponder(*form), first);
}

TEST_F(FindFirstResponderTest, ResigningTheCurrentResponderEndsEditing)
{
    FindFirstResponder::resignCurrentResponder(*form);

    ASSERT_TRUE(first->becomeFirstResponder());
    FindFirstResponder::resignCurrentResponder(*form);
    EXPECT_FALSE(first->isEditing());
    EXPECT_EQ(FindFirstResponder::firstResponder(*form), nullptr);
}

}
}
