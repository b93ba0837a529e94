#include "Zorvik/Views/UserHintsView/UserSwipeHintsView.h"

#include "platform/foundation/MainQueue.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

UserSwipeHintsView::UserSwipeHintsView()
{
    declareOutlet("hintView", m_hintView);
    declareOutlet("swipeIconLeft", m_swipeIconLeft);
    declareOutlet("swipeIconRight", m_swipeIconRight);
    declareOutlet("swipeIndicationText", m_swipeIndicationText);
}

void UserSwipeHintsView::construct()
{
    HintView::construct();
    hintView()->setAlpha(0);
}

void UserSwipeHintsView::showHint()
{
    fadeAfterDelay(1);
}

void UserSwipeHintsView::hideHint()
{
    fadeAfterDelay(0);
}

void UserSwipeHintsView::fadeAfterDelay(double alpha)
{
    std::weak_ptr<UserSwipeHintsView> weakSelf
        = std::static_pointer_cast<UserSwipeHintsView>(shared_from_this());
    platform::foundation::mainQueue().after(kFadeDelay, [weakSelf, alpha] {
        if (auto self = weakSelf.lock())
            platform::ui::Animation::animate(
                0.5, 0, { platform::ui::AnimationCurve::Linear }, [&] { self->hintView()->setAlpha(alpha); });
    });
}

std::shared_ptr<platform::ui::View> UserSwipeHintsView::visibilityView() const
{
    return hintView();
}

std::int64_t UserSwipeHintsView::icon() const
{
    return m_swipeIconLeft.lock()->isHidden() ? 1 : 0;
}

void UserSwipeHintsView::setIcon(std::int64_t icon)
{
    m_swipeIconLeft.lock()->setHidden(icon == 1);
    m_swipeIconRight.lock()->setHidden(icon != 1);
}

std::string UserSwipeHintsView::text() const
{
    return m_swipeIndicationText.lock()->text().value_or("");
}

void UserSwipeHintsView::setText(const std::string& text)
{
    m_swipeIndicationText.lock()->setText(text);
}

}
