#include "kit/crash/EMBAlert.h"

#include "platform/ui/AlertController.h"
#include "platform/ui/ScreenSearch.h"
#include "platform/ui/Window.h"

namespace kit {

using platform::ui::AlertAction;
using platform::ui::AlertActionStyle;
using platform::ui::AlertController;

std::shared_ptr<EMBAlert> EMBAlert::alertWithTitle(std::string title, std::string message,
    std::weak_ptr<EMBAlertDelegate> delegate, std::optional<std::string> cancelButtonTitle,
    std::optional<std::string> otherButtonTitle)
{
    std::shared_ptr<EMBAlert> alert(new EMBAlert);
    alert->m_title = std::move(title);
    alert->m_message = std::move(message);
    alert->m_delegate = std::move(delegate);
    if (cancelButtonTitle) {
        alert->m_hasCancelButton = true;
        alert->m_buttonTitles.push_back(std::move(*cancelButtonTitle));
    }
    if (otherButtonTitle)
        alert->m_buttonTitles.push_back(std::move(*otherButtonTitle));
    return alert;
}

std::size_t EMBAlert::addButtonWithTitle(std::string title)
{
    if (!m_shown)
        m_buttonTitles.push_back(std::move(title));
    return m_buttonTitles.size() - 1;
}

std::optional<std::size_t> EMBAlert::cancelButtonIndex() const
{
    return m_hasCancelButton ? std::optional<std::size_t>(0) : std::nullopt;
}

bool EMBAlert::show()
{
    auto window = platform::ui::Window::keyWindow();
    auto presenter = window ? platform::ui::screen_search::topPresented(*window) : nullptr;
    if (m_shown || !presenter)
        return false;
    m_shown = true;
    auto controller
        = std::make_shared<AlertController>(m_title, m_message, platform::ui::AlertControllerStyle::Alert);
    for (std::size_t index = 0; index < m_buttonTitles.size(); ++index) {
        bool cancel = m_hasCancelButton && index == 0;
        // The action holds the alert, so that it lives for as long as its buttons can be pressed.
        controller->addAction(std::make_shared<AlertAction>(m_buttonTitles[index],
            cancel ? AlertActionStyle::Cancel : AlertActionStyle::Default,
            [self = shared_from_this(), index](AlertAction&) {
                if (auto delegate = self->m_delegate.lock())
                    delegate->alertViewClickedButtonAtIndex(*self, index);
            }));
    }
    presenter->presentViewController(controller, true);
    if (presenter->presentedViewController() != controller) {
        m_shown = false;
        return false;
    }
    m_controller = controller;
    return true;
}

}
