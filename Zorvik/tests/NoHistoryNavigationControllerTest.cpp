#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/ViewControllers/CreateInvoiceViewController.h"
#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/ViewControllers/PinViewController/ConfirmPinViewController.h"
#include "Zorvik/ViewControllers/PinViewController/CreatePinViewController.h"
#include "Zorvik/ViewControllers/Transitions/NavigationControllerAnimationDelegate.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "Zorvik/tests/AnimatorDescription.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::ui::NavigationController;
using platform::ui::NavigationOperation;
using platform::ui::ViewController;
using Screen = std::shared_ptr<ViewController>;

/// A plain screen with a name, which records its appearances.
class Named : public ViewController {
public:
    explicit Named(std::string name)
        : m_name(std::move(name))
    {
    }
    std::string className() const override { return m_name; }
    void viewDidAppear(bool) override { ++appearances; }

    std::string m_name;
    int appearances { 0 };
};

/// The app's animation delegate, recording each change it is asked about and what the screens chose.
class RecordingDelegate : public NavigationControllerAnimationDelegate {
public:
    std::shared_ptr<platform::ui::TransitionAnimator> animationController(NavigationController& navigation,
        NavigationOperation operation, const Screen& from, const Screen& to) override
    {
        auto animator
            = NavigationControllerAnimationDelegate::animationController(navigation, operation, from, to);
        asked.push_back((operation == NavigationOperation::Push ? "push " : "pop ") + from->className()
            + " -> " + to->className() + ": " + describeAnimator(animator));
        return animator;
    }

    std::vector<std::string> asked;
};

class NoHistoryNavigationControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        registerNibs();
        navigation->setDelegate(delegate);
        ViewController::setRootViewController(*window, navigation);
    }

    static Screen named(const std::string& name) { return std::make_shared<Named>(name); }

    std::vector<std::string> stack() const
    {
        std::vector<std::string> names;
        for (const auto& controller : navigation->viewControllers())
            names.push_back(controller->className());
        return names;
    }

    /// Lets any running transition finish.
    static void settle() { platform::foundation::mainQueue().advance(1); }

    std::shared_ptr<platform::ui::Window> window = std::make_shared<platform::ui::Window>();
    std::shared_ptr<NoHistoryNavigationController> navigation
        = std::make_shared<NoHistoryNavigationController>();
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
};

TEST_F(NoHistoryNavigationControllerTest, APushOntoAnEmptyStackIsAPlainPush)
{
    auto root = named("Root");
    navigation->pushViewController(root, true);
    settle();
    EXPECT_THAT(stack(), testing::ElementsAre("Root"));
    EXPECT_EQ(root->view()->superview(), navigation->view());
}

TEST_F(NoHistoryNavigationControllerTest, TheScreenPushedOverANoHistoryScreenTakesItsPlace)
{
    auto root = named("Root");
    navigation->pushViewController(root, false);
    auto a = named("A");
    navigation->pushNoHistoryViewController(a, true);
    settle();
    EXPECT_THAT(stack(), testing::ElementsAre("Root", "A")) << "on top it is an ordinary screen";
    EXPECT_TRUE(navigation->isNoHistory(a));

    navigation->pushViewController(named("B"), true);
    settle();
    EXPECT_THAT(stack(), testing::ElementsAre("Root", "B"));
    EXPECT_EQ(a->view()->superview(), nullptr);
    EXPECT_THAT(delegate->asked, testing::ElementsAre("push Root -> A: platform", "push Root -> B: platform"))
        << "the screen under the dropped one is the covered screen of the push";

    navigation->popViewController(true);
    settle();
    EXPECT_THAT(stack(), testing::ElementsAre("Root")) << "going back skips the no-history screen";
    EXPECT_EQ(navigation->topViewController(), root);
}

TEST_F(NoHistoryNavigationControllerTest, EachNoHistoryScreenLeavesWhenTheNextIsPushed)
{
    navigation->pushViewController(named("Root"), false);
    navigation->pushNoHistoryViewController(named("A1"), false);
    navigation->pushNoHistoryViewController(named("A2"), false);
    EXPECT_THAT(stack(), testing::ElementsAre("Root", "A2"));
    navigation->pushNoHistoryViewController(named("A3"), false);
    EXPECT_THAT(stack(), testing::ElementsAre("Root", "A3"));
    navigation->pushViewController(named("C"), false);
    EXPECT_THAT(stack(), testing::ElementsAre("Root", "C"));
    navigation->pushViewController(named("D"), false);
    EXPECT_THAT(stack(), testing::ElementsAre("Root", "C", "D")) << "an ordinary screen stays";
}

TEST_F(NoHistoryNavigationControllerTest, PushesAskedForDuringATransitionFollowTheRuleWhenApplied)
{
    navigation->pushViewController(named("Root"), false);
    navigation->pushViewController(named("X"), true);
    navigation->pushNoHistoryViewController(named("A"), true);
    navigation->pushViewController(named("B"), true);
    navigation->pushViewController(named("C"), true);
    settle();
    settle();
    settle();
    settle();
    EXPECT_THAT(stack(), testing::ElementsAre("Root", "X", "B", "C"))
        << "only the no-history screen leaves, once the screen after it is pushed";
}

TEST_F(NoHistoryNavigationControllerTest, PopsAndReplacementsNeverLookAtNoHistoryScreens)
{
    auto root = named("Root");
    auto a = named("A");
    navigation->pushViewController(root, false);
    navigation->pushNoHistoryViewController(a, false);
    navigation->popViewController(false);
    EXPECT_THAT(stack(), testing::ElementsAre("Root")) << "popped like any screen";

    navigation->setViewControllers({ root, a }, false);
    EXPECT_THAT(stack(), testing::ElementsAre("Root", "A"));
    navigation->pushViewController(named("B"), false);
    navigation->pushViewController(named("C"), false);
    navigation->popToRootViewController(false);
    EXPECT_THAT(stack(), testing::ElementsAre("Root"));

    navigation->setViewControllers({ a, named("E") }, false);
    navigation->pushViewController(named("F"), false);
    EXPECT_THAT(stack(), testing::ElementsAre("A", "E", "F")) << "only a no-history top screen leaves";
}

TEST_F(NoHistoryNavigationControllerTest, ThePinFlowChoosesItsAnimationsFromTheScreenUnderTheConfirmScreen)
{
    auto folders = std::make_shared<FoldersViewControllerObjc>();
    navigation->pushViewController(folders, false);
    navigation->pushViewController(std::make_shared<CreateInvoiceViewController>(
                                       api::Freelancer(platform::foundation::Dictionary::make())),
        true);
    settle();
    navigation->popViewController(true);
    settle();

    auto create = std::make_shared<CreatePinViewController>("a@b.com");
    navigation->pushViewController(create, true);
    settle();
    navigation->pushNoHistoryViewController(
        std::make_shared<ConfirmPinViewController>("a@b.com", "1234"), false);
    navigation->pushViewController(named("Register"), true);
    settle();

    EXPECT_THAT(
        stack(), testing::ElementsAre("FoldersViewControllerObjc", "CreatePinViewController", "Register"));
    EXPECT_THAT(delegate->asked,
        testing::ElementsAre("push FoldersViewControllerObjc -> CreateInvoiceViewController: RiseOver",
            "pop CreateInvoiceViewController -> FoldersViewControllerObjc: DropAway",
            "push FoldersViewControllerObjc -> CreatePinViewController: SlideInFromRight",
            "push CreatePinViewController -> Register: Instant"));
    EXPECT_EQ(navigation->topViewController()->view()->superview(), navigation->view());
}

}
}
