#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/Reference.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/SequentialReferenceComponentSystem.h"

#include <memory>
#include <string>

namespace zorvik {

class InvoiceReferenceNumberFormView;
class InvoiceReferenceNumberViewController;
class ViewHolder;

/// The reference editor's overlay: a dimmed area above and the panel (InvoiceReferenceNumberFormView)
/// below it. The panel starts below the screen; fadeShadowViewIn() dims the area to half black while the
/// panel slides up (0.3 s), fadeShadowViewOut() does the reverse and then dismisses the editor. A tap on
/// the dimmed area (accessibility label "dimmed area") slides it away. Laid out by the nib
/// "InvoiceReferenceNumberView".
class InvoiceReferenceNumberView : public XibViewObjcmb {
public:
    /// How long the slides take, in seconds.
    static constexpr double animationDuration = 0.3;
    /// The alpha of the dimmed area while the panel shows.
    static constexpr double shadeAlpha = 0.5;

    InvoiceReferenceNumberView();

    /// An overlay of screen size holding a panel for `reference`, checked against `system`.
    static std::shared_ptr<InvoiceReferenceNumberView> make(const api::Reference& reference,
        std::weak_ptr<InvoiceReferenceNumberViewController> controller,
        const api::SequentialReferenceComponentSystem& system);

    std::string className() const override { return "InvoiceReferenceNumberView"; }

    /// Dims the area and slides the panel up.
    void fadeShadowViewIn();
    /// Clears the area and slides the panel down, then dismisses the editor.
    void fadeShadowViewOut();
    /// The dimmed area was tapped.
    void shadowViewTouched();
    /// A reference was saved: the controller passes it on.
    void invoiceReferenceNumberUpdated(const api::Reference& reference);

    const std::shared_ptr<platform::ui::View>& shadowView() const { return m_shadowView; }
    const std::shared_ptr<ViewHolder>& formView() const { return m_formView; }
    /// The panel.
    std::shared_ptr<InvoiceReferenceNumberFormView> panel() const;

protected:
    /// The panel this overlay holds.
    virtual std::shared_ptr<InvoiceReferenceNumberFormView> makeFormView(
        const api::Reference& reference, const api::SequentialReferenceComponentSystem& system);

    /// Keeps the controller, starts the dimmed area at the overlay's height and adds the panel.
    void setUp(const api::Reference& reference,
        std::weak_ptr<InvoiceReferenceNumberViewController> controller,
        const api::SequentialReferenceComponentSystem& system);

    template<class T>
    static std::shared_ptr<T> makeOverlay(const api::Reference& reference,
        std::weak_ptr<InvoiceReferenceNumberViewController> controller,
        const api::SequentialReferenceComponentSystem& system)
    {
        auto overlay = create<T>();
        overlay->setUp(reference, std::move(controller), system);
        return overlay;
    }

private:
    std::shared_ptr<platform::ui::View> m_shadowView;
    std::shared_ptr<ViewHolder> m_formView;
    std::weak_ptr<InvoiceReferenceNumberViewController> m_controller;
};

/// The overlay of a sent invoice's reference: it holds a ReadOnlyInvoiceReferenceNumberFormView.
class ReadOnlyInvoiceReferenceNumberView : public InvoiceReferenceNumberView {
public:
    /// A read-only overlay.
    static std::shared_ptr<ReadOnlyInvoiceReferenceNumberView> make(const api::Reference& reference,
        std::weak_ptr<InvoiceReferenceNumberViewController> controller,
        const api::SequentialReferenceComponentSystem& system);

    std::string className() const override { return "ReadOnlyInvoiceReferenceNumberView"; }
    /// The editable overlay's nib.
    std::string nib() const override { return "InvoiceReferenceNumberView"; }

protected:
    std::shared_ptr<InvoiceReferenceNumberFormView> makeFormView(
        const api::Reference& reference, const api::SequentialReferenceComponentSystem& system) override;
};

}
