#include "Zorvik/Controllers/FormController/FormControllerObjc.h"

#include "Zorvik/Controllers/FormController/FormController.h"
#include "Zorvik/tests/FrameFixture.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using FormControllerObjcTest = FrameTest;

TEST_F(FormControllerObjcTest, DoneGoesBackOneScreenAnimatedAndTheBaseSaveAnswersNothing)
{
    auto home = std::make_shared<platform::ui::ViewController>();
    auto form = std::make_shared<platform::ui::ViewController>();
    auto navigation = showStack({ home, form });
    FormControllerObjc controller(navigation);
    int outcomes = 0;
    controller.save([&](const Document&) { ++outcomes; }, [&](auto&, auto&, auto&) { ++outcomes; });
    controller.negativePressed();
    advance(10);
    EXPECT_EQ(outcomes, 0);
    EXPECT_EQ(navigation->topViewController(), form);

    controller.done();
    EXPECT_TRUE(navigation->isInTransition());
    advance(0.5);
    EXPECT_EQ(navigation->topViewController(), home);

    navigation.reset();
    platform::ui::ViewController::setRootViewController(*window, nullptr);
    controller.done();
    EXPECT_EQ(controller.navigationController(), nullptr) << "it does not keep the navigation controller";
}

TEST(FormControllerDeathTest, ASubclassMustSave)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    FormController controller(std::make_shared<platform::ui::NavigationController>());
    EXPECT_DEATH(controller.save({}, {}), "save\\(documentSaved:\\) not implemented in base class.");
}

}
}
