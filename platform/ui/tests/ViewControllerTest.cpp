#include "platform/ui/ViewController.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/View.h"
#include "platform/ui/tests/ControllerFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace platform::ui::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class ViewControllerTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        foundation::Log::setCapture([this](const std::string& line) { logLines.push_back(line); });
        ViewController::setRootViewController(*window, root);
        takeJournal();
    }

    void TearDown() override
    {
        foundation::Log::setCapture({});
        ControllerFixture::TearDown();
    }

    std::vector<std::string> logLines;
    std::shared_ptr<RecordingController> root { controller("Root") };
};

/// A controller whose view comes from the nib "TitledScreen", with the label as its outlet.
class NibController : public ViewController {
public:
    NibController()
        : ViewController("TitledScreen")
    {
        declareOutlet("titleLabel", titleLabel);
    }

    std::shared_ptr<Label> titleLabel;
};

TEST_F(ViewControllerTest, ViewLoadsOnceOnFirstUseFromItsNibOrPlain)
{
    auto plain = controller("Plain");
    EXPECT_FALSE(plain->isViewLoaded());
    auto view = plain->view();
    EXPECT_EQ(plain->view(), view);
    EXPECT_THAT(takeJournal(), ElementsAre("Plain didLoad"));
    EXPECT_EQ(view->frame(), Screen::main().bounds());

    {
        ScopedNib titled("TitledScreen", [](NibBuilder& nib) {
            auto top = nib.topLevel(std::make_shared<View>(Rect(0, 0, 320, 568)));
            auto label = std::make_shared<Label>();
            label->setText(std::string("Hello"));
            top->addSubview(label);
            nib.outlet("titleLabel", label);
        });
        auto fromNib = std::make_shared<NibController>();
        auto loaded = fromNib->view();
        ASSERT_TRUE(fromNib->titleLabel);
        EXPECT_EQ(fromNib->titleLabel->superview(), loaded);
    }

    auto missing = std::make_shared<NibController>();
    EXPECT_THROW(missing->view(), NibError);
}

TEST_F(ViewControllerTest, FullScreenPresentationAndDismissalRunOnTheClock)
{
    auto modal = controller("Modal");
    bool presented = false;
    root->presentViewController(modal, true, [&] { presented = true; });
    EXPECT_EQ(root->presentedViewController(), modal);
    EXPECT_EQ(modal->presentingViewController(), root);
    EXPECT_THAT(
        takeJournal(), ElementsAre("Modal didLoad", "Modal willAppear presented", "Root willDisappear"));
    advance(ViewController::modalTransitionDuration - 0.01);
    EXPECT_FALSE(presented);
    advance(0.01);
    EXPECT_TRUE(presented);
    EXPECT_THAT(takeJournal(), ElementsAre("Modal didAppear presented", "Root didDisappear"));
    EXPECT_EQ(root->view()->window(), nullptr)
        << "a full-screen presentation takes the presenter off the window";
    EXPECT_EQ(modal->view()->frame(), window->bounds());

    bool dismissed = false;
    modal->dismissViewController(true, [&] { dismissed = true; });
    EXPECT_THAT(takeJournal(), ElementsAre("Modal willDisappear dismissed", "Root willAppear"));
    EXPECT_EQ(root->view()->window(), window.get());
    advance(ViewController::modalTransitionDuration);
    EXPECT_TRUE(dismissed);
    EXPECT_THAT(takeJournal(), ElementsAre("Modal didDisappear dismissed", "Root didAppear"));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(modal->presentingViewController(), nullptr);
    EXPECT_EQ(modal->view()->superview(), nullptr);
}

TEST_F(ViewControllerTest, UnanimatedPresentationShowsAtOnceAndCompletesOnTheQueue)
{
    auto modal = controller("Modal");
    bool presented = false;
    root->presentViewController(modal, false, [&] { presented = true; });
    EXPECT_EQ(modal->appearanceState(), AppearanceState::Appeared);
    EXPECT_FALSE(presented) << "the completion runs on the main queue, not inside the call";
    foundation::mainQueue().runUntilIdle();
    EXPECT_TRUE(presented);
}

TEST_F(ViewControllerTest, OverStylesKeepThePresenterOnScreen)
{
    auto navigation = std::make_shared<NavigationController>();
    auto screen = controller("Screen");
    navigation->setViewControllers({ screen }, false);
    ViewController::setRootViewController(*window, navigation);
    takeJournal();

    for (auto style :
        { ModalPresentationStyle::OverFullScreen, ModalPresentationStyle::OverCurrentContext }) {
        auto modal = controller("Modal");
        modal->setModalPresentationStyle(style);
        screen->presentViewController(modal, false);
        EXPECT_EQ(modal->presentingViewController(), navigation) << "the root of the stack presents";
        EXPECT_EQ(screen->presentedViewController(), modal);
        EXPECT_EQ(screen->view()->window(), window.get());
        EXPECT_EQ(modal->view()->frame(), window->bounds());
        screen->dismissViewController(false);
        EXPECT_THAT(takeJournal(),
            ElementsAre("Modal didLoad", "Modal willAppear presented", "Modal didAppear presented",
                "Modal willDisappear dismissed", "Modal didDisappear dismissed"));
    }
}

TEST_F(ViewControllerTest, PresentationThatCannotHappenIsLoggedAndChangesNothing)
{
    auto first = controller("First");
    root->presentViewController(first, false);
    bool ran = false;
    root->presentViewController(controller("Second"), false, [&] { ran = true; });
    EXPECT_EQ(root->presentedViewController(), first);

    auto outside = controller("Outside");
    outside->presentViewController(controller("Third"), false, [&] { ran = true; });
    EXPECT_EQ(outside->presentedViewController(), nullptr);
    foundation::mainQueue().runUntilIdle();
    EXPECT_FALSE(ran);
    ASSERT_EQ(logLines.size(), 2U);
    EXPECT_THAT(logLines[0], HasSubstr("which is already presenting <RecordingController>"));
    EXPECT_THAT(logLines[1], HasSubstr("whose view is not in the window hierarchy"));
    EXPECT_THROW(root->presentViewController(first, false), std::invalid_argument);
}

TEST_F(ViewControllerTest, DismissingALowerPresenterTakesEveryControllerAboveIt)
{
    auto first = controller("First");
    auto second = controller("Second");
    root->presentViewController(first, false);
    first->presentViewController(second, false);
    root->dismissViewController(false);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(first->presentedViewController(), nullptr);
    EXPECT_EQ(second->view()->superview(), nullptr);
    EXPECT_EQ(root->view()->window(), window.get());
}

TEST_F(ViewControllerTest, StatusBarFollowsTheScreenThatShowsAndCountsUpdateRequests)
{
    auto navigation = std::make_shared<NavigationController>();
    auto screen = controller("Screen");
    screen->setStyle(StatusBarStyle::LightContent);
    navigation->setViewControllers({ screen }, false);
    ViewController::setRootViewController(*window, navigation);
    EXPECT_EQ(Application::shared().statusBarStyle(), StatusBarStyle::Default)
        << "a shown bar keeps the nav's style";

    navigation->setNavigationBarHidden(true, false);
    EXPECT_EQ(Application::shared().statusBarStyle(), StatusBarStyle::LightContent);

    screen->setStyle(StatusBarStyle::Default);
    EXPECT_EQ(Application::shared().statusBarStyle(), StatusBarStyle::LightContent)
        << "not asked to update yet";
    screen->setNeedsStatusBarAppearanceUpdate();
    EXPECT_EQ(screen->statusBarAppearanceUpdateCount(), 1U);
    EXPECT_EQ(Application::shared().statusBarStyle(), StatusBarStyle::Default);

    auto modal = controller("Modal");
    modal->setStyle(StatusBarStyle::LightContent);
    screen->presentViewController(modal, false);
    EXPECT_EQ(Application::shared().statusBarStyle(), StatusBarStyle::LightContent);
}

}
}

namespace platform::ui::test {
namespace {

// What the replaced appearance implementations saw, and the implementations they replaced.
std::vector<std::string> gReplacedCalls;
ViewController::AppearanceImplementation gFormerDidAppear { nullptr };

void noteDidAppear(ViewController& controller, bool animated)
{
    gFormerDidAppear(controller, animated);
    gReplacedCalls.push_back(controller.title() + " appeared" + (animated ? " animated" : ""));
}

void noteDidDisappear(ViewController& controller, bool)
{
    gReplacedCalls.push_back(controller.title() + " disappeared");
}

// A controller whose appearance overrides call the base, as a screen does that wants the base's work.
class BaseCallingController : public RecordingController {
public:
    using RecordingController::RecordingController;

    void viewDidAppear(bool animated) override
    {
        RecordingController::viewDidAppear(animated);
        ViewController::viewDidAppear(animated);
    }
    void viewDidDisappear(bool animated) override
    {
        RecordingController::viewDidDisappear(animated);
        ViewController::viewDidDisappear(animated);
    }
};

TEST_F(ViewControllerTest, AReplacedAppearanceImplementationRunsWhereverTheBaseRuns)
{
    using Method = ViewController::AppearanceMethod;
    gReplacedCalls.clear();
    gFormerDidAppear = ViewController::replaceAppearanceImplementation(Method::ViewDidAppear, &noteDidAppear);
    auto formerDidDisappear
        = ViewController::replaceAppearanceImplementation(Method::ViewDidDisappear, &noteDidDisappear);

    auto calling = std::make_shared<BaseCallingController>("Calling", journal);
    root->presentViewController(calling, true);
    advance(ViewController::modalTransitionDuration);
    root->dismissViewController(false);
    auto plain = std::make_shared<ViewController>();
    plain->setTitle("Plain");
    root->presentViewController(plain, false);

    EXPECT_THAT(
        gReplacedCalls, ElementsAre("Calling appeared animated", "Calling disappeared", "Plain appeared"))
        << "the root overrides without calling the base: never seen";

    EXPECT_EQ(ViewController::replaceAppearanceImplementation(Method::ViewDidAppear, gFormerDidAppear),
        &noteDidAppear);
    ViewController::replaceAppearanceImplementation(Method::ViewDidDisappear, formerDidDisappear);
    gReplacedCalls.clear();
    root->dismissViewController(false);
    plain->viewDidAppear(false);
    EXPECT_TRUE(gReplacedCalls.empty()) << "the former implementations are back";
}

}
}
