#include "platform/ui/Control.h"

#include "platform/ui/Label.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform::ui;

namespace {

struct ControlOnScreen : testing::Test {
    std::shared_ptr<View> root = std::make_shared<View>(Rect { 0, 0, 320, 480 });
    std::shared_ptr<View> container = std::make_shared<View>(Rect { 0, 100, 320, 100 });
    std::shared_ptr<Control> control = std::make_shared<Control>(Rect { 10, 10, 100, 40 });
    std::vector<std::string> log;

    void SetUp() override
    {
        root->addSubview(container);
        container->addSubview(control);
    }
};

}

TEST_F(ControlOnScreen, ActionsHearOnlyTheEventsOfTheirMask)
{
    control->addAction(ControlEvent::TouchUpInside, [&](Control&) { log.push_back("up"); });
    control->addAction(ControlEvent::EditingDidEnd | ControlEvent::EditingDidEndOnExit,
        [&](Control&) { log.push_back("end"); });
    control->addAction(ControlEvent::AllEditingEvents, [&](Control&) { log.push_back("editing"); });

    control->sendActions(ControlEvent::EditingDidEndOnExit);
    EXPECT_EQ(log, (std::vector<std::string> { "end", "editing" }));
    log.clear();
    control->sendActions(ControlEvent::ValueChanged);
    EXPECT_TRUE(log.empty());
    control->sendActions(ControlEvent::TouchUpInside);
    EXPECT_EQ(log, (std::vector<std::string> { "up" }));
    EXPECT_EQ(control->actionCount(ControlEvent::EditingDidEnd), 2u);
}

TEST_F(ControlOnScreen, ActionsOfDeadTargetsAreDroppedAndTargetsCanBeRemovedPerEvent)
{
    auto target = std::make_shared<int>(0);
    control->addTarget(target, ControlEvent::TouchUpInside | ControlEvent::ValueChanged,
        [&](Control&) { log.push_back("target"); });
    control->addAction(ControlEvent::TouchUpInside, [&](Control&) { log.push_back("plain"); });

    control->removeTarget(target.get(), ControlEvent::ValueChanged);
    control->sendActions(ControlEvent::ValueChanged);
    control->sendActions(ControlEvent::TouchUpInside);
    EXPECT_EQ(log, (std::vector<std::string> { "target", "plain" }));

    log.clear();
    target.reset();
    control->sendActions(ControlEvent::TouchUpInside);
    EXPECT_EQ(log, (std::vector<std::string> { "plain" }));
    EXPECT_EQ(control->actionCount(ControlEvent::AllEvents), 1u);
}

TEST_F(ControlOnScreen, AnActionRemovedByAnEarlierOneIsNotToldAndAControlCanBeReleasedByItsAction)
{
    Control::ActionId second = 0;
    control->addAction(ControlEvent::TouchUpInside, [&](Control& sender) {
        log.push_back("first");
        sender.removeAction(second);
        sender.removeFromSuperview();
    });
    second = control->addAction(ControlEvent::TouchUpInside, [&](Control&) { log.push_back("second"); });
    std::weak_ptr<Control> weak = control;
    control.reset();
    weak.lock()->sendActions(ControlEvent::TouchUpInside);
    EXPECT_EQ(log, (std::vector<std::string> { "first" }));
    EXPECT_TRUE(weak.expired());
}

TEST_F(ControlOnScreen, TapSendsTouchEventsHighlightingWhileDown)
{
    control->addAction(ControlEvent::TouchDown, [&](Control&) { log.push_back("down"); });
    control->addAction(ControlEvent::TouchUpInside,
        [&](Control& sender) { log.push_back(sender.isHighlighted() ? "up highlighted" : "up"); });
    EXPECT_TRUE(control->tap());
    EXPECT_EQ(log, (std::vector<std::string> { "down", "up" }));
    EXPECT_FALSE(control->isHighlighted());
}

TEST_F(ControlOnScreen, AFingerCannotReachAControlThatIsDisabledHiddenCoveredOrInANonInteractiveView)
{
    int taps = 0;
    control->addAction(ControlEvent::TouchUpInside, [&](Control&) { ++taps; });
    auto label = std::make_shared<Label>(Rect { 0, 0, 320, 100 });
    auto cover = std::make_shared<View>(Rect { 0, 0, 320, 100 });

    struct Case {
        const char* name;
        std::function<void()> apply;
        std::function<void()> undo;
    } cases[] = {
        { "disabled", [&] { control->setEnabled(false); }, [&] { control->setEnabled(true); } },
        { "hidden superview", [&] { container->setHidden(true); }, [&] { container->setHidden(false); } },
        { "transparent", [&] { control->setAlpha(0); }, [&] { control->setAlpha(1); } },
        { "superview takes no touches", [&] { container->setUserInteractionEnabled(false); },
            [&] { container->setUserInteractionEnabled(true); } },
        { "covered", [&] { container->addSubview(cover); }, [&] { cover->removeFromSuperview(); } },
        { "scrolled out of its superview's bounds",
            [&] {
                container->setBounds({ 0, 60, 320, 100 });
            },
            [&] {
                container->setBounds({ 0, 0, 320, 100 });
            } },
    };
    for (auto& c : cases) {
        c.apply();
        EXPECT_FALSE(control->tap()) << c.name;
        c.undo();
        EXPECT_TRUE(control->tap()) << c.name << " undone";
    }
    EXPECT_EQ(taps, 6);

    container->addSubview(label);
    EXPECT_TRUE(control->tap()) << "a label in front takes no touches";
}

TEST_F(ControlOnScreen, StateCombinesItsFlags)
{
    EXPECT_EQ(control->state(), ControlState::Normal);
    control->setEnabled(false);
    control->setSelected(true);
    EXPECT_EQ(control->state(), ControlState::Disabled | ControlState::Selected);
    EXPECT_EQ(control->describe(), "Control (10, 10, 100, 40) [disabled] [selected]");
}
