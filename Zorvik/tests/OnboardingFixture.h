#pragma once

#include "Zorvik/DeviceStorage/DeviceSettingsStore.h"
#include "Zorvik/DeviceStorage/UserStore.h"
#include "Zorvik/Models/OstrelSingleton.h"
#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/ViewControllers/Transitions/NavigationControllerAnimationDelegate.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/outside/APIConfiguration.h"
#include "platform/ui/Application.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScreenDriver.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/BackendFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::test {

/// A phone on which a person walks the onboarding screens: the app's nibs and pictures (the repository's
/// resources), a fresh device (home folder, stores), the app's navigation stack with its transitions in the
/// key window of a 320 × 568 screen (useScreen() for another), a screen driver, the API library and the
/// remote configuration wired to a fresh local back-end, and the log lines written meanwhile.
class OnboardingTest : public ::testing::BackendFixture {
protected:
    void SetUp() override
    {
        BackendFixture::SetUp();
        platform::foundation::Files::setHomeDirectory(m_home.path());
        UserStore::resetSharedStore();
        DeviceSettingsStore::resetSharedStore();
        platform::foundation::Files::setBundleDirectory(
            std::filesystem::path(ZORVIK_REPOSITORY_DIR) / "resources");
        registerNibs();
        platform::ui::Application::shared().reset();
        platform::ui::Keyboard::shared().reset();
        platform::foundation::Log::setCapture([this](const std::string& line) { logLines.push_back(line); });
        OstrelSingleton::setApiConfig(
            std::make_shared<platform::outside::APIConfiguration>(backend().url("/")));
        useScreen(platform::ui::Screen::size320x568);
    }

    void TearDown() override
    {
        if (window)
            platform::ui::ViewController::setRootViewController(*window, nullptr);
        window.reset();
        navigation.reset();
        platform::foundation::mainQueue().reset();
        OstrelSingleton::setApiConfig(nullptr);
        platform::foundation::Log::setCapture({});
        platform::ui::Application::shared().reset();
        platform::ui::Keyboard::shared().reset();
        platform::foundation::Files::setBundleDirectory({});
        UserStore::resetSharedStore();
        DeviceSettingsStore::resetSharedStore();
        platform::foundation::Files::setHomeDirectory({});
        BackendFixture::TearDown();
    }

    /// Puts the phone on a screen of `size` with a new key window whose root is a new, empty app stack.
    void useScreen(platform::ui::Size size)
    {
        if (window)
            platform::ui::ViewController::setRootViewController(*window, nullptr);
        window.reset();
        m_screen.reset();
        m_screen.emplace(size);
        window = std::make_shared<platform::ui::Window>();
        window->makeKeyAndVisible();
        navigation = std::make_shared<NoHistoryNavigationController>();
        navigation->setNavigationBarHidden(true, false);
        navigation->setDelegate(m_transitions);
        platform::ui::ViewController::setRootViewController(*window, navigation);
    }

    /// Pushes `screen` on the stack, not animated, and lays the window out.
    void show(const std::shared_ptr<platform::ui::ViewController>& screen)
    {
        navigation->pushViewController(screen, false);
        settle();
    }

    /// The class names of the stack, bottom first.
    std::vector<std::string> stack() const
    {
        std::vector<std::string> names;
        for (const auto& screen : navigation->viewControllers())
            names.push_back(screen->className());
        return names;
    }

    /// The screen on top of the stack.
    template<class T = platform::ui::ViewController> std::shared_ptr<T> top() const
    {
        return std::dynamic_pointer_cast<T>(navigation->topViewController());
    }

    /// Taps the keys of `digits` on the PIN pad, one after another.
    void typePin(const std::string& digits)
    {
        for (char digit : digits)
            driver.tap(std::string(1, digit));
    }

    /// Runs the main queue (waiting in real time for the back-end's answers) until `done` holds, for at most
    /// thirty seconds; then lets the transitions end. Returns whether `done` held.
    bool waitUntil(const std::function<bool()>& done)
    {
        bool held = platform::foundation::mainQueue().runUntil(done, std::chrono::seconds(30));
        driver.wait(0.5);
        return held;
    }

    /// Lets the transitions end.
    void settle() { driver.wait(0.5); }

    /// The contents of every file below the device's home folder, concatenated (binary stores included).
    std::string everythingOnTheDevice() const
    {
        std::string all;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_home.path())) {
            if (!entry.is_regular_file())
                continue;
            if (auto bytes = platform::foundation::Files::readBytes(entry.path()))
                all.append(bytes->begin(), bytes->end());
        }
        return all;
    }

    std::shared_ptr<platform::ui::Window> window;
    std::shared_ptr<NoHistoryNavigationController> navigation;
    platform::ui::ScreenDriver driver;
    std::vector<std::string> logLines;

private:
    ::testing::TemporaryDirectory m_home;
    std::optional<platform::ui::ScopedMainScreen> m_screen;
    std::shared_ptr<NavigationControllerAnimationDelegate> m_transitions
        = std::make_shared<NavigationControllerAnimationDelegate>();
};

}
