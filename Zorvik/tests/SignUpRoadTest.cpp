#include "Zorvik/Controllers/PinController/PinControllerProtocol.h"
#include "Zorvik/ViewControllers/PinViewController/ConfirmPinViewController.h"
#include "Zorvik/ViewControllers/PinViewController/CreatePinViewController.h"
#include "Zorvik/ViewControllers/PinViewController/LoginWithPinViewController.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/RegisterCompanyViewController.h"
#include "Zorvik/ViewControllers/StartSignupViewController.h"
#include "Zorvik/Views/PinView/FailedPinAttemptView.h"
#include "Zorvik/Views/PinView/LogoAndPromptView.h"
#include "Zorvik/Views/PinView/PinDotView.h"
#include "Zorvik/Views/PinView/PinView.h"
#include "Zorvik/tests/OnboardingFixture.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using Stack = std::vector<std::string>;

/// The sign-up road walked from the start screen to the PIN screens.
class SignUpRoadTest : public OnboardingTest {
protected:
    /// Start → "Sign up" → the address → Next: the create-PIN screen.
    void walkToCreatePin()
    {
        show(std::make_shared<StartSignupViewController>());
        driver.tap("Sign up");
        settle();
        driver.type("new@zorvik.test");
        driver.tap("Next");
        settle();
    }

    std::shared_ptr<PinView> pad() const { return std::dynamic_pointer_cast<PinView>(top()->view()); }

    /// The picture and text of what the pad's information area shows on top.
    std::string shownMessage() const
    {
        auto error = pad()->errorView();
        if (error && error->superview())
            return error->image()->name() + " " + error->text();
        auto information = std::dynamic_pointer_cast<FailedPinAttemptView>(pad()->informationView());
        return information ? information->image()->name() + " " + information->text() : "(none)";
    }
};

TEST_F(SignUpRoadTest, AMatchedPinOpensTheCompanySearchAndBackLandsOnAnEmptyCreateScreen)
{
    walkToCreatePin();
    EXPECT_EQ(stack(),
        (Stack { "StartSignupViewController", "SignUpWithEmailViewController", "CreatePinViewController" }));
    EXPECT_EQ(shownMessage(), "IconLock Create a pincode to secure your data.");
    EXPECT_FALSE(pad()->navigationBar()->negativeButton()->isHidden());

    typePin("2468");
    EXPECT_EQ(top()->className(), "ConfirmPinViewController") << "pushed without animation";
    EXPECT_FALSE(navigation->isInTransition());
    auto created = navigation->viewControllers()[2];
    EXPECT_EQ(std::dynamic_pointer_cast<PinView>(created->view())->pin().digits(), "") << "emptied first";
    EXPECT_EQ(shownMessage(), "IconLock Confirm your secure pincode.");

    typePin("2468");
    settle();
    EXPECT_EQ(stack(),
        (Stack { "StartSignupViewController", "SignUpWithEmailViewController", "CreatePinViewController",
            "RegisterCompanyViewController" }))
        << "the confirm screen left the stack";
    auto search = top<RegisterCompanyViewController>();
    EXPECT_EQ(search->username(), "new@zorvik.test");
    EXPECT_EQ(search->pin(), "2468");
    EXPECT_THAT(driver.screen(), Not(HasSubstr("2468"))) << "the PIN never shows";

    driver.tap("BtnLessThanWhite");
    settle();
    EXPECT_EQ(top()->className(), "CreatePinViewController");
    EXPECT_EQ(std::dynamic_pointer_cast<PinView>(top()->view())->pinDots()->dotCount(), 0);
    driver.tap("BtnTealLessThan");
    settle();
    driver.tap("BtnTealLessThan");
    settle();
    EXPECT_EQ(stack(), Stack { "StartSignupViewController" });
    EXPECT_THAT(everythingOnTheDevice(), Not(HasSubstr("2468")));
}

TEST_F(SignUpRoadTest, AMismatchSaysSoAndTheNextMatchingPinGoesOn)
{
    walkToCreatePin();
    typePin("1111");
    typePin("2222");
    EXPECT_EQ(top()->className(), "ConfirmPinViewController");
    EXPECT_EQ(shownMessage(), "IconWarning Make sure both pins match");
    EXPECT_EQ(pad()->pinDots()->dotCount(), 0);

    typePin("1111");
    settle();
    EXPECT_EQ(top()->className(), "RegisterCompanyViewController");
}

TEST_F(SignUpRoadTest, BackFromTheConfirmScreenForgetsTheFirstPin)
{
    walkToCreatePin();
    typePin("1111");
    driver.tap("BtnTealLessThan");
    settle();
    EXPECT_EQ(top()->className(), "CreatePinViewController");
    typePin("3333");
    typePin("3333");
    settle();
    EXPECT_EQ(top<RegisterCompanyViewController>()->pin(), "3333");
}

TEST_F(SignUpRoadTest, ThePinLogInScreenShowsTheShortHeaderOnlyOnAShortScreen)
{
    for (auto size : { platform::ui::Screen::size320x480, platform::ui::Screen::size320x568 }) {
        useScreen(size);
        for (bool back : { false, true }) {
            show(std::make_shared<LoginWithPinViewController>("ann@zorvik.test", back));
            auto header = pad()->informationView();
            EXPECT_EQ(header->className(), size.height == 480 ? "LogoAndPromptView4" : "LogoAndPromptView");
            EXPECT_EQ(
                std::dynamic_pointer_cast<LogoAndPromptView>(header)->prompt()->text(), "Enter your pin.");
            EXPECT_EQ(pad()->navigationBar()->negativeButton()->isHidden(), !back);
            EXPECT_EQ(top()->preferredStatusBarStyle(), platform::ui::StatusBarStyle::LightContent);
        }
    }
}

TEST_F(SignUpRoadTest, APinScreenOffTheAppStackIsAProgrammingError)
{
    auto plain = std::make_shared<platform::ui::NavigationController>();
    plain->setViewControllers({ std::make_shared<CreatePinViewController>("a@b.com") }, false);
    EXPECT_THROW(plain->topViewController()->view(), std::logic_error);
}

}
}
