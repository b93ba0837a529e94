#include "platform/ui/AlertController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/ScreenDriver.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"
#include "platform/ui/tests/ControllerFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace platform::ui::test {
namespace {

using ::testing::ElementsAre;

class AlertControllerTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        ViewController::setRootViewController(*window, root);
        alert->addAction(std::make_shared<AlertAction>(
            "No", AlertActionStyle::Cancel, [this](AlertAction&) { journal->push_back("handler No"); }));
        alert->addAction(std::make_shared<AlertAction>(
            "Yes", AlertActionStyle::Default, [this](AlertAction&) { journal->push_back("handler Yes"); }));
        takeJournal();
    }

    static std::shared_ptr<Button> buttonTitled(const View& view, const std::string& title)
    {
        for (auto& subview : view.subviews()) {
            if (auto button = std::dynamic_pointer_cast<Button>(subview);
                button && button->currentTitle() == title)
                return button;
            if (auto inner = buttonTitled(*subview, title))
                return inner;
        }
        return nullptr;
    }

    std::shared_ptr<RecordingController> root { controller("Root") };
    std::shared_ptr<AlertController> alert { std::make_shared<AlertController>(
        std::string("Discard this invoice?"), std::nullopt, AlertControllerStyle::ActionSheet) };
};

TEST_F(AlertControllerTest, PickedActionDismissesTheAlertThenRunsItsHandler)
{
    root->presentViewController(alert, true);
    advance(ViewController::modalTransitionDuration);
    EXPECT_EQ(root->appearanceState(), AppearanceState::Appeared)
        << "an alert leaves its presenter on screen";

    EXPECT_FALSE(alert->pickAction("Maybe"));
    EXPECT_TRUE(alert->pickAction("Yes"));
    EXPECT_TRUE(takeJournal().empty()) << "the handler waits for the dismissal";
    advance(ViewController::modalTransitionDuration);
    EXPECT_THAT(takeJournal(), ElementsAre("handler Yes"));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_FALSE(alert->pickAction("No")) << "a dismissed alert takes no second press";
}

TEST_F(AlertControllerTest, ButtonsShowTheActionsWithCancelLastInAnActionSheet)
{
    alert->addAction(std::make_shared<AlertAction>("Delete", AlertActionStyle::Destructive));
    std::vector<std::string> titles;
    for (auto& action : alert->displayedActions())
        titles.push_back(action->title());
    EXPECT_THAT(titles, ElementsAre("Yes", "Delete", "No"));
    EXPECT_THROW(alert->addAction(std::make_shared<AlertAction>("Cancel", AlertActionStyle::Cancel)),
        std::invalid_argument);

    root->presentViewController(alert, false);
    auto no = buttonTitled(*alert->view(), "No");
    auto yes = buttonTitled(*alert->view(), "Yes");
    ASSERT_TRUE(no && yes);
    EXPECT_LT(yes->frame().y(), no->frame().y());
    EXPECT_TRUE(no->tap());
    advance(ViewController::modalTransitionDuration);
    EXPECT_THAT(takeJournal(), ElementsAre("handler No"));
}

TEST_F(AlertControllerTest, TheKeyboardGoesDownWhileTheAlertShowsAndComesBackAfter)
{
    auto field = std::make_shared<TextField>(Rect(20, 500, 280, 30));
    root->view()->addSubview(field);
    ASSERT_TRUE(field->becomeFirstResponder());

    root->presentViewController(alert, true);
    EXPECT_FALSE(Keyboard::shared().isVisible());
    EXPECT_FALSE(field->isEditing());
    advance(ViewController::modalTransitionDuration);
    ScreenDriver().tap("Yes");
    advance(ViewController::modalTransitionDuration);
    EXPECT_THAT(takeJournal(), ElementsAre("handler Yes"));
    EXPECT_EQ(Keyboard::shared().responder(), field);
}

}
}
