#include "Zorvik/Views/NavigationBar/Delegates/QVXPopNavigationBarDelegate.h"

#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/tests/FrameFixture.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using QVXPopNavigationBarDelegateTest = FrameTest;

TEST_F(QVXPopNavigationBarDelegateTest, TheLeftButtonGoesBackOneScreen)
{
    for (bool animated : { false, true }) {
        SCOPED_TRACE(animated ? "animated" : "not animated");
        auto first = std::make_shared<platform::ui::ViewController>();
        auto second = std::make_shared<platform::ui::ViewController>();
        auto navigation = showStack({ first, second });
        auto bar = NavigationBar::make("Details");
        second->view()->addSubview(bar);
        auto delegate = std::make_shared<QVXPopNavigationBarDelegate>(navigation, animated);
        bar->setObserver(delegate);
        EXPECT_EQ(delegate->navigationController(), navigation);

        tap("BtnTealLessThan");
        EXPECT_EQ(navigation->topViewController(), first);
        EXPECT_EQ(navigation->isInTransition(), animated);
        advance(0.5);
        EXPECT_EQ(navigation->viewControllers().size(), 1u);
    }
}
TEST_F(QVXPopNavigationBarDelegateTest, WithoutANavigationControllerTheButtonDoesNothing)
{
    auto screen = std::make_shared<platform::ui::ViewController>();
    auto navigation = showStack({ screen });
    auto bar = NavigationBar::make("Details");
    screen->view()->addSubview(bar);
    auto delegate = std::make_shared<QVXPopNavigationBarDelegate>(nullptr, true);
    bar->setObserver(delegate);

    tap("BtnTealLessThan");
    delegate->negativePressed();
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
}

}
}
