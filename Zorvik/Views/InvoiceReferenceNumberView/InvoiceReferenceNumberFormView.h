#pragma once

#include "Zorvik/Views/ContentView/FormViewObjc.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/Reference.h"
#include "ZorvikAPI/models/ReferenceNumberSystems/SequentialReferenceComponentSystem.h"

#include <memory>
#include <string>

namespace platform::ui {
class Button;
class Label;
class TextField;
}

namespace zorvik {

class InvoiceReferenceNumberView;
class InvoiceReferencePrefixTextField;
class InvoiceReferenceNumberTextField;

/// The panel of the reference editor, under a bar titled "Invoice number". At rest it shows the reference
/// and the number that would follow it; its button opens the editing area with a prefix and a counter
/// field. Typing a prefix proposes the next free counter for it; every change is checked against the
/// business's invoices, and save is offered only for a valid reference (a counter that no invoice of that
/// prefix has and that is not below the next free one; never an empty counter), otherwise the editing
/// message says in red which number to go above.
///
/// Save hands the reference to the overlay (and so to the opener) and keeps the panel open; cancel goes
/// back to the last saved (or first) reference; either bar button at rest slides the editor away. Its
/// content comes from the nib "InvoiceReferenceNumberFormView".
class InvoiceReferenceNumberFormView : public FormViewObjc {
public:
    /// The height of the panel's bar.
    static constexpr double barHeight = 50;

    InvoiceReferenceNumberFormView(api::Reference reference, std::weak_ptr<InvoiceReferenceNumberView> view,
        api::SequentialReferenceComponentSystem system);

    /// A panel for `reference` held by the overlay `view`, checked against `system`.
    static std::shared_ptr<InvoiceReferenceNumberFormView> make(const api::Reference& reference,
        std::weak_ptr<InvoiceReferenceNumberView> view,
        const api::SequentialReferenceComponentSystem& system);

    std::string className() const override { return "InvoiceReferenceNumberFormView"; }

    /// Opens the editing area and puts the keyboard on the counter.
    void showEditingView();
    /// Shows the resting area.
    void hideEditingView();
    /// A field began editing: the form is being edited.
    void textFieldBeganEditing();
    /// The counter becomes the next free one for the typed prefix.
    void updateReferenceCounterForPrefix();
    /// Checks the typed reference and offers save or shows the error.
    void validateReferenceNumber();
    /// Whether the typed reference may be saved.
    bool isValidReference() const;
    /// Writes the next-number message.
    void updateInfoMessage();

    /// The typed reference.
    Document currentDocument() const override;
    /// Shows the reference in the fields and makes it the snapshot.
    void setCurrentDocument(const Document& document) override;
    /// Keeps the typed reference, closes the editing area and tells the overlay; the panel stays.
    void save(SavedBlock saved, SaveFailedBlock saveFailed) override;
    /// Goes back to the snapshot and closes the editing area.
    bool cancelled(const Document& uneditedDocument) override;
    /// Slides the editor away.
    void done() override;

    /// The reference as last typed or given.
    const api::Reference& reference() const { return m_reference; }

    const std::shared_ptr<platform::ui::View>& nonEditingView() const { return m_nonEditingView; }
    const std::shared_ptr<platform::ui::View>& editingView() const { return m_editingView; }
    const std::shared_ptr<platform::ui::TextField>& referencePreviewTextField() const
    {
        return m_referencePreviewTextField;
    }
    const std::shared_ptr<InvoiceReferencePrefixTextField>& referencePrefixTextField() const
    {
        return m_referencePrefixTextField;
    }
    const std::shared_ptr<InvoiceReferenceNumberTextField>& referenceNumberTextField() const
    {
        return m_referenceNumberTextField;
    }
    const std::shared_ptr<platform::ui::Button>& showEditingViewButton() const
    {
        return m_showEditingViewButton;
    }
    const std::shared_ptr<platform::ui::Label>& nonEditingViewInfoLabel() const
    {
        return m_nonEditingViewInfoLabel;
    }
    const std::shared_ptr<platform::ui::Label>& editingViewInfoLabel() const
    {
        return m_editingViewInfoLabel;
    }

protected:
    void construct() override;

private:
    void configureTextFields();
    void setupInfoLabels();
    void setupErrorLabels();
    api::Reference typedReference() const;

    std::shared_ptr<platform::ui::View> m_nonEditingView;
    std::shared_ptr<platform::ui::View> m_editingView;
    std::shared_ptr<platform::ui::TextField> m_referencePreviewTextField;
    std::shared_ptr<InvoiceReferencePrefixTextField> m_referencePrefixTextField;
    std::shared_ptr<InvoiceReferenceNumberTextField> m_referenceNumberTextField;
    std::shared_ptr<platform::ui::Button> m_showEditingViewButton;
    std::shared_ptr<platform::ui::Label> m_nonEditingViewInfoLabel;
    std::shared_ptr<platform::ui::Label> m_editingViewInfoLabel;
    std::weak_ptr<InvoiceReferenceNumberView> m_view;
    api::Reference m_reference;
    api::SequentialReferenceComponentSystem m_referenceSystem;
};

/// The panel of a sent invoice: the reference only, no message, and no way into the editing area.
class ReadOnlyInvoiceReferenceNumberFormView : public InvoiceReferenceNumberFormView {
public:
    using InvoiceReferenceNumberFormView::InvoiceReferenceNumberFormView;

    std::string className() const override { return "ReadOnlyInvoiceReferenceNumberFormView"; }
    /// The read-only panel uses the editable panel's content.
    std::optional<std::string> contentNib() const override { return "InvoiceReferenceNumberFormView"; }

protected:
    void construct() override;
};

}
