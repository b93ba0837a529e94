#include "Zorvik/Views/PinView/PinView.h"
#include "Zorvik/Controllers/PinController/PinControllerProtocol.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/PinView/FailedPinAttemptView.h"
#include "Zorvik/Views/PinView/LogoAndPromptView.h"
#include "Zorvik/Views/PinView/NumericPinButton.h"
#include "Zorvik/Views/PinView/PinDotView.h"
#include "Zorvik/Views/PinView/PinKeyboardView.h"
#include "Zorvik/tests/OnboardingFixture.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::ui::Image;

/// Notes what the pad tells its controller: "pin 1234" or "back".
class PadLog : public PinControllerProtocol {
public:
    void pinEntered(const std::string& pin) override { calls.push_back("pin " + pin); }
    void navigateBack() override { calls.push_back("back"); }

    std::vector<std::string> calls;
};

/// A PIN pad filling the window, with a prompt in its information area and a controller that notes calls.
class PinViewTest : public OnboardingTest {
protected:
    void SetUp() override
    {
        OnboardingTest::SetUp();
        makePad();
    }

    void makePad()
    {
        pad = PinView::make();
        pad->setFrame(window->bounds());
        window->addSubview(pad);
        prompt = LogoAndPromptView::make("Enter your pin.");
        pad->setInformationView(prompt);
        pad->setController(log);
        window->layoutIfNeeded();
    }

    /// The name of the dots' picture.
    std::string dots() const
    {
        auto image = pad->pinDots()->dotsImageView()->image();
        return image ? image->name() : "(none)";
    }

    std::shared_ptr<FailedPinAttemptView> error(const std::string& text) const
    {
        return FailedPinAttemptView::make(Image::named("IconWarning"), text);
    }

    std::shared_ptr<PinView> pad;
    std::shared_ptr<LogoAndPromptView> prompt;
    std::shared_ptr<PadLog> log = std::make_shared<PadLog>();
};

TEST_F(PinViewTest, DigitsFillTheDotsAndTheFourthHandsThePinOverEveryPressAfterToo)
{
    std::vector<std::string> seen { dots() };
    for (char digit : std::string("0759")) {
        driver.tap(std::string(1, digit));
        seen.push_back(dots());
    }
    EXPECT_EQ(
        seen, (std::vector<std::string> { "PinDots0", "PinDots1", "PinDots2", "PinDots3", "PinDots4" }));
    EXPECT_EQ(log->calls, std::vector<std::string> { "pin 0759" }) << "no confirm key";

    driver.tap("3");
    EXPECT_EQ(log->calls, (std::vector<std::string> { "pin 0759", "pin 0759" }))
        << "a fifth press hands the same four digits over again";
    EXPECT_EQ(pad->pin().digits(), "0759");
    EXPECT_EQ(dots(), "PinDots4");
}

TEST_F(PinViewTest, DeleteTakesOneDigitAndDotAndDoesNothingOnAnEmptyPad)
{
    driver.tap(PinKeyboardView::kDeleteLabel);
    EXPECT_EQ(dots(), "PinDots0");
    EXPECT_EQ(pad->pin().digits(), "");

    typePin("123");
    driver.tap(PinKeyboardView::kDeleteLabel);
    EXPECT_EQ(dots(), "PinDots2");
    EXPECT_EQ(pad->pin().digits(), "12");
    typePin("45");
    EXPECT_EQ(log->calls, std::vector<std::string> { "pin 1245" });

    pad->clearPin();
    EXPECT_EQ(dots(), "PinDots0");
    EXPECT_EQ(pad->pin().digits(), "");
}

TEST_F(PinViewTest, WhileBusyNoKeyReachesThePadButTheBackButtonStillWorks)
{
    typePin("12");
    pad->showBusyView();
    auto spinner = pad->loadingView();
    EXPECT_FALSE(spinner->isHidden());
    EXPECT_TRUE(spinner->animate());
    EXPECT_EQ(spinner->spinnerColour(), platform::ui::Color::white());
    EXPECT_TRUE(pad->pinDots()->isHidden());

    for (const std::string key : { "3", PinKeyboardView::kDeleteLabel })
        EXPECT_THROW(driver.tap(key), platform::ui::ScreenDriverError) << key;
    EXPECT_EQ(pad->pin().digits(), "12");

    driver.tap("BtnTealLessThan");
    EXPECT_EQ(log->calls, std::vector<std::string> { "back" });

    pad->hideBusyView();
    EXPECT_TRUE(spinner->isHidden());
    EXPECT_FALSE(spinner->animate());
    EXPECT_FALSE(pad->pinDots()->isHidden());
    typePin("34");
    EXPECT_EQ(log->calls, (std::vector<std::string> { "back", "pin 1234" }));
}

TEST_F(PinViewTest, AnErrorOutlivesClearDeleteAndHideBusyAndGoesAtTheNextDigit)
{
    typePin("12");
    pad->showBusyView();
    pad->showErrorView(error("Incorrect pin."));
    pad->clearPin();
    pad->hideBusyView();
    driver.tap(PinKeyboardView::kDeleteLabel);
    window->layoutIfNeeded();
    EXPECT_THAT(driver.screen(), testing::HasSubstr("\"Incorrect pin.\""));
    EXPECT_TRUE(prompt->isHidden());

    pad->showErrorView(error("Something went wrong. Please try again."));
    EXPECT_EQ(pad->infoView()->subviews().size(), 2u) << "one error at a time, over the prompt";
    auto screen = driver.screen();
    EXPECT_THAT(screen, testing::Not(testing::HasSubstr("Incorrect pin.")));

    driver.tap("7");
    EXPECT_EQ(pad->errorView()->superview(), nullptr);
    EXPECT_FALSE(prompt->isHidden());
    EXPECT_EQ(pad->pin().digits(), "7") << "the digit that took the error away counts";
    EXPECT_EQ(pad->informationView(), prompt);
}

TEST_F(PinViewTest, AnErrorInAnEmptyInformationAreaLeavesItEmptyOnceGone)
{
    pad->setInformationView(nullptr);
    EXPECT_EQ(pad->informationView(), nullptr);
    pad->showErrorView(error("Make sure both pins match"));
    driver.tap("1");
    EXPECT_TRUE(pad->infoView()->subviews().empty());
}

TEST_F(PinViewTest, AKeyLightsUpWhilePressedAndReportsOnlyWhenLifted)
{
    auto key = pad->pinKeyboard()->key(5);
    key->onTouchDownWithButton();
    EXPECT_EQ(key->pressedCircle()->alpha(), 1);
    EXPECT_EQ(key->numericTextLabel()->textColor(), platform::ui::Color::black());
    EXPECT_TRUE(platform::ui::Animation::isAnimating(*key->pressedCircle()));
    key->onTouchLeaveWithButton();
    EXPECT_EQ(key->pressedCircle()->alpha(), 0);
    key->onTouchEnterWithButton();
    EXPECT_EQ(key->pressedCircle()->alpha(), 1);
    EXPECT_TRUE(log->calls.empty());
    key->onTouchUpWithButton();
    EXPECT_EQ(key->pressedCircle()->alpha(), 0);
    EXPECT_EQ(key->numericTextLabel()->textColor(), platform::ui::Color::white());
    EXPECT_EQ(pad->pin().digits(), "5");
}

TEST_F(PinViewTest, ShortScreensGetTheirOwnLayoutsAndEveryClassLoads)
{
    EXPECT_THAT(platform::ui::NibRegistry::verifyClasses(), testing::IsEmpty());
    for (auto size : { platform::ui::Screen::size320x480, platform::ui::Screen::size320x568 }) {
        useScreen(size);
        bool small = size.height == 480;
        auto made = PinView::make();
        EXPECT_EQ(made->contentView()->frame().height(), size.height);
        auto message = error("Incorrect pin.");
        EXPECT_EQ(message->frame().height(), small ? 90 : 130);
        EXPECT_EQ(message->text(), "Incorrect pin.");
        EXPECT_EQ(message->image()->name(), "IconWarning");
        EXPECT_EQ(LogoAndPromptView4::make("x")->frame().height(), 90);
        EXPECT_EQ(LogoAndPromptView::make("x")->frame().height(), 130);
    }
}

}
}
