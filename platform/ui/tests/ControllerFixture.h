#pragma once

#include "platform/foundation/MainQueue.h"
#include "platform/ui/Application.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace platform::ui::test {

/// A list of what happened, in order, shared by the recording objects of a test.
using Journal = std::shared_ptr<std::vector<std::string>>;

/// A controller that writes its life into a journal: "A didLoad", "B willAppear moving", ...
class RecordingController : public ViewController {
public:
    RecordingController(std::string name, Journal journal)
        : m_name(std::move(name))
        , m_journal(std::move(journal))
    {
        setTitle(m_name);
    }

    void viewDidLoad() override { m_journal->push_back(m_name + " didLoad"); }
    void viewWillAppear(bool) override { note("willAppear"); }
    void viewDidAppear(bool) override { note("didAppear"); }
    void viewWillDisappear(bool) override { note("willDisappear"); }
    void viewDidDisappear(bool) override { note("didDisappear"); }

    StatusBarStyle preferredStatusBarStyle() const override { return m_style; }
    void setStyle(StatusBarStyle style) { m_style = style; }

private:
    void note(const std::string& what)
    {
        std::string line = m_name + " " + what;
        if (isMovingToParent())
            line += " moving";
        if (isMovingFromParent())
            line += " leaving";
        if (isBeingPresented())
            line += " presented";
        if (isBeingDismissed())
            line += " dismissed";
        m_journal->push_back(line);
    }

    std::string m_name;
    Journal m_journal;
    StatusBarStyle m_style { StatusBarStyle::Default };
};

/// Registers a nib for the life of the object, so that a test that stops early leaves none behind.
class ScopedNib {
public:
    /// Registers the nib `name`.
    ScopedNib(std::string name, NibRegistry::Builder builder)
        : m_name(std::move(name))
    {
        NibRegistry::registerNib(m_name, std::move(builder));
    }
    /// Removes the nib.
    ~ScopedNib() { NibRegistry::removeNib(m_name); }

    ScopedNib(const ScopedNib&) = delete;
    ScopedNib& operator=(const ScopedNib&) = delete;

private:
    std::string m_name;
};

/// A 320 x 568 key window and a fresh application, keyboard and journal for each test.
class ControllerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application::shared().reset();
        Keyboard::shared().reset();
        window = std::make_shared<Window>();
        window->makeKeyAndVisible();
    }

    void TearDown() override
    {
        ViewController::setRootViewController(*window, nullptr);
        foundation::mainQueue().reset();
        Application::shared().reset();
        Keyboard::shared().reset();
    }

    std::shared_ptr<RecordingController> controller(const std::string& name)
    {
        return std::make_shared<RecordingController>(name, journal);
    }

    /// The journal's lines so far, then empties it.
    std::vector<std::string> takeJournal()
    {
        auto lines = *journal;
        journal->clear();
        return lines;
    }

    static void advance(double seconds) { foundation::mainQueue().advance(seconds); }

    ScopedMainScreen screen { Screen::size320x568 };
    Journal journal { std::make_shared<std::vector<std::string>>() };
    std::shared_ptr<Window> window;
};

}
