#pragma once

#include "Zorvik/Controllers/FormController/FormControllerObjc.h"
#include "ZorvikAPI/models/Resource.h"
#include "platform/foundation/Value.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zorvik {

/// What the business profile forms' controllers share: a save checks the input, sends the changes as an
/// update of the live record (which merges the server's answer) and answers the form. Every failure ends
/// the save, so the form never waits for ever: bad input answers "Check your details" with the check's
/// message before anything is sent; a not-found answer, any other error, a dropped connection or a timeout
/// answers "Oops", the form's message and "Try again.". An answer that arrives after the controller has gone
/// (its screen was closed) is ignored; the record is still updated.
class ProfileFormController : public FormControllerObjc,
                              public std::enable_shared_from_this<ProfileFormController> {
public:
    /// A controller that pops `navigationController` and reports failed saves with `failureMessage`.
    ProfileFormController(
        std::weak_ptr<platform::ui::NavigationController> navigationController, std::string failureMessage);

protected:
    /// Saves as the class comment says: `problem` is the input check's message (nothing when the input may
    /// be sent); on success `saved` gets `savedDocument()`'s answer.
    void saveChanges(const api::Resource& record, const platform::foundation::DictionaryRef& changes,
        const std::optional<std::string>& problem, std::function<Document()> savedDocument, SavedBlock saved,
        SaveFailedBlock saveFailed);

private:
    std::string m_failureMessage;
};

}
