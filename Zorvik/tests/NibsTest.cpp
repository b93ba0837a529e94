#include "Zorvik/Views/Nibs/Nibs.h"
#include "Zorvik/Controls/EmailTextField.h"
#include "Zorvik/Views/FullscreenImageView/FullscreenImageView.h"
#include "Zorvik/Views/LineView/LineView.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/UIView/ViewHolder.h"
#include "Zorvik/Views/UnderlinedLabel/UnderlinedLabel.h"
#include "platform/foundation/Value.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/NibRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

namespace zorvik::test {
namespace {

using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Rect;
using platform::ui::View;

TEST(NibsTest, EveryClassHasItsNibsAndOutletsOnShortAndTallScreens)
{
    registerNibs();
    registerNibs();

    for (const char* name : { "XibView", "ViewHolder", "LoadingView", "LineView", "FullscreenImageView",
             "UnderlinedLabel", "EmailTextField" })
        EXPECT_TRUE(NibRegistry::hasClass(name)) << name;
    EXPECT_TRUE(NibRegistry::hasNib("XibView"));
    EXPECT_THAT(NibRegistry::verifyClasses(), testing::IsEmpty());
}

TEST(NibsTest, NibsPlaceTheAppsViewsByClassName)
{
    registerNibs();
    NibRegistry::registerNib("Form", [](NibBuilder& nib) {
        auto root = nib.topLevel(std::make_shared<View>(Rect { 0, 0, 320, 200 }));
        auto holder = nib.custom("ViewHolder", { 0, 0, 320, 100 });
        root->addSubview(holder);
        holder->addSubview(nib.custom("LoadingView", { 0, 0, 30, 30 }));
        root->addSubview(nib.custom("EmailTextField", { 0, 100, 320, 44 }));
        auto label = nib.custom<UnderlinedLabel>("UnderlinedLabel", { 0, 150, 100, 20 });
        label->setText("Terms");
        root->addSubview(label);
        root->addSubview(nib.custom("LineView", { 0, 170, 320, 10 }));
        auto background = nib.custom("FullscreenImageView", { 0, 0, 320, 200 });
        nib.attribute(*background, "fullscreen", "Background");
        root->addSubview(background);
    });
    auto form = NibRegistry::load("Form", nullptr).front();
    NibRegistry::removeNib("Form");

    ASSERT_EQ(form->subviews().size(), 5u);
    auto holder = std::dynamic_pointer_cast<ViewHolder>(form->subviews()[0]);
    ASSERT_TRUE(holder);
    EXPECT_TRUE(std::dynamic_pointer_cast<LoadingView>(holder->subviews().at(0)));
    EXPECT_EQ(holder->constraints().size(), 4u) << "the spinner is pinned in the holder";
    EXPECT_TRUE(std::dynamic_pointer_cast<EmailTextField>(form->subviews()[1]));
    auto label = std::dynamic_pointer_cast<UnderlinedLabel>(form->subviews()[2]);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->attributedText()->attributesAt(0).underlineStyle, 1);
    EXPECT_TRUE(std::dynamic_pointer_cast<LineView>(form->subviews()[3]));
    auto background = std::dynamic_pointer_cast<FullscreenImageView>(form->subviews()[4]);
    ASSERT_TRUE(background);
    EXPECT_EQ(background->fullscreen(), "Background");
}


TEST(NibsDeathTest, ANameAnotherRegistrationHoldsRaisesTheRegistrysError)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto nib = [](NibBuilder& builder) { builder.topLevel(std::make_shared<View>()); };
    auto view = [](const platform::ui::NibCoder&) { return std::make_shared<View>(); };
    const std::pair<std::function<void()>, const char*> cases[] = {
        { [&] { NibRegistry::registerNib("XibView", nib); }, "Nib 'XibView' is registered twice" },
        { [&] { NibRegistry::registerClass("LineView", view); }, "Class 'LineView' is registered twice" },
        { [&] { NibRegistry::registerNib("ContentView", nib); }, "Nib 'ContentView' is registered twice" },
    };
    for (const auto& [takeTheName, message] : cases) {
        EXPECT_EXIT(
            {
                takeTheName();
                try {
                    registerNibs();
                } catch (const platform::ui::NibError& error) {
                    std::fputs(error.what(), stderr);
                    std::exit(1);
                }
                std::exit(0);
            },
            testing::ExitedWithCode(1), message);
    }
}

}
}
