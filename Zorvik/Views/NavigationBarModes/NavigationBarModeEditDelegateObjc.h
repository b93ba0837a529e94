#pragma once

#include "platform/foundation/Value.h"

#include <functional>
#include <string>

namespace zorvik {

/// The record a form edits (a business, a bank account, a list of line items...), or null.
using Document = platform::foundation::Value;
/// Told that a save succeeded, with the saved document.
using SavedBlock = std::function<void(const Document& document)>;
/// Told that a save failed, with the title, message and button text to show.
using SaveFailedBlock = std::function<void(
    const std::string& title, const std::string& message, const std::string& buttonText)>;

/// What a navigation-bar edit mode asks of the form it drives.
class NavigationBarModeEditDelegateObjc {
public:
    virtual ~NavigationBarModeEditDelegateObjc() = default;

    /// Starts saving the current document; calls exactly one of the two blocks, on the main queue, now or
    /// later, when the outcome is known.
    virtual void save(SavedBlock saved, SaveFailedBlock saveFailed) = 0;
    /// Undoes the edits back to `uneditedDocument`; true when the cancel took effect, false when it did not
    /// (a confirmation question is still open).
    virtual bool cancelled(const Document& uneditedDocument) = 0;
    /// The user wants to leave the form.
    virtual void done() = 0;
};

}
