#include "Zorvik/Views/LineItemsView/LineItemDescriptionTextField.h"

#include "Zorvik/tests/FrameFixture.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

/// A description field alone on a screen, edited through the driver.
class LineItemDescriptionTextFieldTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        auto screen = std::make_shared<platform::ui::ViewController>();
        field = std::make_shared<LineItemDescriptionTextField>(platform::ui::Rect { 0, 100, 320, 44 });
        screen->view()->addSubview(field);
        showStack({ screen });
    }

    std::shared_ptr<LineItemDescriptionTextField> field;
};

TEST_F(LineItemDescriptionTextFieldTest, ShowsTheDescriptionBehindTheRowNumber)
{
    field->setItemNumber(2);
    field->setDescriptionText("Design. Logo");
    EXPECT_EQ(field->text(), "3. Design. Logo");
    EXPECT_EQ(field->descriptionText(), "Design. Logo");
    field->setDescriptionText("");
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(field->placeholder(), "3. add item description");
    field->setItemNumber(4);
    EXPECT_EQ(field->placeholder(), "5. add item description");
}

TEST_F(LineItemDescriptionTextFieldTest, TheNumberCannotBeDeletedWhateverItsWidth)
{
    for (std::size_t row : { 0u, 9u, 99u }) {
        SCOPED_TRACE(row);
        field->setItemNumber(row);
        field->setDescriptionText("Logo");
        std::string prefix = std::to_string(row + 1) + ". ";
        tap(prefix + "Logo");
        EXPECT_EQ(driver.deleteBackward(10), 4u);
        EXPECT_EQ(field->text(), prefix);
        field->resignFirstResponder();
        EXPECT_EQ(field->text(), "") << "an empty description shows the placeholder";
        EXPECT_EQ(field->descriptionText(), "");
    }
}

TEST_F(LineItemDescriptionTextFieldTest, AOneLetterDescriptionIsKept)
{
    tap("1. add item description");
    EXPECT_EQ(field->text(), "1. ");
    driver.type("X");
    field->resignFirstResponder();
    EXPECT_EQ(field->text(), "1. X");
    tap("1. X");
    EXPECT_EQ(field->text(), "1. X");
    EXPECT_EQ(field->descriptionText(), "X");
}

}
}
