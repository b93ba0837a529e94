#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "platform/ui/ScrollView.h"

#include <cstdint>
#include <memory>

namespace zorvik {

class DirectionalScrollView;
class SwipeableBackground;
class SwipeableContentViewDelegate;

/// A row view that the user can swipe aside to one side: the row sits on the middle page of a paged
/// horizontal scroll view three pages wide, locked so that it moves only towards `swipeDirection`. Behind
/// it a background's colour view grows opaque with the swipe (fully at half a page) and shows the pair of
/// its direction. When the row comes to rest on an outer page the observer hears swipeDidFinish; a row let
/// go before that returns to the middle. Without a background the row does not scroll. Laid out by the nib
/// "SwipeableContentView"; made in code only, with make().
class SwipeableContentView : public XibViewObjcmb, public platform::ui::ScrollViewDelegate {
public:
    /// The row may be swiped to the right (towards offset 0).
    static constexpr std::int64_t SwipeRight = 0;
    /// The row may be swiped to the left (towards offset 2 x width).
    static constexpr std::int64_t SwipeLeft = 1;

    SwipeableContentView();

    /// A container of `content`'s frame holding `content`, with `background` behind it (null: the row
    /// does not scroll).
    static std::shared_ptr<SwipeableContentView> make(const std::shared_ptr<platform::ui::View>& content,
        const std::shared_ptr<SwipeableBackground>& background);

    std::string className() const override { return "SwipeableContentView"; }

    /// The paged scroll view the row moves in.
    std::shared_ptr<DirectionalScrollView> swipeableView() const { return m_swipeableView.lock(); }
    /// The view on the middle page that holds the row view.
    std::shared_ptr<platform::ui::View> visibleContent() const { return m_visibleContent.lock(); }
    /// The background, or null.
    const std::shared_ptr<SwipeableBackground>& background() const { return m_background; }

    /// Who hears of a finished swipe, or null.
    std::shared_ptr<SwipeableContentViewDelegate> observer() const { return m_observer.lock(); }
    /// Sets who hears of a finished swipe, held weakly.
    void setObserver(const std::weak_ptr<SwipeableContentViewDelegate>& observer) { m_observer = observer; }

    /// SwipeRight or SwipeLeft.
    std::int64_t swipeDirection() const { return m_swipeDirection; }
    /// Sets the side the row may be swiped to (the scroll view's direction).
    void setSwipeDirection(std::int64_t direction);

    /// Content three widths wide, the row back on the middle page, the scroll view locked.
    void layoutSubviews() override;
    /// The background follows the offset: its opacity and which pair it shows.
    void didScroll(platform::ui::ScrollView& scrollView) override;
    /// At rest on an outer page, tells the observer.
    void didEndDecelerating(platform::ui::ScrollView& scrollView) override;

private:
    std::weak_ptr<DirectionalScrollView> m_swipeableView;
    std::weak_ptr<platform::ui::View> m_visibleContent;
    std::weak_ptr<SwipeableContentViewDelegate> m_observer;
    std::shared_ptr<SwipeableBackground> m_background;
    std::int64_t m_swipeDirection { SwipeRight };
};

}
