#include "platform/ui/ScrollView.h"

#include "platform/foundation/MainQueue.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform::ui;

namespace {

class RecordingScrollDelegate : public ScrollViewDelegate {
public:
    void didScroll(ScrollView& view) override { log.push_back("scroll " + toString(view.contentOffset())); }
    void willBeginDragging(ScrollView&) override { log.push_back("begin drag"); }
    void didEndDragging(ScrollView&, bool decelerate) override
    {
        log.push_back(decelerate ? "end drag, decelerating" : "end drag");
    }
    void didEndDecelerating(ScrollView& view) override
    {
        log.push_back("rest " + toString(view.contentOffset()));
    }
    void didEndScrollingAnimation(ScrollView&) override { log.push_back("animation ended"); }

    std::vector<std::string> log;
};

// Holds the offset at or below one page width, as a row that may only be swiped to the right.
class RightOnlyScrollView : public ScrollView {
public:
    using ScrollView::ScrollView;
    using ScrollView::setContentOffset;

    void setContentOffset(Point offset) override
    {
        ScrollView::setContentOffset(offset.x > bounds().width() ? Point { bounds().width(), 0 } : offset);
    }
};

// A 320-wide paging scroll view with three pages, shown in a window at the middle page.
struct PagingScroll : testing::Test {
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect { 0, 0, 320, 568 });
    std::shared_ptr<ScrollView> scroll = std::make_shared<ScrollView>(Rect { 0, 100, 320, 80 });
    std::shared_ptr<RecordingScrollDelegate> delegate = std::make_shared<RecordingScrollDelegate>();

    void SetUp() override
    {
        window->addSubview(scroll);
        scroll->setContentSize({ 960, 80 });
        scroll->setPagingEnabled(true);
        scroll->setContentOffset({ 320, 0 });
        scroll->setDelegate(delegate);
    }
};

}

TEST_F(PagingScroll, ADragFollowsTheFingerAndSettlesOnTheNearestPage)
{
    ASSERT_TRUE(scroll->drag({ -200, 30 }, 2));
    EXPECT_EQ(delegate->log,
        (std::vector<std::string> { "begin drag", "scroll (420, 0)", "scroll (520, 0)",
            "end drag, decelerating", "scroll (640, 0)", "rest (640, 0)" }));
    delegate->log.clear();
    scroll->drag({ 100, 0 }, 1);
    EXPECT_EQ(scroll->contentOffset(), (Point { 640, 0 })) << "less than half a page springs back";
    EXPECT_EQ(delegate->log.back(), "rest (640, 0)");
}

TEST_F(PagingScroll, DragsStopAtTheEndsOfTheContent)
{
    scroll->drag({ 2000, 0 });
    EXPECT_EQ(scroll->contentOffset(), (Point { 0, 0 }));
    scroll->setContentInset({ 0, 10, 0, 0 });
    scroll->setPagingEnabled(false);
    scroll->drag({ 50, 0 });
    EXPECT_EQ(scroll->contentOffset(), (Point { -10, 0 }));
    EXPECT_EQ(scroll->maximumContentOffset(), (Point { 640, 0 }));
}

TEST_F(PagingScroll, NoDragWhenScrollingIsOffOrTheViewTakesNoTouches)
{
    scroll->setScrollEnabled(false);
    EXPECT_FALSE(scroll->drag({ -320, 0 }));
    scroll->setScrollEnabled(true);
    scroll->setUserInteractionEnabled(false);
    EXPECT_FALSE(scroll->drag({ -320, 0 }));
    EXPECT_EQ(scroll->contentOffset(), (Point { 320, 0 }));
    EXPECT_TRUE(delegate->log.empty());
}

TEST_F(PagingScroll, ThePanRecognizerMovedToAnAncestorDrivesTheScrollViewFromThere)
{
    auto row = std::make_shared<View>(Rect { 0, 100, 320, 80 });
    window->addSubview(row);
    row->addSubview(scroll);
    scroll->setFrame({ 0, 0, 320, 80 });
    scroll->setUserInteractionEnabled(false);
    row->addGestureRecognizer(scroll->panGestureRecognizer());
    EXPECT_EQ(scroll->panGestureRecognizer()->view(), row.get());
    EXPECT_TRUE(scroll->gestureRecognizers().empty());

    EXPECT_TRUE(scroll->drag({ 250, 0 }));
    EXPECT_EQ(scroll->contentOffset(), (Point { 0, 0 }));
    EXPECT_EQ(delegate->log.back(), "rest (0, 0)");

    row->setUserInteractionEnabled(false);
    EXPECT_FALSE(scroll->panGestureRecognizer()->pan({ -320, 0 }));
}

TEST_F(PagingScroll, ASubclassHoldsEveryOffsetInBounds)
{
    auto row = std::make_shared<RightOnlyScrollView>(Rect { 0, 300, 320, 80 });
    window->addSubview(row);
    row->setContentSize({ 960, 80 });
    row->setPagingEnabled(true);
    row->setContentOffset({ 320, 0 });
    row->drag({ -300, 0 });
    EXPECT_EQ(row->contentOffset(), (Point { 320, 0 })) << "a drag to the left does not move it";
    row->setContentOffset({ 400, 12 }, true);
    EXPECT_EQ(row->contentOffset(), (Point { 320, 0 }));
    row->drag({ 300, 0 });
    EXPECT_EQ(row->contentOffset(), (Point { 0, 0 }));
}

TEST_F(PagingScroll, AnAnimatedOffsetAppliesAtOnceAndReportsTheEndOnTheClock)
{
    scroll->setContentOffset({ 0, 0 }, true);
    EXPECT_EQ(scroll->contentOffset(), (Point { 0, 0 }));
    EXPECT_EQ(delegate->log, (std::vector<std::string> { "scroll (0, 0)" }));
    platform::foundation::mainQueue().advance(0.31);
    EXPECT_EQ(delegate->log.back(), "animation ended");
    scroll->setContentOffset({ 320, 0 }, false);
    EXPECT_EQ(delegate->log.back(), "scroll (320, 0)");
}

TEST(GestureRecognizerTest, TapRecognizersTellTheirHandlersWhenTheViewCanBeTouched)
{
    auto view = std::make_shared<View>(Rect { 0, 0, 10, 10 });
    auto tap = std::make_shared<TapGestureRecognizer>();
    int taps = 0;
    auto handler = tap->addHandler([&](GestureRecognizer& recognizer) {
        EXPECT_EQ(recognizer.state(), GestureRecognizer::State::Ended);
        ++taps;
    });
    EXPECT_FALSE(tap->tap()) << "not attached";
    view->addGestureRecognizer(tap);
    EXPECT_TRUE(tap->tap());
    view->setHidden(true);
    EXPECT_FALSE(tap->tap());
    view->setHidden(false);
    tap->setEnabled(false);
    EXPECT_FALSE(tap->tap());
    tap->setEnabled(true);
    tap->removeHandler(handler);
    EXPECT_TRUE(tap->tap());
    EXPECT_EQ(taps, 1);
    view->removeGestureRecognizer(*tap);
    EXPECT_EQ(tap->view(), nullptr);
}
