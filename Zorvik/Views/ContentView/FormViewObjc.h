#pragma once

#include "Zorvik/Views/ContentView/FormViewProtocol.h"
#include "Zorvik/Views/ContentView/TemplateViewObjc.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditDelegateObjc.h"

#include <memory>
#include <optional>

namespace zorvik {

class NavigationBarModeEditObjc;
class NavigationBarTheme;
class TabOrderObjc;

/// The base of the form views: a screen frame (TemplateViewObjc) that edits one document with a
/// NavigationBarModeEditObjc on its bar. Not editing, the bar offers Done; editing (a subclass calls
/// setIsEditing(true) when one of its fields begins editing), it offers Cancel and Save.
///
/// Save shows the bar's teal spinner and asks the controller; a saved document ends editing, drops the
/// keyboard focus and becomes the snapshot a later cancel returns to; a failure keeps the form editing with
/// the values typed and shows the controller's title, message and button text in the error dialog. Cancel
/// drops the focus and either restores the snapshot at once or, when the form asks a question, lets the
/// controller ask it and restores only on cancelConfirmed(). Only the first outcome of a save counts.
///
/// Made in code only: create<T>(Rect::zero(), document, ...) through a subclass.
class FormViewObjc : public TemplateViewObjc,
                     public FormViewProtocol,
                     public NavigationBarModeEditDelegateObjc {
public:
    /// A form for `initialDocument` with the given themes (null: the edit mode's defaults).
    explicit FormViewObjc(Document initialDocument,
        std::shared_ptr<NavigationBarTheme> disabledTheme = nullptr,
        std::shared_ptr<NavigationBarTheme> editingTheme = nullptr);

    std::string className() const override { return "FormViewObjc"; }

    /// The form's controller, or null.
    std::shared_ptr<FormControllerProtocol> controller() const override { return m_controller.lock(); }
    /// Sets the form's controller, held weakly.
    void setController(const std::weak_ptr<FormControllerProtocol>& controller) override
    {
        m_controller = controller;
    }
    /// The edit mode's state.
    bool isEditing() const override;
    /// The edit mode's setIsEditing(), which switches the bar's theme.
    void setIsEditing(bool editing) override;
    /// Whether the content holder ignores touches.
    bool isReadOnly() const override;
    /// Makes the content holder ignore touches (true) or take them.
    void setIsReadOnly(bool readOnly) override;
    /// The stored document; subclasses that read their fields override it.
    Document currentDocument() const override { return m_currentDocument; }
    /// Stores the document and makes it the edit mode's snapshot; subclasses show it in their fields.
    void setCurrentDocument(const Document& document) override;
    /// No question: a cancel takes effect at once. Subclasses that confirm return theirs.
    std::optional<Question> cancelConfirmation() const override;
    /// Ends editing and restores the document kept when the question was asked.
    void cancelConfirmed() override;

    /// The Save button while editing (see the class comment).
    void save(SavedBlock saved, SaveFailedBlock saveFailed) override;
    /// The Cancel button while editing; answers whether the cancel took effect.
    bool cancelled(const Document& uneditedDocument) override;
    /// Done: the controller's done().
    void done() override;

    /// Shows the bar's spinner in teal.
    void showLoading();
    /// Hides the bar's spinner.
    void hideLoading();

    /// The edit mode on the bar.
    const std::shared_ptr<NavigationBarModeEditObjc>& editMode() const { return m_editMode; }
    /// The form's field order, or null.
    const std::shared_ptr<TabOrderObjc>& tabOrder() const { return m_tabOrder; }
    /// Keeps the form's field order.
    void setTabOrder(std::shared_ptr<TabOrderObjc> order) { m_tabOrder = std::move(order); }
    /// The document to restore once a cancel is confirmed.
    const Document& pendingCancelOperation() const { return m_pendingCancelOperation; }

protected:
    /// Builds the frame and content, then the edit mode, not editing.
    void construct() override;

private:
    Document m_initialDocument;
    std::shared_ptr<NavigationBarTheme> m_disabledTheme;
    std::shared_ptr<NavigationBarTheme> m_editingTheme;
    std::weak_ptr<FormControllerProtocol> m_controller;
    std::shared_ptr<TabOrderObjc> m_tabOrder;
    std::shared_ptr<NavigationBarModeEditObjc> m_editMode;
    Document m_currentDocument;
    Document m_pendingCancelOperation;
};

}
