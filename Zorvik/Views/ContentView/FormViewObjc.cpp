#include "Zorvik/Views/ContentView/FormViewObjc.h"

#include "Zorvik/Controllers/TabOrderController/TabOrderObjc.h"
#include "Zorvik/Views/Categories/FindFirstResponder.h"
#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/NavigationBar/NavigationBarTheme.h"
#include "Zorvik/Views/NavigationBarModes/NavigationBarModeEditObjc.h"

#include <utility>

namespace zorvik {

FormViewObjc::FormViewObjc(Document initialDocument, std::shared_ptr<NavigationBarTheme> disabledTheme,
    std::shared_ptr<NavigationBarTheme> editingTheme)
    : m_initialDocument(std::move(initialDocument))
    , m_disabledTheme(std::move(disabledTheme))
    , m_editingTheme(std::move(editingTheme))
{
}

void FormViewObjc::construct()
{
    TemplateViewObjc::construct();
    std::weak_ptr<NavigationBarModeEditDelegateObjc> delegate
        = std::static_pointer_cast<FormViewObjc>(shared_from_this());
    m_editMode = NavigationBarModeEditObjc::make(
        navigationBar(), delegate, m_initialDocument, std::move(m_disabledTheme), std::move(m_editingTheme));
    m_initialDocument = Document();
    setIsEditing(false);
}

bool FormViewObjc::isEditing() const
{
    return m_editMode->isEditing();
}

void FormViewObjc::setIsEditing(bool editing)
{
    m_editMode->setIsEditing(editing);
}

bool FormViewObjc::isReadOnly() const
{
    return !contentHolder()->isUserInteractionEnabled();
}

void FormViewObjc::setIsReadOnly(bool readOnly)
{
    contentHolder()->setUserInteractionEnabled(!readOnly);
}

void FormViewObjc::setCurrentDocument(const Document& document)
{
    m_currentDocument = document;
    m_editMode->setUneditedDocument(document);
}

std::optional<Question> FormViewObjc::cancelConfirmation() const
{
    return std::nullopt;
}

void FormViewObjc::cancelConfirmed()
{
    setIsEditing(false);
    setCurrentDocument(m_pendingCancelOperation);
}

void FormViewObjc::save(SavedBlock saved, SaveFailedBlock saveFailed)
{
    auto owner = controller();
    if (!owner) {
        saveFailed({}, {}, {});
        return;
    }
    showLoading();
    std::weak_ptr<View> weakSelf = weak_from_this();
    auto answered = std::make_shared<bool>(false);
    owner->save(
        [weakSelf, answered, saved = std::move(saved)](const Document& document) {
            auto self = std::static_pointer_cast<FormViewObjc>(weakSelf.lock());
            if (!self || std::exchange(*answered, true))
                return;
            saved(document);
            FindFirstResponder::resignCurrentResponder(*self);
            self->m_editMode->setUneditedDocument(document);
        },
        [weakSelf, answered, saveFailed = std::move(saveFailed)](
            const std::string& title, const std::string& message, const std::string& buttonText) {
            auto self = std::static_pointer_cast<FormViewObjc>(weakSelf.lock());
            if (!self || std::exchange(*answered, true))
                return;
            saveFailed(title, message, buttonText);
            FindFirstResponder::resignCurrentResponder(*self);
            self->showError(title, message, buttonText);
        });
}

bool FormViewObjc::cancelled(const Document& uneditedDocument)
{
    FindFirstResponder::resignCurrentResponder(*this);
    if (cancelConfirmation()) {
        m_pendingCancelOperation = uneditedDocument;
        if (auto owner = controller(); owner && owner->implementsShowCancelDialog())
            owner->showCancelDialog(*cancelConfirmation());
    } else {
        setCurrentDocument(uneditedDocument);
    }
    return !cancelConfirmation();
}

void FormViewObjc::done()
{
    if (auto owner = controller())
        owner->done();
}

void FormViewObjc::showLoading()
{
    navigationBar()->showLoadingViewWithColour(ColoursObjc::teal());
}

void FormViewObjc::hideLoading()
{
    navigationBar()->hideLoadingView();
}

}
