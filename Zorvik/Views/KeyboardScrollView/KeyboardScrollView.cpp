#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"

#include "Zorvik/Views/Categories/FindFirstResponder.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

namespace zorvik {

using platform::foundation::NotificationCenter;
using platform::ui::ControlEvent;
using platform::ui::Keyboard;
using platform::ui::Point;
using platform::ui::Rect;

namespace {

// How far above the keyboard the bottom of the view being edited comes to rest.
constexpr double kGapAboveKeyboard = 10;
// How long scrolling back to the top takes once the keyboard is down.
constexpr double kScrollBackDuration = 0.2;

}

KeyboardScrollView::KeyboardScrollView(Rect frame)
    : ScrollView(frame)
{
}

void KeyboardScrollView::setTextFields(std::vector<std::shared_ptr<platform::ui::TextField>> fields)
{
    m_textFields = std::move(fields);
    std::weak_ptr<const void> target = weak_from_this();
    for (const auto& field : m_textFields) {
        field->addTarget(target, ControlEvent::EditingDidBegin, [this](platform::ui::Control& sender) {
            textFieldBeganEditing(static_cast<platform::ui::TextField&>(sender));
        });
        field->addTarget(target, ControlEvent::EditingDidEnd | ControlEvent::EditingDidEndOnExit,
            [this](platform::ui::Control& sender) {
                textFieldFinishedEditing(static_cast<platform::ui::TextField&>(sender));
            });
    }
}

void KeyboardScrollView::setKeyboardFrame(const Rect& frame)
{
    m_keyboardFrame = frame;
    adjust();
}

void KeyboardScrollView::didMoveToSuperview()
{
    auto& center = NotificationCenter::defaultCenter();
    center.removeObserver(this);
    if (!superview())
        return;
    std::weak_ptr<void> observer = weak_from_this();
    center.addObserver(observer, Keyboard::didShowNotification, nullptr,
        [this](const platform::foundation::Notification& notification) { keyboardDisplayed(notification); });
    center.addObserver(observer, Keyboard::didHideNotification, nullptr,
        [this](const platform::foundation::Notification& notification) { keyboardDismissed(notification); });
}

void KeyboardScrollView::keyboardDisplayed(const platform::foundation::Notification& notification)
{
    if (auto frame = Keyboard::frameFromNotification(notification, Keyboard::frameEndUserInfoKey))
        setKeyboardFrame(*frame);
}

void KeyboardScrollView::keyboardDismissed(const platform::foundation::Notification&)
{
    setKeyboardFrame(Rect::zero());
}

void KeyboardScrollView::textFieldBeganEditing(platform::ui::TextField&)
{
    adjust();
}

void KeyboardScrollView::textFieldFinishedEditing(platform::ui::TextField&)
{
    adjust();
}

void KeyboardScrollView::adjust()
{
    if (m_keyboardFrame == Rect::zero()) {
        std::weak_ptr<View> weakSelf = weak_from_this();
        platform::ui::Animation::animate(
            kScrollBackDuration,
            [this] {
                setContentOffset(Point { 0, 0 });
            },
            [weakSelf](bool) {
                auto self = std::static_pointer_cast<KeyboardScrollView>(weakSelf.lock());
                if (self && self->m_keyboardFrame == Rect::zero())
                    self->setContentSize({ 0, 0 });
            });
        return;
    }
    if (subviews().empty())
        return;
    auto& content = *subviews().front();
    auto responder = FindFirstResponder::firstResponder(content);
    setContentSize({ 0, content.frame().height() + m_keyboardFrame.height() });
    if (!responder)
        return;
    auto holder = responder->superview();
    auto* screen = window();
    if (!holder || !screen)
        return;
    Point origin = holder->convertPointTo(responder->frame().origin, screen);
    double bottom = origin.y + responder->frame().height();
    if (m_keyboardFrame.y() >= bottom)
        return;
    double visibleBottom = screen->frame().height() - m_keyboardFrame.height() - kGapAboveKeyboard;
    double shift = origin.y - visibleBottom + responder->frame().height();
    setContentOffset(Point { 0, contentOffset().y + shift }, true);
}

}
