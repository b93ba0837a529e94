#include "Zorvik/Views/ContentView/FrameNibs.h"

#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::NibRegistry;

TEST(FrameNibsTest, EveryFrameClassLoadsWithItsOutletsOnShortAndTallScreens)
{
    registerFrameNibs();
    registerFrameNibs();
    for (const char* name :
        { "NavigationBar", "TemplateView", "ContentView", "OneButtonDialogView", "TwoButtonDialogView" })
        EXPECT_TRUE(NibRegistry::hasNib(name)) << name;
    for (const char* name : { "NavigationBar", "KeyboardScrollView", "DirectionalScrollView",
             "OneButtonDialogView", "TwoButtonDialogView" })
        EXPECT_TRUE(NibRegistry::hasClass(name)) << name;
    EXPECT_THAT(NibRegistry::verifyClasses(), ::testing::IsEmpty());
}

}
}
