#include "platform/ui/Window.h"

#include "platform/ui/Constraint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/VisualFormat.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace platform::ui;

TEST(ScreenTest, TheMainScreenIsASettingChosenBeforeViewsAreBuilt)
{
    EXPECT_EQ(Screen::main().bounds(), (Rect { 0, 0, 320, 568 }));
    EXPECT_EQ(Screen::main().scale(), 2);
    EXPECT_FALSE(Screen::main().isShort());
    {
        ScopedMainScreen screen(Screen::size414x736, 3);
        EXPECT_EQ(Screen::main().bounds().size, Screen::size414x736);
        EXPECT_EQ(Screen::main().scale(), 3);
        EXPECT_EQ(std::make_shared<Window>()->frame(), (Rect { 0, 0, 414, 736 }))
            << "a window covers the screen of its time";
        ScopedMainScreen small(Screen::size320x480);
        EXPECT_TRUE(Screen::main().isShort());
    }
    EXPECT_EQ(Screen::main().bounds().size, Screen::size320x568);
    EXPECT_THROW(Screen::configureMain({ 0, 480 }), std::invalid_argument);
}

TEST(WindowTest, TheKeyWindowAndItsContentView)
{
    auto first = std::make_shared<Window>();
    auto second = std::make_shared<Window>(Rect { 0, 0, 100, 200 });
    EXPECT_EQ(first->window(), first.get());
    EXPECT_NE(
        std::find(Window::windows().begin(), Window::windows().end(), second.get()), Window::windows().end());

    first->makeKeyAndVisible();
    second->makeKeyAndVisible();
    EXPECT_EQ(Window::keyWindow(), second);
    EXPECT_FALSE(first->isKeyWindow());

    auto overlay = std::make_shared<View>();
    second->addSubview(overlay);
    auto content = std::make_shared<View>();
    second->setContentView(content);
    EXPECT_EQ(content->frame(), (Rect { 0, 0, 100, 200 }));
    EXPECT_EQ(second->subviews().front(), content) << "behind what is already shown";
    EXPECT_EQ(content->window(), second.get());
    second->setFrame({ 0, 0, 300, 400 });
    EXPECT_EQ(content->frame(), (Rect { 0, 0, 300, 400 }));

    auto pinned = std::make_shared<View>();
    pinned->setTranslatesAutoresizingMaskIntoConstraints(false);
    second->setContentView(pinned);
    EXPECT_EQ(content->superview(), nullptr);
    second->addConstraints(VisualFormat::constraints("H:|-10-[v]-10-|", { { "v", pinned } }));
    second->addConstraints(VisualFormat::constraints("V:|-20-[v]|", { { "v", pinned } }));
    second->layoutIfNeeded();
    EXPECT_EQ(pinned->frame(), (Rect { 10, 20, 280, 380 }));

    Window* raw = second.get();
    second.reset();
    EXPECT_EQ(Window::keyWindow(), nullptr);
    EXPECT_EQ(std::find(Window::windows().begin(), Window::windows().end(), raw), Window::windows().end());
}
