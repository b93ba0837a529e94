#include "Zorvik/Views/DoneKeyboardAccessoryView/DismissKeyboardAccesoryView.h"

#include "platform/ui/BarButtonItem.h"

namespace zorvik {

using platform::ui::BarButtonItem;
using platform::ui::BarButtonItemStyle;

namespace {

// The button's title until a screen renames it.
constexpr const char* kDoneTitle = "Done";

}

std::shared_ptr<DismissKeyboardAccesoryView> DismissKeyboardAccesoryView::makeWithTarget(
    const std::weak_ptr<const void>& target, Action action)
{
    std::shared_ptr<DismissKeyboardAccesoryView> bar(new DismissKeyboardAccesoryView());
    auto button = std::make_shared<BarButtonItem>(std::string(kDoneTitle), BarButtonItemStyle::Plain);
    button->setTarget(target, [action = std::move(action)](BarButtonItem&) { action(); });
    bar->setUp(std::move(button));
    return bar;
}

std::shared_ptr<DismissKeyboardAccesoryView> DismissKeyboardAccesoryView::makeWithSender(
    const std::weak_ptr<platform::ui::View>& sender)
{
    std::shared_ptr<DismissKeyboardAccesoryView> bar(new DismissKeyboardAccesoryView());
    auto button = std::make_shared<BarButtonItem>(std::string(kDoneTitle), BarButtonItemStyle::Plain);
    std::weak_ptr<View> weakBar = bar;
    button->setTarget(weakBar, [weakBar](BarButtonItem&) {
        if (auto self = std::static_pointer_cast<DismissKeyboardAccesoryView>(weakBar.lock()))
            self->dismissKeyboard();
    });
    bar->m_responder = sender;
    bar->setUp(std::move(button));
    return bar;
}

void DismissKeyboardAccesoryView::dismissKeyboard()
{
    if (auto responder = m_responder.lock())
        responder->resignFirstResponder();
}

void DismissKeyboardAccesoryView::setButton(std::shared_ptr<BarButtonItem> button)
{
    m_button = std::move(button);
    showButton();
}

std::optional<std::string> DismissKeyboardAccesoryView::text() const
{
    return m_button ? m_button->title() : std::nullopt;
}

void DismissKeyboardAccesoryView::setText(const std::optional<std::string>& text)
{
    if (m_button)
        m_button->setTitle(text);
}

void DismissKeyboardAccesoryView::setUp(std::shared_ptr<BarButtonItem> button)
{
    m_button = std::move(button);
    sizeToFit();
    showButton();
}

void DismissKeyboardAccesoryView::showButton()
{
    if (m_button)
        setItems({ BarButtonItem::flexibleSpace(), m_button });
    else
        setItems({});
}

}
