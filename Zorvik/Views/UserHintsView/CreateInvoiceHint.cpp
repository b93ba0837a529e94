#include "Zorvik/Views/UserHintsView/CreateInvoiceHint.h"

#include "platform/foundation/MainQueue.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace zorvik {

using platform::ui::Animation;

CreateInvoiceHint::CreateInvoiceHint()
{
    declareOutlet("buttonHint", m_buttonHint);
    declareOutlet("tutorialDescription", m_tutorialDescription);
}

void CreateInvoiceHint::construct()
{
    HintView::construct();
    buttonHint()->setTransformScale({ 0, 0 });
    tutorialDescription()->setAlpha(0);
}

void CreateInvoiceHint::setHidden(bool hidden)
{
    m_isHiding = hidden;
    HintView::setHidden(hidden);
}

void CreateInvoiceHint::showHint()
{
    std::weak_ptr<CreateInvoiceHint> weakSelf
        = std::static_pointer_cast<CreateInvoiceHint>(shared_from_this());
    platform::foundation::mainQueue().after(kShowDelay, [weakSelf] {
        auto self = weakSelf.lock();
        if (!self)
            return;
        Animation::animate(
            0.5, 0, { platform::ui::AnimationCurve::Linear },
            [&] {
                if (!self->m_isHiding)
                    self->buttonHint()->setTransformScale({ 1.05, 1.05 });
            },
            [weakSelf](bool) {
                auto self = weakSelf.lock();
                if (!self || self->m_isHiding)
                    return;
                Animation::animate(0.2, [&] {
                    self->buttonHint()->setTransformScale({ 1, 1 });
                    self->tutorialDescription()->setAlpha(1);
                });
            });
    });
}

void CreateInvoiceHint::hideHint()
{
    Animation::animate(0.5, [this] {
        tutorialDescription()->setAlpha(0);
        buttonHint()->setTransformScale({ 0, 0 });
    });
}

std::shared_ptr<platform::ui::View> CreateInvoiceHint::visibilityView() const
{
    return tutorialDescription();
}

}
