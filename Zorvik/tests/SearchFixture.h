#pragma once

#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/ViewControllers/Transitions/NavigationControllerAnimationDelegate.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "Zorvik/Views/SearchView/SearchView.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Application.h"
#include "platform/ui/ContactsStore.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScreenDriver.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
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

/// A phone with the search screens: the app's nibs and pictures, the app's navigation stack with its
/// transitions in the key window of a 320 × 568 screen, a screen driver, an empty address book the app may
/// read, and the API library wired to a fresh local back-end that answers the company search.
class SearchTest : public ::testing::BackendFixture {
protected:
    void SetUp() override
    {
        BackendFixture::SetUp();
        platform::foundation::Files::setBundleDirectory(
            std::filesystem::path(ZORVIK_REPOSITORY_DIR) / "resources");
        registerNibs();
        platform::ui::Application::shared().reset();
        platform::ui::Keyboard::shared().reset();
        platform::ui::ContactsStore::resetDevice();
        platform::ui::ContactsStore::setAuthorizationStatus(
            platform::ui::ContactsAuthorizationStatus::Authorized);
        m_screen.emplace(platform::ui::Screen::size320x568);
        window = std::make_shared<platform::ui::Window>();
        window->makeKeyAndVisible();
        navigation = std::make_shared<NoHistoryNavigationController>();
        navigation->setNavigationBarHidden(true, false);
        navigation->setDelegate(m_transitions);
        platform::ui::ViewController::setRootViewController(*window, navigation);
    }

    void TearDown() override
    {
        platform::ui::ViewController::setRootViewController(*window, nullptr);
        window.reset();
        navigation.reset();
        platform::foundation::mainQueue().reset();
        platform::ui::ContactsStore::resetDevice();
        platform::ui::Application::shared().reset();
        platform::ui::Keyboard::shared().reset();
        platform::foundation::Files::setBundleDirectory({});
        m_screen.reset();
        BackendFixture::TearDown();
    }

    /// Pushes `screen`, not animated, and lets it settle.
    void show(const std::shared_ptr<platform::ui::ViewController>& screen)
    {
        navigation->pushViewController(screen, false);
        driver.wait(0.5);
    }

    /// Runs the main queue (waiting in real time for the back-end) until `done` holds, for at most thirty
    /// seconds. Returns whether it held.
    static bool runUntil(const std::function<bool()>& done)
    {
        return platform::foundation::mainQueue().runUntil(done, std::chrono::seconds(30));
    }

    /// Runs the main queue for `milliseconds` of real time, taking in whatever answers arrive.
    static void runFor(int milliseconds)
    {
        platform::foundation::mainQueue().runUntil(
            [] { return false; }, std::chrono::milliseconds(milliseconds));
    }

    /// Runs the main queue until `view`'s search has its answer (its spinner stops).
    static bool waitForAnswer(const SearchView& view)
    {
        return runUntil([&view] { return view.loadingView()->isHidden(); });
    }

    /// The search terms the back-end was asked for, oldest first.
    std::vector<std::string> searches()
    {
        std::vector<std::string> terms;
        for (const auto& request : backend().requests()) {
            if (request.path == "/companies")
                terms.push_back(request.queryValue("search_term").value_or("(none)"));
        }
        return terms;
    }

    /// What the rows on screen show, top first: the texts of each row's labels, joined by " / ".
    std::vector<std::string> rows(platform::ui::TableView& table) const
    {
        window->layoutIfNeeded();
        std::vector<std::string> texts;
        for (const auto& cell : table.visibleCells()) {
            std::string text;
            collectTexts(*cell, text);
            texts.push_back(text);
        }
        return texts;
    }

    /// Whether the keyboard is up typing into `field`.
    static bool typingInto(const platform::ui::View& field)
    {
        auto& keyboard = platform::ui::Keyboard::shared();
        return keyboard.isVisible() && keyboard.responder().get() == &field;
    }

    std::shared_ptr<platform::ui::Window> window;
    std::shared_ptr<NoHistoryNavigationController> navigation;
    platform::ui::ScreenDriver driver;

private:
    static void collectTexts(const platform::ui::View& view, std::string& text)
    {
        if (view.isHidden())
            return;
        if (auto label = dynamic_cast<const platform::ui::Label*>(&view);
            label && label->text() && !label->text()->empty())
            text += (text.empty() ? "" : " / ") + *label->text();
        for (const auto& subview : view.subviews())
            collectTexts(*subview, text);
    }

    std::optional<platform::ui::ScopedMainScreen> m_screen;
    std::shared_ptr<NavigationControllerAnimationDelegate> m_transitions {
        std::make_shared<NavigationControllerAnimationDelegate>()
    };
};

}
