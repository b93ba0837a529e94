#include "Zorvik/Views/EnterEmailView/EnterEmailView.h"

#include "Zorvik/Controls/EmailTextField.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/Views/PinView/LogoAndPromptView.h"
#include "Zorvik/Views/Styles/ControlStyles.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

namespace zorvik {

using platform::ui::ControlEvent;

EnterEmailView::EnterEmailView()
{
    declareOutlet("emailTextField", m_emailTextField);
    declareOutlet("nextButton", m_nextButton);
    declareOutlet("prompt", m_prompt);
    declareOutlet("navigationBar", m_navigationBar);
    declareAction("emailEntered", [this](platform::ui::View&) { emailEntered(); });
    declareAction("hideKeyboard", [this](platform::ui::View&) { hideKeyboard(); });
}

std::shared_ptr<EnterEmailView> EnterEmailView::make()
{
    auto view = create<EnterEmailView>();
    auto field = view->emailTextField();
    ControlStyles::styleTextField(*field, ControlStyles::defaultPlaceholderTextColour());
    view->setMessage("");
    std::weak_ptr<EnterEmailView> weak = view;
    field->addTarget(weak, ControlEvent::EditingChanged, [weak](platform::ui::Control&) {
        if (auto self = weak.lock())
            self->emailTextChanged();
    });
    view->m_navigationBar.lock()->setObserver(std::static_pointer_cast<NavigationBarDelegate>(view));
    return view;
}

bool EnterEmailView::shouldLoadShortIPhoneViewForNib(const std::string&) const
{
    return true;
}

std::string EnterEmailView::message() const
{
    return m_prompt.lock()->prompt()->text().value_or("");
}

void EnterEmailView::setMessage(const std::string& message)
{
    m_prompt.lock()->setPromptText(message);
}

void EnterEmailView::emailTextChanged()
{
    nextButton()->setEnabled(emailTextField()->containsValidEmailAddress());
}

void EnterEmailView::emailEntered()
{
    if (auto listener = controller())
        listener->emailEntered(emailTextField()->emailAddress());
}

void EnterEmailView::negativePressed()
{
    if (auto listener = controller())
        listener->navigateBack();
}

void EnterEmailView::hideKeyboard()
{
    emailTextField()->resignFirstResponder();
}

bool EnterEmailView::becomeFirstResponder()
{
    return emailTextField()->becomeFirstResponder();
}

}
