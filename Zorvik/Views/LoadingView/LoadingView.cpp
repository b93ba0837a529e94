#include "Zorvik/Views/LoadingView/LoadingView.h"

#include "platform/ui/GraphicsContext.h"

#include <memory>
#include <numbers>

namespace zorvik {

using platform::foundation::mainQueue;

LoadingView::LoadingView(platform::ui::Rect frame)
    : View(frame)
{
}

LoadingView::~LoadingView()
{
    cancelNextStep();
}

void LoadingView::beginAnimation()
{
    if (m_animate)
        return;
    m_animate = true;
    animateOneStep();
}

void LoadingView::animateOneStep()
{
    m_end += stepDegrees;
    if (m_end > 360) {
        m_end -= 360;
        m_start += m_end;
    } else {
        m_start += stepDegrees;
    }
    setNeedsDisplay();
    scheduleNextStep();
}

void LoadingView::endAnimation()
{
    m_animate = false;
}

void LoadingView::scheduleNextStep()
{
    cancelNextStep();
    std::weak_ptr<View> weakSelf = weak_from_this();
    m_stepPending = true;
    m_nextStep = mainQueue().after(stepInterval, [weakSelf] {
        auto self = std::static_pointer_cast<LoadingView>(weakSelf.lock());
        if (!self)
            return;
        self->m_stepPending = false;
        if (self->m_animate && self->window())
            self->animateOneStep();
    });
}

void LoadingView::cancelNextStep()
{
    if (!m_stepPending)
        return;
    mainQueue().cancel(m_nextStep);
    m_stepPending = false;
}

void LoadingView::didMoveToWindow()
{
    if (!window())
        cancelNextStep();
    else if (m_animate && !m_stepPending)
        animateOneStep();
}

void LoadingView::draw(platform::ui::GraphicsContext& context)
{
    View::draw(context);
    double centreX = bounds().width() * 0.5;
    double centreY = bounds().height() * 0.5;
    double radius = centreX - 0.5;
    auto radians = [](double degrees) { return degrees / 180 * std::numbers::pi; };
    context.addArc({ centreX, centreY }, radius, radians(m_start), radians(m_end), false);
    context.setStrokeColor(m_spinnerColour);
    context.strokePath();
}

}
