#pragma once

#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditDelegateObjc.h"

namespace zorvik {

class Question;

/// What a form view asks of its controller: save the document, leave the form and, for forms that confirm
/// a cancel, ask the question.
class FormControllerProtocol {
public:
    virtual ~FormControllerProtocol() = default;

    /// Saves the document; then calls `saved` with the saved document or `saveFailed` with the title,
    /// message and button text to show, exactly one of them, on the main queue.
    virtual void save(SavedBlock saved, SaveFailedBlock saveFailed) = 0;
    /// Leaves the form.
    virtual void done() = 0;
    /// Asks the user `question` before a cancel; a controller that does so also overrides
    /// implementsShowCancelDialog().
    virtual void showCancelDialog(const Question&) { }
    /// Whether the controller asks cancel questions (false unless overridden).
    virtual bool implementsShowCancelDialog() const { return false; }
};

}
