#include "Zorvik/Views/SwipeableContentView/SwipeableContentView.h"

#include "Zorvik/Views/DirectionalScrollView/DirectionalScrollView.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableBackground.h"
#include "Zorvik/Views/SwipeableContentView/SwipeableContentViewDelegate.h"

#include <cmath>

namespace zorvik {

using platform::ui::Rect;

SwipeableContentView::SwipeableContentView()
{
    declareOutlet("swipeableView", m_swipeableView);
    declareOutlet("visibleContent", m_visibleContent);
}

std::shared_ptr<SwipeableContentView> SwipeableContentView::make(
    const std::shared_ptr<platform::ui::View>& content,
    const std::shared_ptr<SwipeableBackground>& background)
{
    auto container = create<SwipeableContentView>();
    container->m_background = background;
    Rect frame = content->frame();
    container->setFrame(frame);
    auto scroll = container->swipeableView();
    scroll->setFrame({ 0, 0, frame.width(), frame.height() });
    scroll->setScrollEnabled(background != nullptr);
    if (background) {
        background->setFrame({ 0, 0, frame.width(), frame.height() });
        container->addSubview(background);
        container->sendSubviewToBack(*background);
    }
    content->setFrame({ 0, 0, frame.width(), frame.height() });
    container->visibleContent()->addSubview(content);
    scroll->setDelegate(std::static_pointer_cast<SwipeableContentView>(container->shared_from_this()));
    if (background)
        background->swipeColourView()->setAlpha(0);
    return container;
}

void SwipeableContentView::setSwipeDirection(std::int64_t direction)
{
    m_swipeDirection = direction;
    swipeableView()->setDirection(direction);
}

void SwipeableContentView::layoutSubviews()
{
    XibViewObjcmb::layoutSubviews();
    auto scroll = swipeableView();
    Rect bounds = this->bounds();
    double width = bounds.width();
    scroll->setIsLocked(false);
    scroll->setFrame({ 0, 0, width, bounds.height() });
    if (m_background)
        m_background->setFrame({ 0, 0, width, bounds.height() });
    auto content = visibleContent();
    content->setFrame({ width, 0, width, bounds.height() });
    for (auto& row : content->subviews())
        row->setFrame({ 0, 0, width, bounds.height() });
    scroll->setContentSize({ 3 * width, scroll->contentSize().height });
    scroll->setContentOffset({ width, scroll->contentOffset().y });
    scroll->setIsLocked(true);
}

void SwipeableContentView::didScroll(platform::ui::ScrollView& scrollView)
{
    if (!m_background)
        return;
    double width = bounds().width();
    double x = scrollView.contentOffset().x;
    if (width <= 0)
        return;
    m_background->swipeColourView()->setAlpha(std::abs(width - x) / (width * 0.5));
    m_background->setDirection(width > x ? 0 : 1);
}

void SwipeableContentView::didEndDecelerating(platform::ui::ScrollView& scrollView)
{
    double width = bounds().width();
    double x = scrollView.contentOffset().x;
    if (x != 0 && x != 2 * width)
        return;
    auto self = shared_from_this();
    if (auto listener = observer())
        listener->swipeDidFinish(*this);
}

}
