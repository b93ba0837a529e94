#include "platform/ui/Keyboard.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Text.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

namespace platform::ui {

namespace {

foundation::DictionaryRef rectDictionary(const Rect& rect)
{
    return foundation::Dictionary::make(
        { { "x", rect.x() }, { "y", rect.y() }, { "width", rect.width() }, { "height", rect.height() } });
}

}

Keyboard& Keyboard::shared()
{
    static Keyboard keyboard;
    return keyboard;
}

std::shared_ptr<View> Keyboard::responder() const
{
    return m_visible ? m_responder.lock() : nullptr;
}

void Keyboard::show(View& responder)
{
    Rect screen = Screen::main().bounds();
    auto accessory = responder.inputAccessoryView();
    double accessoryHeight = 0;
    if (accessory) {
        accessoryHeight = accessory->frame().height();
        if (accessoryHeight <= 0) {
            accessory->sizeToFit();
            accessoryHeight = accessory->frame().height();
        }
    }
    double totalHeight = m_height + accessoryHeight;
    Rect end { 0, screen.height() - totalHeight, screen.width(), totalHeight };
    if (accessory)
        accessory->setFrame({ 0, 0, screen.width(), accessoryHeight });

    bool sameResponder = m_responderAddress == &responder;
    m_responder = responder.weak_from_this();
    m_responderAddress = &responder;
    bool wasVisible = m_visible;
    Rect begin = wasVisible ? m_frame : Rect { 0, screen.height(), screen.width(), totalHeight };
    m_accessory = accessory;
    if (wasVisible && begin == end && sameResponder)
        return;
    m_visible = true;
    m_frame = end;
    post(willShowNotification, begin, end);
    post(didShowNotification, begin, end);
}

void Keyboard::hide()
{
    if (!m_visible)
        return;
    Rect begin = m_frame;
    Rect end = begin.offsetBy(0, begin.height());
    m_visible = false;
    m_responder.reset();
    m_responderAddress = nullptr;
    m_accessory.reset();
    post(willHideNotification, begin, end);
    post(didHideNotification, begin, end);
}

void Keyboard::viewWillBeDestroyed(const View& view)
{
    if (m_visible && m_responderAddress == &view)
        hide();
}

TextInput* Keyboard::input() const
{
    return dynamic_cast<TextInput*>(responder().get());
}

std::size_t Keyboard::type(const std::string& text)
{
    std::size_t taken = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = foundation::utf8CharacterLength(text, i);
        auto keepAlive = responder();
        TextInput* target = input();
        if (!target)
            break;
        if (target->insertText(text.substr(i, length)))
            ++taken;
        i += length;
    }
    return taken;
}

bool Keyboard::paste(const std::string& text)
{
    auto keepAlive = responder();
    TextInput* target = input();
    return target && target->insertText(text);
}

std::size_t Keyboard::deleteBackward(std::size_t times)
{
    std::size_t deleted = 0;
    for (std::size_t i = 0; i < times; ++i) {
        auto keepAlive = responder();
        TextInput* target = input();
        if (!target)
            break;
        if (target->deleteBackward())
            ++deleted;
    }
    return deleted;
}

bool Keyboard::pressReturn()
{
    auto keepAlive = responder();
    TextInput* target = input();
    if (!target)
        return false;
    target->pressReturn();
    return true;
}

std::optional<Rect> Keyboard::frameFromNotification(
    const foundation::Notification& notification, const char* key)
{
    if (!notification.userInfo)
        return std::nullopt;
    auto frame = notification.userInfo->get(key).dictionary();
    if (!frame)
        return std::nullopt;
    auto x = frame->get("x").number();
    auto y = frame->get("y").number();
    auto width = frame->get("width").number();
    auto height = frame->get("height").number();
    if (!x || !y || !width || !height)
        return std::nullopt;
    return Rect { *x, *y, *width, *height };
}

void Keyboard::reset()
{
    m_visible = false;
    m_height = defaultHeight;
    m_frame = Rect::zero();
    m_responder.reset();
    m_responderAddress = nullptr;
    m_accessory.reset();
}

void Keyboard::post(const char* name, const Rect& begin, const Rect& end) const
{
    auto userInfo = foundation::Dictionary::make({ { frameBeginUserInfoKey, rectDictionary(begin) },
        { frameEndUserInfoKey, rectDictionary(end) }, { animationDurationUserInfoKey, animationDuration } });
    foundation::NotificationCenter::defaultCenter().post(name, nullptr, userInfo);
}

}
