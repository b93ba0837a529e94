#include "kit/analytics/EMBAnalyticsViewControllerTrackingController.h"

#include "platform/ui/Window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kit {
namespace {

using platform::ui::ViewController;
using ::testing::ElementsAre;
using Tracker = EMBAnalyticsViewControllerTrackingController;

// Notes each report as "appeared <title>" or "disappeared <title>".
class RecordingDelegate : public EMBAnalyticsViewControllerTrackingDelegate {
public:
    void didDetectAppearanceOfViewController(
        Tracker& tracker, const std::shared_ptr<ViewController>& controller) override
    {
        note(tracker, "appeared " + controller->title());
    }
    void didDetectDisappearanceOfViewController(
        Tracker& tracker, const std::shared_ptr<ViewController>& controller) override
    {
        note(tracker, "disappeared " + controller->title());
    }

    std::vector<std::string> reports;

private:
    void note(Tracker& tracker, std::string report)
    {
        EXPECT_EQ(&tracker, Tracker::sharedInstance().get());
        reports.push_back(std::move(report));
    }
};

// A screen with its own appearance work that calls the base, and one whose work leaves the base out.
class CallingScreen : public ViewController {
public:
    void viewDidAppear(bool animated) override
    {
        ++appearances;
        ViewController::viewDidAppear(animated);
    }
    void viewDidDisappear(bool animated) override { ViewController::viewDidDisappear(animated); }

    int appearances { 0 };
};
class SilentScreen : public ViewController {
public:
    void viewDidAppear(bool) override { }
    void viewDidDisappear(bool) override { }
};
class CallingSubscreen : public CallingScreen { };

template<class Screen> std::shared_ptr<Screen> screen(std::string title)
{
    auto controller = std::make_shared<Screen>();
    controller->setTitle(std::move(title));
    return controller;
}

// A tracker whose delegate records, and a window to show screens in; the tracker is released afterwards.
class EMBAnalyticsViewControllerTrackingControllerTest : public ::testing::Test {
protected:
    void SetUp() override { Tracker::sharedInstance()->setDelegate(m_delegate); }
    void TearDown() override
    {
        ViewController::setRootViewController(*m_window, nullptr);
        Tracker::disposeSharedInstance();
    }

    /// Makes `controller` the window's root: it appears and the former root disappears.
    void show(const std::shared_ptr<ViewController>& controller)
    {
        ViewController::setRootViewController(*m_window, controller);
    }
    std::vector<std::string>& reports() { return m_delegate->reports; }

    std::shared_ptr<RecordingDelegate> m_delegate { std::make_shared<RecordingDelegate>() };
    std::shared_ptr<platform::ui::Window> m_window { std::make_shared<platform::ui::Window>() };
};

TEST_F(EMBAnalyticsViewControllerTrackingControllerTest, ReportsTheScreensThatReachTheBaseOnceTrackingStarted)
{
    show(screen<ViewController>("Before"));
    EXPECT_TRUE(reports().empty()) << "not tracking yet";

    Tracker::sharedInstance()->startTracking();
    EXPECT_TRUE(Tracker::sharedInstance()->isTracking());
    auto calling = screen<CallingScreen>("Calling");
    show(calling);
    show(screen<SilentScreen>("Silent"));
    show(screen<ViewController>("Plain"));

    EXPECT_THAT(reports(),
        ElementsAre("disappeared Before", "appeared Calling", "disappeared Calling", "appeared Plain"))
        << "the silent screen never reaches the base";
    EXPECT_EQ(calling->appearances, 1) << "the screen's own work runs as before";
}

TEST_F(EMBAnalyticsViewControllerTrackingControllerTest, StartingTwiceReportsEachChangeOnce)
{
    Tracker::sharedInstance()->startTracking();
    Tracker::sharedInstance()->startTracking();
    show(screen<ViewController>("Plain"));
    EXPECT_THAT(reports(), ElementsAre("appeared Plain"));
}

TEST_F(EMBAnalyticsViewControllerTrackingControllerTest, ALeftOutClassIsLeftOutExactly)
{
    auto tracker = Tracker::sharedInstance();
    tracker->startTracking();
    tracker->addBlackListViewControllerClass(typeid(CallingScreen));
    EXPECT_TRUE(tracker->isBlacklistedViewControllerClass(typeid(CallingScreen)));

    show(screen<CallingScreen>("Left out"));
    show(screen<CallingSubscreen>("Subclass"));
    tracker->removeBlackListViewControllerClass(typeid(CallingScreen));
    show(screen<CallingScreen>("Back"));

    EXPECT_THAT(reports(), ElementsAre("appeared Subclass", "disappeared Subclass", "appeared Back"));
}

TEST_F(EMBAnalyticsViewControllerTrackingControllerTest, ReleasingTheTrackerPutsTheFormerImplementationsBack)
{
    Tracker::sharedInstance()->startTracking();
    Tracker::disposeSharedInstance();
    Tracker::sharedInstance()->setDelegate(m_delegate);
    EXPECT_FALSE(Tracker::sharedInstance()->isTracking());

    show(screen<ViewController>("After"));
    EXPECT_TRUE(reports().empty()) << "a new tracker that has not started reports nothing";
}

TEST_F(EMBAnalyticsViewControllerTrackingControllerTest, AReleasedDelegateIsToldNothing)
{
    Tracker::sharedInstance()->startTracking();
    m_delegate.reset();
    show(screen<ViewController>("Unwatched"));
    EXPECT_EQ(Tracker::sharedInstance()->delegate(), nullptr);
}

}
}
