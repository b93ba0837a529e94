#pragma once

#include "Zorvik/Controllers/FormController/FormControllerProtocol.h"
#include "Zorvik/Controllers/FormController/Question.h"

#include <memory>
#include <optional>

namespace zorvik {

/// A form view: it edits one document in place, forwards save and done to its controller and may ask for
/// a confirmation before a cancel.
class FormViewProtocol : public FormControllerProtocol {
public:
    /// The form's controller, or null.
    virtual std::shared_ptr<FormControllerProtocol> controller() const = 0;
    /// Sets the form's controller, held weakly.
    virtual void setController(const std::weak_ptr<FormControllerProtocol>& controller) = 0;
    /// Whether the form is being edited.
    virtual bool isEditing() const = 0;
    /// Starts or ends editing.
    virtual void setIsEditing(bool editing) = 0;
    /// Whether the content ignores touches.
    virtual bool isReadOnly() const = 0;
    /// Makes the content ignore touches or take them.
    virtual void setIsReadOnly(bool readOnly) = 0;
    /// The document as the form shows it.
    virtual Document currentDocument() const = 0;
    /// Shows `document`.
    virtual void setCurrentDocument(const Document& document) = 0;
    /// The question to ask before a cancel, or nothing to cancel at once.
    virtual std::optional<Question> cancelConfirmation() const = 0;
    /// The user confirmed the cancel.
    virtual void cancelConfirmed() { }
};

}
