#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogView.h"

#include "Zorvik/Views/Constraints/MatchParentConstraints.h"
#include "Zorvik/Views/OneButtonDialogView/OneButtonDialogControllerProtocol.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

namespace zorvik {

OneButtonDialogView::OneButtonDialogView()
{
    declareOutlet("titleLabel", m_titleLabel);
    declareOutlet("messageLabel", m_messageLabel);
    declareOutlet("button", m_button);
    declareAction("buttonPressed", [this](platform::ui::View&) { buttonPressed(); });
}

std::shared_ptr<OneButtonDialogView> OneButtonDialogView::make()
{
    return create<OneButtonDialogView>();
}

std::optional<std::string> OneButtonDialogView::title() const
{
    return titleLabel()->text();
}

void OneButtonDialogView::setTitle(const std::optional<std::string>& title)
{
    titleLabel()->setText(title);
}

std::optional<std::string> OneButtonDialogView::message() const
{
    return messageLabel()->text();
}

void OneButtonDialogView::setMessage(const std::optional<std::string>& message)
{
    messageLabel()->setText(message);
}

std::optional<std::string> OneButtonDialogView::buttonText() const
{
    return button()->title(platform::ui::ControlState::Normal);
}

void OneButtonDialogView::setButtonText(const std::optional<std::string>& text)
{
    button()->setTitle(text, platform::ui::ControlState::Normal);
}

void OneButtonDialogView::showInParent(const std::shared_ptr<platform::ui::View>& parent)
{
    auto self = shared_from_this();
    parent->addSubview(self);
    MatchParentConstraints::constrainChildToMatchParent(self, parent);
}

void OneButtonDialogView::buttonPressed()
{
    auto self = shared_from_this();
    if (auto listener = controller())
        listener->dialogDismissed(*this);
    removeFromSuperview();
}

}
