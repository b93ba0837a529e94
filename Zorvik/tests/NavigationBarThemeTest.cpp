#include "Zorvik/Views/NavigationBar/NavigationBarTheme.h"

#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditObjc.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::AttributedString;
using platform::ui::Color;

class NavigationBarThemeTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        bar = NavigationBar::make("Bank account");
        window->addSubview(bar);
    }

    std::shared_ptr<NavigationBar> bar;
};

TEST_F(NavigationBarThemeTest, AnImageWinsOverTheTextOfTheSameButton)
{
    NavigationBarTheme theme(Color::white(), Color::black(), Color::gray(), image("BtnTealLessThan"),
        AttributedString("back"), image("IconDownChevron"), AttributedString("done"));
    theme.apply(*bar);

    EXPECT_EQ(bar->backgroundColor(), Color::white());
    EXPECT_EQ(bar->titleColour(), Color::black());
    EXPECT_EQ(bar->dividerColour(), Color::gray());
    EXPECT_EQ(bar->negativeButton()->image(), image("BtnTealLessThan"));
    EXPECT_EQ(bar->negativeButton()->currentTitle(), std::nullopt);
    EXPECT_EQ(bar->positiveButton()->image(), image("IconDownChevron"));
    EXPECT_EQ(bar->positiveButton()->currentTitle(), std::nullopt);
}

TEST_F(NavigationBarThemeTest, ThemesRebuildTheButtonsInTheirTitleColour)
{
    NavigationBarModeEditObjc::defaultDisabledTheme()->apply(*bar);
    EXPECT_EQ(bar->titleColour(), ColoursObjc::teal());
    EXPECT_EQ(bar->negativeButton()->image(), image("BtnTealLessThan"));
    EXPECT_EQ(bar->positiveButton()->currentTitle(), "done");

    auto doneButton = bar->positiveButton();
    NavigationBarModeEditObjc::defaultEditingTheme()->apply(*bar);
    EXPECT_EQ(bar->dividerColour(), Color::black().withAlpha(0.4));
    for (const auto& [button, title] :
        { std::pair { bar->negativeButton(), "cancel" }, std::pair { bar->positiveButton(), "save" } }) {
        EXPECT_EQ(button->currentTitle(), title);
        EXPECT_EQ(button->image(), nullptr);
        EXPECT_EQ(button->currentAttributedTitle()->attributesAt(0).foregroundColor, Color::black());
    }
    EXPECT_NE(bar->positiveButton(), doneButton) << "each application builds new buttons";
}

TEST_F(NavigationBarThemeTest, AThemeWithoutARightButtonHidesItUntilAThemeBringsOneBack)
{
    auto bare = NavigationBarModeEditObjc::defaultEditingTheme();
    bare->setPositiveText(std::nullopt);
    bare->setDividerColour(Color::red());
    bare->apply(*bar);
    EXPECT_TRUE(bar->positiveButtonHidden());
    EXPECT_EQ(bar->dividerColour(), Color::red()) << "the property set after creation counts";

    NavigationBarModeEditObjc::defaultEditingTheme()->apply(*bar);
    EXPECT_FALSE(bar->positiveButtonHidden());
    EXPECT_EQ(bar->positiveButton()->currentTitle(), "save");
}

TEST_F(NavigationBarThemeTest, AThemeWithNothingForTheLeftButtonKeepsTheCurrentOne)
{
    bar->setNegativeButtonText(AttributedString("close"));
    auto close = bar->negativeButton();
    NavigationBarTheme theme(Color::white(), Color::black(), Color::black(), nullptr, std::nullopt, nullptr,
        AttributedString("ok"));
    theme.apply(*bar);
    EXPECT_EQ(bar->negativeButton(), close);
    EXPECT_EQ(bar->positiveButton()->currentTitle(), "ok");
}

}
}
