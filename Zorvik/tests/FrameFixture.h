#pragma once

#include "Zorvik/Views/ContentView/FrameNibs.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScreenDriver.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::test {

/// A phone for screen-frame tests: the frame's nibs registered, the bar's images in a resource folder of
/// its own ("BtnTealLessThan" 1 pixel wide, "IconDownChevron" 2, "BtnLessThanWhite" 3), a key window on a
/// 320 × 568 screen (or another one chosen with useScreen()), a fresh keyboard and a screen driver.
/// Tests start it in their SetUp() and stop it in their TearDown(), or derive from FrameTest.
class FramePhone {
public:
    /// Makes the phone ready.
    void start()
    {
        writeImage("BtnTealLessThan", 1);
        writeImage("IconDownChevron", 2);
        writeImage("BtnLessThanWhite", 3);
        platform::foundation::Files::setBundleDirectory(m_bundle.path());
        registerFrameNibs();
        platform::ui::Application::shared().reset();
        platform::ui::Keyboard::shared().reset();
        useScreen(platform::ui::Screen::size320x568);
    }

    /// Puts everything back.
    void stop()
    {
        if (window)
            platform::ui::ViewController::setRootViewController(*window, nullptr);
        window.reset();
        platform::foundation::mainQueue().reset();
        platform::ui::Application::shared().reset();
        platform::ui::Keyboard::shared().reset();
        platform::foundation::Files::setBundleDirectory({});
    }

    /// Puts the phone on a screen of `size` with a new, empty key window.
    void useScreen(platform::ui::Size size)
    {
        if (window)
            platform::ui::ViewController::setRootViewController(*window, nullptr);
        window.reset();
        m_screen.reset();
        m_screen.emplace(size);
        window = std::make_shared<platform::ui::Window>();
        window->makeKeyAndVisible();
    }

    /// Shows `screens` as the stack of a navigation controller that is the window's root, the last on top.
    std::shared_ptr<platform::ui::NavigationController> showStack(
        std::vector<std::shared_ptr<platform::ui::ViewController>> screens)
    {
        auto navigation = std::make_shared<platform::ui::NavigationController>();
        navigation->setNavigationBarHidden(true, false);
        navigation->setViewControllers(std::move(screens), false);
        platform::ui::ViewController::setRootViewController(*window, navigation);
        layout();
        return navigation;
    }

    /// Solves the window's constraints, as a screen does before it is drawn.
    void layout() const { window->layoutIfNeeded(); }

    /// Taps what shows `text`, on a screen laid out first.
    void tap(const std::string& text)
    {
        layout();
        driver.tap(text);
        layout();
    }

    /// Lets time pass on the main queue's clock.
    static void advance(double seconds) { platform::foundation::mainQueue().advance(seconds); }

    /// Runs whatever is due on the main queue.
    static void settle() { platform::foundation::mainQueue().runUntilIdle(); }

    /// The resource image named `name`.
    static std::shared_ptr<const platform::ui::Image> image(const std::string& name)
    {
        return platform::ui::Image::named(name);
    }

    std::shared_ptr<platform::ui::Window> window;
    platform::ui::ScreenDriver driver;

private:
    // Writes a one-pixel-high PNG `width` pixels wide into the resource folder.
    void writeImage(const std::string& name, int width)
    {
        auto png = platform::ui::Image::fromPixels(
            width, 1, std::vector<std::uint8_t>(std::size_t(width) * 4, 255));
        ASSERT_TRUE(
            platform::foundation::Files::writeBytes(m_bundle.path() / (name + ".png"), png->pngData()));
    }

    ::testing::TemporaryDirectory m_bundle;
    std::optional<platform::ui::ScopedMainScreen> m_screen;
};

/// A test on a FramePhone.
class FrameTest : public ::testing::Test, public FramePhone {
protected:
    void SetUp() override { start(); }
    void TearDown() override { stop(); }
};

}
