#include "platform/ui/AlertController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <stdexcept>

namespace platform::ui {

namespace {

constexpr double alertWidth = 270;
constexpr double sheetMargin = 8;
constexpr double textInset = 16;
constexpr double buttonHeight = 44;

std::string styleName(AlertActionStyle style)
{
    switch (style) {
    case AlertActionStyle::Cancel:
        return " (cancel)";
    case AlertActionStyle::Destructive:
        return " (destructive)";
    case AlertActionStyle::Default:
        break;
    }
    return "";
}

}

AlertAction::AlertAction(std::string title, AlertActionStyle style, Handler handler)
    : m_title(std::move(title))
    , m_style(style)
    , m_handler(std::move(handler))
{
}

void AlertAction::perform()
{
    if (m_handler)
        m_handler(*this);
}

AlertController::AlertController(
    std::optional<std::string> title, std::optional<std::string> message, AlertControllerStyle style)
    : m_message(message && !message->empty() ? std::move(message) : std::nullopt)
    , m_style(style)
{
    if (title)
        setTitle(std::move(*title));
    setModalPresentationStyle(ModalPresentationStyle::OverFullScreen);
    setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
}

void AlertController::addAction(std::shared_ptr<AlertAction> action)
{
    if (!action)
        throw std::invalid_argument("AlertController::addAction was given no action");
    bool secondCancel = action->style() == AlertActionStyle::Cancel
        && std::any_of(m_actions.begin(), m_actions.end(),
            [](auto& a) { return a->style() == AlertActionStyle::Cancel; });
    if (secondCancel)
        throw std::invalid_argument("AlertController can only have one action with a style of cancel");
    m_actions.push_back(std::move(action));
}

std::vector<std::shared_ptr<AlertAction>> AlertController::displayedActions() const
{
    auto actions = m_actions;
    if (m_style == AlertControllerStyle::ActionSheet) {
        std::stable_partition(
            actions.begin(), actions.end(), [](auto& a) { return a->style() != AlertActionStyle::Cancel; });
    }
    return actions;
}

bool AlertController::pickAction(const std::string& title)
{
    if (m_picked)
        return false;
    auto found = std::find_if(
        m_actions.begin(), m_actions.end(), [&](auto& a) { return a->title() == title && a->isEnabled(); });
    if (found == m_actions.end())
        return false;
    pick(*found);
    return true;
}

void AlertController::viewWillAppear(bool)
{
    m_picked = false;
    if (auto editing = Keyboard::shared().responder()) {
        m_editingBeneath = editing;
        editing->resignFirstResponder();
    }
}

void AlertController::viewDidDisappear(bool)
{
    auto editing = m_editingBeneath.lock();
    m_editingBeneath.reset();
    if (editing && editing->window())
        editing->becomeFirstResponder();
}

void AlertController::pick(const std::shared_ptr<AlertAction>& action)
{
    if (m_picked || !action->isEnabled())
        return;
    m_picked = true;
    auto self = shared_from_this();
    if (!presentingViewController()) {
        action->perform();
        return;
    }
    dismissViewController(true, [action] { action->perform(); });
}

std::string AlertController::summary() const
{
    std::string text = "AlertController";
    if (!title().empty())
        text += " \"" + title() + "\"";
    text += m_style == AlertControllerStyle::Alert ? " [alert]" : " [action sheet]";
    if (m_message)
        text += " message \"" + *m_message + "\"";
    text += " actions:";
    for (auto& action : displayedActions())
        text += " \"" + action->title() + "\"" + styleName(action->style())
            + (action->isEnabled() ? "" : " [disabled]");
    return text;
}

void AlertController::loadView()
{
    Rect screen = Screen::main().bounds();
    auto dim = std::make_shared<View>(screen);
    dim->setBackgroundColor(Color::fromWhite(0, 0.4));

    double width = m_style == AlertControllerStyle::Alert ? alertWidth : screen.width() - 2 * sheetMargin;
    auto panel = std::make_shared<View>(Rect(0, 0, width, 0));
    panel->setBackgroundColor(Color::fromWhite(0.97));
    panel->setCornerRadius(13);

    double y = textInset;
    auto addText = [&](const std::string& text, const Font& font) {
        auto label = std::make_shared<Label>();
        label->setText(text);
        label->setFont(font);
        label->setNumberOfLines(0);
        label->setTextAlignment(TextAlignment::Center);
        Size size = label->sizeThatFits({ width - 2 * textInset, 0 });
        label->setFrame({ textInset, y, width - 2 * textInset, size.height });
        panel->addSubview(label);
        y += size.height + 4;
    };
    if (!title().empty())
        addText(title(), Font::boldSystemFont(17));
    if (m_message)
        addText(*m_message, Font::systemFont(13));
    if (!title().empty() || m_message)
        y += textInset - 4;
    else
        y = 0;

    std::weak_ptr<ViewController> weakSelf = weak_from_this();
    for (auto& action : displayedActions()) {
        auto button = std::make_shared<Button>(ButtonType::System, Rect(0, y, width, buttonHeight));
        button->setTitle(action->title());
        button->setEnabled(action->isEnabled());
        if (action->style() == AlertActionStyle::Destructive)
            button->setTitleColor(Color::red());
        if (action->style() == AlertActionStyle::Cancel)
            button->setFont(Font::boldSystemFont(17));
        std::weak_ptr<AlertAction> weakAction = action;
        button->addAction(ControlEvent::TouchUpInside, [weakSelf, weakAction](Control&) {
            auto self = std::static_pointer_cast<AlertController>(weakSelf.lock());
            auto pressed = weakAction.lock();
            if (self && pressed)
                self->pick(pressed);
        });
        panel->addSubview(button);
        y += buttonHeight;
    }

    double panelY = m_style == AlertControllerStyle::Alert ? (screen.height() - y) / 2
                                                           : screen.height() - y - sheetMargin;
    panel->setFrame({ (screen.width() - width) / 2, panelY, width, y });
    dim->addSubview(panel);
    setView(dim);
}

}
