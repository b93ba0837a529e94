#include "Zorvik/Controls/EmailTextField.h"
#include "Zorvik/ViewControllers/EnterEmailViewController.h"
#include "Zorvik/ViewControllers/PinViewController/LoginWithPinViewController.h"
#include "Zorvik/ViewControllers/StartSignupViewController.h"
#include "Zorvik/Views/EnterEmailView/EnterEmailView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/PinView/PinView.h"
#include "Zorvik/Views/StartSignupView/CarouselPageControl.h"
#include "Zorvik/Views/StartSignupView/StartSignupView.h"
#include "Zorvik/tests/AnimatorDescription.h"
#include "Zorvik/tests/OnboardingFixture.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using Stack = std::vector<std::string>;

class StartAndEmailScreensTest : public OnboardingTest {
protected:
    std::shared_ptr<StartSignupView> startView() const
    {
        return std::dynamic_pointer_cast<StartSignupView>(navigation->viewControllers().front()->view());
    }

    std::shared_ptr<EnterEmailView> emailView() const
    {
        return std::dynamic_pointer_cast<EnterEmailView>(top()->view());
    }

    /// The picture names of the carousel's dots, in order.
    std::vector<std::string> dotPictures() const
    {
        std::vector<std::string> names;
        for (const auto& dot : startView()->pageControl()->subviews())
            names.push_back(CarouselPageControl::imageViewForSubview(*dot)->image()->name());
        return names;
    }
};

TEST_F(StartAndEmailScreensTest, TheCarouselMarksThePageWhoseLeftEdgeIsNearestWhenItComesToRest)
{
    show(std::make_shared<StartSignupViewController>());
    auto view = startView();
    EXPECT_EQ(view->bgImageView()->image()->name(), "BackgroundOffCentreBubble");
    EXPECT_EQ(dotPictures(),
        (std::vector<std::string> { "CarouselIconActive", "CarouselIconInactive", "CarouselIconInactive" }));
    EXPECT_EQ(view->pageControl()->pageIndicatorTintColor(), platform::ui::Color::clear());
    for (const auto& dot : view->pageControl()->subviews())
        EXPECT_EQ(CarouselPageControl::imageViewForSubview(*dot)->frame(), (platform::ui::Rect { 0, 0, 7, 7 }))
            << "each picture fills its dot";

    double w = view->scrollView()->frame().width();
    struct Case {
        double offset;
        int page;
    };
    for (auto [offset, page] :
        { Case { 0, 0 }, Case { 0.5 * w, 1 }, Case { 1.49 * w, 1 }, Case { 1.5 * w, 2 } }) {
        view->scrollView()->setContentOffset({ offset, 0 });
        view->didEndDecelerating(*view->scrollView());
        EXPECT_EQ(view->pageControl()->currentPage(), page) << offset / w;
    }
    EXPECT_EQ(dotPictures(),
        (std::vector<std::string> { "CarouselIconInactive", "CarouselIconInactive", "CarouselIconActive" }));

    view->scrollView()->setContentOffset({ 0, 0 });
    EXPECT_EQ(view->pageControl()->currentPage(), 2) << "scrolling alone changes nothing";
    EXPECT_TRUE(view->scrollView()->drag({ -w, 0 }));
    EXPECT_EQ(view->pageControl()->currentPage(), 1) << "a drag to the next page comes to rest there";
}

TEST_F(StartAndEmailScreensTest, ATallScreenHasItsOwnBackgroundAndADotGetsOneImageViewOnce)
{
    useScreen({ 375, 667 });
    show(std::make_shared<StartSignupViewController>());
    EXPECT_EQ(startView()->bgImageView()->image()->name(), "BackgroundOffCentreBubble-667");

    auto dot = std::make_shared<platform::ui::View>(platform::ui::Rect { 3, 4, 7, 8 });
    auto made = CarouselPageControl::imageViewForSubview(*dot);
    EXPECT_EQ(made->frame(), (platform::ui::Rect { 0, 0, 7, 8 }));
    EXPECT_EQ(CarouselPageControl::imageViewForSubview(*dot), made);
    EXPECT_EQ(dot->subviews().size(), 1u);
}

TEST_F(StartAndEmailScreensTest, TheStartScreenFadesToEachRoadsEmailScreenAndOpensTheTerms)
{
    setenv("ZORVIK_SITE_URL", "http://127.0.0.1:9/site/", 1);
    show(std::make_shared<StartSignupViewController>());
    EXPECT_EQ(top()->preferredStatusBarStyle(), platform::ui::StatusBarStyle::LightContent);
    driver.tap("Terms and conditions");
    unsetenv("ZORVIK_SITE_URL");
    EXPECT_EQ(platform::ui::Application::shared().openedURLs(),
        std::vector<std::string> { "http://127.0.0.1:9/site/terms" });

    struct Road {
        const char* button;
        const char* screen;
        const char* greeting;
    };
    for (auto road : { Road { "Sign up", "SignUpWithEmailViewController", "Nice to meet you!" },
             Road { "Log in", "LoginWithEmailViewController", "Welcome back!" } }) {
        driver.tap(road.button);
        EXPECT_TRUE(navigation->isInTransition());
        driver.wait(0.39);
        EXPECT_TRUE(navigation->isInTransition()) << "a fade of 0.4 s";
        driver.wait(0.02);
        EXPECT_EQ(stack(), (Stack { "StartSignupViewController", road.screen }));
        EXPECT_EQ(emailView()->message(), road.greeting);
        driver.tap("BtnTealLessThan");
        driver.wait(0.41);
        EXPECT_EQ(stack(), Stack { "StartSignupViewController" });
    }
}

TEST_F(StartAndEmailScreensTest, NextFollowsEveryEditAndSendsTheTrimmedAddress)
{
    show(std::make_shared<StartSignupViewController>());
    driver.tap("Log in");
    settle();
    auto view = emailView();
    EXPECT_EQ(platform::ui::Keyboard::shared().isVisible(), true) << "the keyboard is up at once";
    EXPECT_FALSE(view->nextButton()->isEnabled());

    std::vector<bool> enabled;
    for (char key : std::string(" ann@zorvik.test")) {
        driver.type(std::string(1, key));
        enabled.push_back(view->nextButton()->isEnabled());
    }
    std::vector<bool> expected(16, false);
    expected[13] = expected[14] = expected[15] = true;
    EXPECT_EQ(enabled, expected) << "enabled from the second letter after the dot";
    driver.type("@");
    EXPECT_FALSE(view->nextButton()->isEnabled());
    driver.deleteBackward();
    EXPECT_TRUE(view->nextButton()->isEnabled());

    driver.tap("Next");
    settle();
    auto pin = top<LoginWithPinViewController>();
    ASSERT_TRUE(pin);
    EXPECT_EQ(pin->username(), "ann@zorvik.test") << "without the space typed first";
    EXPECT_FALSE(
        std::dynamic_pointer_cast<PinView>(pin->view())->navigationBar()->negativeButton()->isHidden());

    driver.tap("BtnTealLessThan");
    settle();
    EXPECT_EQ(top()->className(), "LoginWithEmailViewController");
    EXPECT_EQ(view->emailTextField()->text(), " ann@zorvik.test");
    EXPECT_TRUE(view->emailTextField()->isFirstResponder()) << "the keyboard is up again on return";
    EXPECT_TRUE(view->nextButton()->isEnabled());
}

}
}
