#include "Zorvik/Views/NavigationBar/NavigationBar.h"

#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/NavigationBar/NavigationBarDelegate.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::ui::AttributedString;
using platform::ui::Button;
using platform::ui::Color;
using platform::ui::ControlState;
using platform::ui::Rect;
using platform::ui::TextAttributes;

/// Writes down the presses it hears; answers for the right button only when asked to.
class PressLog : public NavigationBarDelegate {
public:
    explicit PressLog(bool handlesPositive)
        : m_handlesPositive(handlesPositive)
    {
    }

    void negativePressed() override { presses.push_back("negative"); }
    void positivePressed() override { presses.push_back("positive"); }
    bool implementsPositivePressed() const override { return m_handlesPositive; }

    std::vector<std::string> presses;

private:
    bool m_handlesPositive;
};

class NavigationBarTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        bar = std::static_pointer_cast<NavigationBar>(
            platform::ui::NibRegistry::instantiate("NavigationBar", { Rect { 0, 0, 320, 64 } }));
        window->addSubview(bar);
        layout();
    }

    static AttributedString text(const std::string& string, std::optional<Color> colour = std::nullopt)
    {
        TextAttributes attributes;
        attributes.font = platform::ui::Font::named("OpenSans-Light", 16).value();
        attributes.foregroundColor = colour;
        return AttributedString(string, attributes);
    }

    static std::shared_ptr<Button> button(const std::string& title)
    {
        auto made = NavigationBar::standardNegativeButtonTemplate();
        made->setTitle(title);
        return made;
    }

    // Whether the view is somewhere in the bar's view tree.
    bool inBar(const platform::ui::View& view) const { return view.isDescendantOf(*bar); }

    std::shared_ptr<NavigationBar> bar;
};

TEST_F(NavigationBarTest, ABarFromANibHasAnEmptyTitleUntilAScreenSetsOne)
{
    EXPECT_EQ(bar->text(), std::string());
    EXPECT_EQ(bar->dividerColour(), Color::clear());
    EXPECT_TRUE(bar->loadingView()->isHidden());
    EXPECT_EQ(NavigationBar::make("Invoices")->text(), "Invoices");

    bar->setText(std::string("Bank account"));
    EXPECT_EQ(bar->titleLabel()->text(), "Bank account");
    bar->setText(std::nullopt);
    EXPECT_EQ(bar->text(), std::nullopt);
    bar->setDividerColour(Color::red());
    EXPECT_EQ(bar->dividerColour(), Color::red());
}

TEST_F(NavigationBarTest, PushesKeepTheReplacedButtonsAndOnlyTheLastOneSitsAboveTheDivider)
{
    auto nibButton = bar->negativeButton();
    bar->pushNegativeButton(button("first"));
    bar->pushNegativeButton(button("second"));
    layout();

    ASSERT_EQ(bar->negativeButtonStack().stackItems().size(), 2u);
    EXPECT_EQ(bar->negativeButtonStack().stackItems()[0], nibButton);
    EXPECT_EQ(bar->negativeButtonStack().stackItems()[1]->currentTitle(), "first");
    EXPECT_FALSE(inBar(*nibButton));
    EXPECT_FALSE(inBar(*bar->negativeButtonStack().stackItems()[1]));
    auto shown = bar->negativeButton();
    EXPECT_EQ(shown->currentTitle(), "second");
    Rect frame = shown->convertRectTo(shown->bounds(), bar.get());
    Rect divider = bar->divider()->convertRectTo(bar->divider()->bounds(), bar.get());
    EXPECT_EQ(frame, (Rect { 8, divider.y() - 45, 68, 40 }));

    auto pushedPositive = button("pushed");
    bar->pushPositiveButton(pushedPositive);
    bar->setPositiveButtonText(text("save"));
    layout();
    ASSERT_EQ(bar->positiveButtonStack().stackItems().size(), 1u) << "a set does not stack";
    EXPECT_NE(bar->positiveButtonStack().stackItems()[0], pushedPositive);
    EXPECT_FALSE(inBar(*pushedPositive));
    frame = bar->positiveButton()->convertRectTo(bar->positiveButton()->bounds(), bar.get());
    EXPECT_EQ(frame, (Rect { 320 - 8 - 68, divider.y() - 45, 68, 40 }));
}

TEST_F(NavigationBarTest, TextButtonsShowTheTitleColourOfTheMomentAndGreyWhenDisabled)
{
    bar->setTitleColour(Color::blue());
    bar->setNegativeButtonText(text("cancel", Color::red()));
    bar->setPositiveButtonText(text("save", Color::red()));
    bar->setTitleColour(Color::green());

    for (const auto& shown : { bar->negativeButton(), bar->positiveButton() }) {
        auto title = shown->currentAttributedTitle().value();
        EXPECT_EQ(title.attributesAt(0).foregroundColor, Color::blue()) << title.description();
        EXPECT_EQ(title.attributesAt(0).font->name(), "OpenSans-Light") << "fonts stay";
        EXPECT_EQ(shown->titleColor(ControlState::Normal), Color::blue());
    }
    EXPECT_EQ(
        bar->negativeButton()->contentHorizontalAlignment(), platform::ui::ContentHorizontalAlignment::Left);
    EXPECT_EQ(
        bar->positiveButton()->contentHorizontalAlignment(), platform::ui::ContentHorizontalAlignment::Right);

    bar->disabledPositiveButton();
    EXPECT_FALSE(bar->positiveButton()->isHidden());
    EXPECT_EQ(bar->positiveButton()->currentAttributedTitle()->attributesAt(0).foregroundColor,
        Color::fromBytes(199, 199, 205));
    bar->enablePositiveButton();
    EXPECT_EQ(
        bar->positiveButton()->currentAttributedTitle()->attributesAt(0).foregroundColor, Color::blue());

    auto before = bar->negativeButton();
    bar->setNegativeButtonText(std::nullopt);
    EXPECT_EQ(bar->negativeButton(), before) << "without a text the button stays";
}

TEST_F(NavigationBarTest, PressesReachTheObserverThatHandlesThem)
{
    bar->setNegativeButtonText(text("back"));
    bar->setPositiveButtonText(text("send"));
    for (bool handlesPositive : { true, false }) {
        SCOPED_TRACE(handlesPositive ? "both buttons handled" : "only the left button handled");
        auto log = std::make_shared<PressLog>(handlesPositive);
        bar->setObserver(log);
        tap("back");
        tap("send");
        std::vector<std::string> expected { "negative" };
        if (handlesPositive)
            expected.push_back("positive");
        EXPECT_EQ(log->presses, expected);
    }
    bar->setObserver({});
    tap("back");

    auto log = std::make_shared<PressLog>(true);
    bar->setObserver(log);
    bar->setNegativeButtonImage(image("BtnTealLessThan"));
    tap("BtnTealLessThan");
    EXPECT_EQ(log->presses, std::vector<std::string> { "negative" })
        << "an image button is found by its image";
}

TEST_F(NavigationBarTest, TheSpinnerStandsInForTheRightButtonAndGivesItBackAsItWas)
{
    for (bool hiddenBefore : { false, true }) {
        SCOPED_TRACE(hiddenBefore ? "right button hidden before" : "right button shown before");
        bar->setPositiveButtonText(text("save"));
        bar->setPositiveButtonHidden(hiddenBefore);

        bar->showLoadingViewWithColour(Color::red());
        EXPECT_TRUE(bar->positiveButtonHidden());
        EXPECT_FALSE(bar->loadingView()->isHidden());
        EXPECT_TRUE(bar->loadingView()->animate());
        bar->showLoadingViewWithColour(Color::green());
        EXPECT_EQ(bar->loadingView()->spinnerColour(), Color::green());
        double start = bar->loadingView()->start();
        advance(0.1);
        EXPECT_NEAR(bar->loadingView()->start() - start, 50, 1e-9) << "one stepping sequence only";

        bar->hideLoadingView();
        EXPECT_TRUE(bar->loadingView()->isHidden());
        EXPECT_FALSE(bar->loadingView()->animate());
        EXPECT_EQ(bar->positiveButtonHidden(), hiddenBefore);

        bar->hideLoadingView();
        EXPECT_EQ(bar->positiveButtonHidden(), hiddenBefore) << "without a spinner nothing changes";
    }
}

TEST_F(NavigationBarTest, ARightButtonChangedWhileTheSpinnerShowsKeepsItsNewState)
{
    bar->setPositiveButtonText(text("save"));
    bar->showLoadingViewWithColour(Color::red());
    bar->setPositiveButtonHidden(true);
    bar->hideLoadingView();
    EXPECT_TRUE(bar->positiveButtonHidden()) << "the latest wish of the screen";

    bar->setPositiveButtonHidden(false);
    bar->showLoadingViewWithColour(Color::red());
    bar->setPositiveButtonText(text("send"));
    EXPECT_FALSE(bar->positiveButtonHidden()) << "a new button shows beside the spinner";
    bar->hideLoadingView();
    EXPECT_FALSE(bar->positiveButtonHidden());
}

TEST_F(NavigationBarTest, ANewButtonStartsVisibleAndEnabledWhateverItReplaces)
{
    bar->hideNegativeButton();
    bar->setPositiveButtonHidden(true);
    bar->disabledPositiveButton();
    EXPECT_TRUE(bar->negativeButton()->isHidden());

    bar->setNegativeButtonImage(image("IconDownChevron"));
    bar->addPositiveButton(button("go"));
    EXPECT_FALSE(bar->negativeButton()->isHidden());
    EXPECT_EQ(bar->negativeButton()->image(), image("IconDownChevron"));
    EXPECT_FALSE(bar->positiveButtonHidden());
    EXPECT_TRUE(bar->positiveButton()->isEnabled());
    EXPECT_TRUE(bar->positiveButtonStack().stackItems().empty());
}

}
}
