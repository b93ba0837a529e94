#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNumberView.h"

#include "Zorvik/ViewControllers/InvoiceReferenceNumberViewController/InvoiceReferenceNumberViewController.h"
#include "Zorvik/Views/Categories/ViewConstraints.h"
#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNumberFormView.h"
#include "Zorvik/Views/UIView/ViewHolder.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Constraint.h"

namespace zorvik {

using platform::ui::Animation;

InvoiceReferenceNumberView::InvoiceReferenceNumberView()
{
    declareOutlet("shadowView", m_shadowView);
    declareOutlet("formView", m_formView);
    declareAction("shadowViewTouched", [this](platform::ui::View&) { shadowViewTouched(); });
}

std::shared_ptr<InvoiceReferenceNumberView> InvoiceReferenceNumberView::make(const api::Reference& reference,
    std::weak_ptr<InvoiceReferenceNumberViewController> controller,
    const api::SequentialReferenceComponentSystem& system)
{
    return makeOverlay<InvoiceReferenceNumberView>(reference, std::move(controller), system);
}

void InvoiceReferenceNumberView::setUp(const api::Reference& reference,
    std::weak_ptr<InvoiceReferenceNumberViewController> controller,
    const api::SequentialReferenceComponentSystem& system)
{
    m_controller = std::move(controller);
    m_shadowView->addConstraints(
        MatchParentConstraints::fixedHeightConstraint(m_shadowView, frame().height()));
    m_formView->addSubview(makeFormView(reference, system));
}

std::shared_ptr<InvoiceReferenceNumberFormView> InvoiceReferenceNumberView::makeFormView(
    const api::Reference& reference, const api::SequentialReferenceComponentSystem& system)
{
    return InvoiceReferenceNumberFormView::make(
        reference, std::static_pointer_cast<InvoiceReferenceNumberView>(shared_from_this()), system);
}

std::shared_ptr<InvoiceReferenceNumberFormView> InvoiceReferenceNumberView::panel() const
{
    return m_formView->subviews().empty()
        ? nullptr
        : std::dynamic_pointer_cast<InvoiceReferenceNumberFormView>(m_formView->subviews().front());
}

void InvoiceReferenceNumberView::fadeShadowViewIn()
{
    layoutIfNeeded();
    auto height = ViewConstraints::heightConstraint(*m_shadowView);
    auto self = shared_from_this();
    Animation::animate(animationDuration, [this, self, height] {
        m_shadowView->setAlpha(shadeAlpha);
        height->setConstant(frame().height() - m_formView->frame().height());
        layoutIfNeeded();
    });
}

void InvoiceReferenceNumberView::fadeShadowViewOut()
{
    auto height = ViewConstraints::heightConstraint(*m_shadowView);
    auto self = shared_from_this();
    std::weak_ptr<InvoiceReferenceNumberViewController> controller = m_controller;
    Animation::animate(
        animationDuration,
        [this, self, height] {
            m_shadowView->setAlpha(0);
            height->setConstant(m_shadowView->frame().height() + m_formView->frame().height());
            layoutIfNeeded();
        },
        [controller](bool) {
            if (auto editor = controller.lock())
                editor->dismiss();
        });
}

void InvoiceReferenceNumberView::shadowViewTouched()
{
    fadeShadowViewOut();
}

void InvoiceReferenceNumberView::invoiceReferenceNumberUpdated(const api::Reference& reference)
{
    if (auto editor = m_controller.lock())
        editor->invoiceReferenceNumberUpdated(reference);
}

std::shared_ptr<ReadOnlyInvoiceReferenceNumberView> ReadOnlyInvoiceReferenceNumberView::make(
    const api::Reference& reference, std::weak_ptr<InvoiceReferenceNumberViewController> controller,
    const api::SequentialReferenceComponentSystem& system)
{
    return makeOverlay<ReadOnlyInvoiceReferenceNumberView>(reference, std::move(controller), system);
}

std::shared_ptr<InvoiceReferenceNumberFormView> ReadOnlyInvoiceReferenceNumberView::makeFormView(
    const api::Reference& reference, const api::SequentialReferenceComponentSystem& system)
{
    return XibViewObjcmb::create<ReadOnlyInvoiceReferenceNumberFormView>(platform::ui::Rect::zero(),
        reference, std::static_pointer_cast<InvoiceReferenceNumberView>(shared_from_this()), system);
}

}
