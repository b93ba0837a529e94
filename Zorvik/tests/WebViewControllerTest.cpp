#include "Zorvik/ViewControllers/WebViewController/WebViewController.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/tests/OnboardingFixture.h"
#include "platform/ui/AlertController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

class WebViewControllerTest : public OnboardingTest {
protected:
    std::shared_ptr<platform::ui::AlertController> alert() const
    {
        return std::dynamic_pointer_cast<platform::ui::AlertController>(top()->presentedViewController());
    }
};

TEST_F(WebViewControllerTest, ThePageShowsOnceLoadedWithTheSpinnerGone)
{
    show(std::make_shared<platform::ui::ViewController>());
    navigation->pushViewController(std::make_shared<WebViewController>(backend().url("/upgrade")), false);
    auto page = top<WebViewController>();
    page->view();
    EXPECT_TRUE(waitUntil([&] { return !page->webView()->isLoading() && !page->webView()->html().empty(); }));
    EXPECT_EQ(page->webView()->url(), backend().url("/upgrade"));
    EXPECT_EQ(page->preferredStatusBarStyle(), platform::ui::StatusBarStyle::LightContent);
    EXPECT_THAT(driver.screen(), ::testing::Not(::testing::HasSubstr("LoadingView")));
    EXPECT_FALSE(alert());
}

TEST_F(WebViewControllerTest, APageThatCannotBeReachedOffersOnlyTheWayBack)
{
    show(std::make_shared<platform::ui::ViewController>());
    // Port 9 (discard) does not listen on loopback: the connection is refused.
    navigation->pushViewController(std::make_shared<WebViewController>("http://127.0.0.1:9/upgrade"), false);
    top()->view();
    ASSERT_TRUE(waitUntil([&] { return alert() != nullptr; }));
    EXPECT_EQ(alert()->title(), "Oops! Something went wrong.");
    EXPECT_FALSE(alert()->message());
    ASSERT_EQ(alert()->actions().size(), 1u);
    EXPECT_EQ(alert()->actions().front()->style(), platform::ui::AlertActionStyle::Default);
    EXPECT_THAT(driver.screen(), ::testing::Not(::testing::HasSubstr("LoadingView")));

    driver.pickAlertAction("Go Back");
    settle();
    EXPECT_EQ(stack(), std::vector<std::string> { "ViewController" });
}

}
}
