#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNumberFormView.h"

#include "Zorvik/Views/Categories/FindFirstResponder.h"
#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceNumberView.h"
#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceTextFields.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditObjc.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Button.h"
#include "platform/ui/Constraint.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"

namespace zorvik {

using platform::ui::ControlEvent;

namespace {

// The counter after `reference`'s, written with leading zeros to at least the width of its counter
// ("0041" gives "0042", "99" gives "100").
std::string nextCounter(const api::Reference& reference)
{
    std::string next = std::to_string(reference.counterValue() + 1);
    std::size_t width = reference.counter().size();
    if (next.size() < width)
        next.insert(0, width - next.size(), '0');
    return next;
}

// The constraint fixing the height of `view` among those its superview holds, or null.
std::shared_ptr<platform::ui::Constraint> heightInSuperview(const platform::ui::View& view)
{
    auto holder = view.superview();
    if (!holder)
        return nullptr;
    for (const auto& constraint : holder->constraints()) {
        if (constraint->firstItem().get() == &view
            && constraint->firstAttribute() == platform::ui::LayoutAttribute::Height)
            return constraint;
    }
    return nullptr;
}

}

InvoiceReferenceNumberFormView::InvoiceReferenceNumberFormView(api::Reference reference,
    std::weak_ptr<InvoiceReferenceNumberView> view, api::SequentialReferenceComponentSystem system)
    : FormViewObjc(reference.record(), NavigationBarModeEditObjc::defaultDisabledThemeNegativeDownChevron(),
        NavigationBarModeEditObjc::defaultEditingTheme())
    , m_view(std::move(view))
    , m_reference(std::move(reference))
    , m_referenceSystem(std::move(system))
{
    declareOutlet("nonEditingView", m_nonEditingView);
    declareOutlet("editingView", m_editingView);
    declareOutlet("referencePreviewTextField", m_referencePreviewTextField);
    declareOutlet("referencePrefixTextField", m_referencePrefixTextField);
    declareOutlet("referenceNumberTextField", m_referenceNumberTextField);
    declareOutlet("showEditingViewButton", m_showEditingViewButton);
    declareOutlet("nonEditingViewInfoLabel", m_nonEditingViewInfoLabel);
    declareOutlet("editingViewInfoLabel", m_editingViewInfoLabel);
    declareAction("showEditingView", [this](platform::ui::View&) { showEditingView(); });
    declareAction("textFieldBeganEditing", [this](platform::ui::View&) { textFieldBeganEditing(); });
}

std::shared_ptr<InvoiceReferenceNumberFormView> InvoiceReferenceNumberFormView::make(
    const api::Reference& reference, std::weak_ptr<InvoiceReferenceNumberView> view,
    const api::SequentialReferenceComponentSystem& system)
{
    return create<InvoiceReferenceNumberFormView>(
        platform::ui::Rect::zero(), reference, std::move(view), system);
}

void InvoiceReferenceNumberFormView::construct()
{
    FormViewObjc::construct();
    navigationBar()->setText(std::string("Invoice number"));
    if (auto height = heightInSuperview(*navigationBar()))
        height->setConstant(barHeight);
    setupInfoLabels();
    m_referencePreviewTextField->setText(m_reference.prefix() + m_reference.counter());
    m_referenceNumberTextField->setText(m_reference.counter());
    m_referencePrefixTextField->setText(m_reference.prefix());
    hideEditingView();
    configureTextFields();
}

void InvoiceReferenceNumberFormView::configureTextFields()
{
    std::weak_ptr<const void> target = lifetime();
    m_referencePrefixTextField->addTarget(target, ControlEvent::EditingChanged, [this](auto&) {
        updateReferenceCounterForPrefix();
        validateReferenceNumber();
    });
    m_referenceNumberTextField->addTarget(
        target, ControlEvent::EditingChanged, [this](auto&) { validateReferenceNumber(); });
}

void InvoiceReferenceNumberFormView::showEditingView()
{
    m_nonEditingView->setHidden(true);
    m_editingView->setHidden(false);
    m_referenceNumberTextField->becomeFirstResponder();
}

void InvoiceReferenceNumberFormView::hideEditingView()
{
    navigationBar()->setNegativeButtonImage(platform::ui::Image::named("IconDownChevron"));
    m_nonEditingView->setHidden(false);
    m_editingView->setHidden(true);
}

void InvoiceReferenceNumberFormView::textFieldBeganEditing()
{
    if (!isEditing())
        setIsEditing(true);
}

void InvoiceReferenceNumberFormView::updateReferenceCounterForPrefix()
{
    m_referenceNumberTextField->setText(
        m_referenceSystem.nextReferenceForPrefix(m_referencePrefixTextField->text()).counter());
}

void InvoiceReferenceNumberFormView::validateReferenceNumber()
{
    m_reference = typedReference();
    if (isValidReference()) {
        updateInfoMessage();
        navigationBar()->enablePositiveButton();
    } else {
        setupErrorLabels();
        navigationBar()->disabledPositiveButton();
    }
}

bool InvoiceReferenceNumberFormView::isValidReference() const
{
    return !m_reference.counter().empty() && m_referenceSystem.referenceIsValid(m_reference);
}

void InvoiceReferenceNumberFormView::updateInfoMessage()
{
    setupInfoLabels();
}

Document InvoiceReferenceNumberFormView::currentDocument() const
{
    return typedReference().record();
}

void InvoiceReferenceNumberFormView::setCurrentDocument(const Document& document)
{
    if (auto record = document.dictionary()) {
        api::Reference reference(record);
        m_referencePrefixTextField->setText(reference.prefix());
        m_referenceNumberTextField->setText(reference.counter());
    }
    FormViewObjc::setCurrentDocument(document);
}

void InvoiceReferenceNumberFormView::save(SavedBlock saved, SaveFailedBlock)
{
    auto self = shared_from_this();
    FindFirstResponder::resignCurrentResponder(*this);
    hideEditingView();
    api::Reference reference = typedReference();
    m_referencePreviewTextField->setText(reference.stringValue());
    saved(reference.record());
    editMode()->setUneditedDocument(reference.record());
    if (auto overlay = m_view.lock())
        overlay->invoiceReferenceNumberUpdated(reference);
}

bool InvoiceReferenceNumberFormView::cancelled(const Document& uneditedDocument)
{
    FindFirstResponder::resignCurrentResponder(*this);
    if (auto record = uneditedDocument.dictionary()) {
        api::Reference unedited(record);
        m_referencePrefixTextField->setText(unedited.prefix());
        m_referenceNumberTextField->setText(unedited.counter());
    }
    m_reference = typedReference();
    setCurrentDocument(m_reference.record());
    updateInfoMessage();
    hideEditingView();
    return true;
}

void InvoiceReferenceNumberFormView::done()
{
    if (auto overlay = m_view.lock())
        overlay->fadeShadowViewOut();
    hideEditingView();
}

void InvoiceReferenceNumberFormView::setupInfoLabels()
{
    m_editingViewInfoLabel->setTextColor(platform::ui::Color::black());
    std::string message
        = "The next invoice number after this: \n#" + m_reference.prefix() + nextCounter(m_reference);
    m_nonEditingViewInfoLabel->setText(message);
    m_editingViewInfoLabel->setText(message);
}

void InvoiceReferenceNumberFormView::setupErrorLabels()
{
    m_editingViewInfoLabel->setTextColor(ColoursObjc::lateRed());
    api::Reference last = m_referenceSystem.lastUsedReferenceForPrefix(m_referencePrefixTextField->text());
    m_editingViewInfoLabel->setText(m_referencePrefixTextField->text() + m_referenceNumberTextField->text()
        + " has already been used. Please choose a number higher than #" + last.prefix() + last.counter()
        + ".");
}

api::Reference InvoiceReferenceNumberFormView::typedReference() const
{
    return api::Reference::referenceWithPrefix(
        m_referencePrefixTextField->text(), m_referenceNumberTextField->text());
}

void ReadOnlyInvoiceReferenceNumberFormView::construct()
{
    InvoiceReferenceNumberFormView::construct();
    referenceNumberTextField()->setText(reference().counter());
    referencePreviewTextField()->setEnabled(false);
    referenceNumberTextField()->setEnabled(false);
    showEditingViewButton()->setEnabled(false);
    nonEditingViewInfoLabel()->setHidden(true);
    editingViewInfoLabel()->setHidden(true);
}

}
