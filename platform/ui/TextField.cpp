#include "platform/ui/TextField.h"

#include "platform/foundation/NotificationCenter.h"

#include <algorithm>

namespace platform::ui {

namespace {

// The byte offset where the last code point of the text starts.
std::size_t lastCodePointStart(const std::string& text)
{
    std::size_t start = text.size() - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    return start;
}

}

TextField::TextField(Rect frame)
    : Control(frame)
{
}

void TextField::setText(const std::string& text)
{
    m_text = text;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void TextField::setPlaceholder(const std::optional<std::string>& placeholder)
{
    m_placeholder = placeholder;
    m_attributedPlaceholder.reset();
    setNeedsDisplay();
}

void TextField::setAttributedPlaceholder(const std::optional<AttributedString>& placeholder)
{
    m_attributedPlaceholder = placeholder;
    m_placeholder = placeholder ? std::optional(placeholder->string()) : std::nullopt;
    setNeedsDisplay();
}

void TextField::setFont(const Font& font)
{
    m_font = font;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void TextField::setTextColor(const Color& color)
{
    m_textColor = color;
    setNeedsDisplay();
}

bool TextField::isClearButtonVisible() const
{
    if (m_text.empty())
        return false;
    switch (m_clearButtonMode) {
    case TextFieldViewMode::Never:
        return false;
    case TextFieldViewMode::WhileEditing:
        return m_editing;
    case TextFieldViewMode::UnlessEditing:
        return !m_editing;
    case TextFieldViewMode::Always:
        return true;
    }
    return false;
}

std::shared_ptr<TextFieldDelegate> TextField::delegate() const
{
    if (m_delegateIsSelf) {
        auto self = weak_from_this().lock();
        auto* own = dynamic_cast<TextFieldDelegate*>(const_cast<TextField*>(this));
        return self && own ? std::shared_ptr<TextFieldDelegate>(self, own) : nullptr;
    }
    return m_delegate.lock();
}

void TextField::setDelegate(const std::weak_ptr<TextFieldDelegate>& delegate)
{
    m_delegate = delegate;
    m_delegateIsSelf = false;
}

void TextField::setDelegateToSelf()
{
    m_delegate.reset();
    m_delegateIsSelf = true;
}

std::size_t TextField::typeText(const std::string& text)
{
    auto self = shared_from_this();
    std::size_t accepted = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = foundation::utf8CharacterLength(text, i);
        if (insertText(text.substr(i, length)))
            ++accepted;
        i += length;
    }
    return accepted;
}

bool TextField::replace(foundation::Utf16Range range, const std::string& replacement)
{
    if (!m_editing)
        return false;
    auto self = shared_from_this();
    if (auto listener = delegate(); listener && !listener->shouldChangeCharacters(*this, range, replacement))
        return false;
    auto changed = foundation::replacingUtf16Range(m_text, range, replacement);
    if (!changed) {
        // The delegate shortened the text itself while agreeing: a typed key lands at the end.
        changed = range.length == 0 ? m_text + replacement : m_text;
    }
    m_text = *changed;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
    sendActions(ControlEvent::EditingChanged);
    foundation::NotificationCenter::defaultCenter().post(textDidChangeNotification, this);
    return true;
}

// A field that makes its own edits (a formatting field) refuses the key and changes its text: the key took.
bool TextField::pressKey(foundation::Utf16Range range, const std::string& replacement)
{
    auto self = shared_from_this();
    std::string before = m_text;
    if (replace(range, replacement))
        return true;
    if (m_text == before)
        return false;
    didChangeTextItself();
    return true;
}

bool TextField::insertText(const std::string& text)
{
    return pressKey({ foundation::utf16Length(m_text), 0 }, text);
}

bool TextField::deleteBackward()
{
    if (!m_editing || m_text.empty())
        return false;
    std::size_t start = lastCodePointStart(m_text);
    std::size_t units = foundation::utf16Length(std::string_view(m_text).substr(start));
    std::size_t length = foundation::utf16Length(m_text);
    return pressKey({ length - units, units }, "");
}

void TextField::pressReturn()
{
    if (!m_editing)
        return;
    auto self = shared_from_this();
    if (auto listener = delegate(); listener && !listener->shouldReturn(*this))
        return;
    bool hasExitActions = actionCount(ControlEvent::EditingDidEndOnExit) > 0;
    sendActions(ControlEvent::EditingDidEndOnExit);
    if (hasExitActions && isFirstResponder())
        resignFirstResponder();
}

bool TextField::tapClearButton()
{
    if (!isClearButtonVisible() || !isVisible() || !isEnabled())
        return false;
    auto self = shared_from_this();
    if (auto listener = delegate(); listener && !listener->shouldClear(*this))
        return false;
    m_text.clear();
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
    sendActions(ControlEvent::EditingChanged);
    foundation::NotificationCenter::defaultCenter().post(textDidChangeNotification, this);
    return true;
}

bool TextField::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder() || !canHoldFirstResponder())
        return false;
    auto self = shared_from_this();
    if (auto listener = delegate(); listener && !listener->shouldBeginEditing(*this))
        return false;
    return Control::becomeFirstResponder();
}

bool TextField::canResignFirstResponder()
{
    auto listener = delegate();
    return !listener || listener->shouldEndEditing(*this);
}

void TextField::didTap()
{
    becomeFirstResponder();
}

void TextField::didBecomeFirstResponder()
{
    m_editing = true;
    setNeedsDisplay();
    if (auto listener = delegate())
        listener->didBeginEditing(*this);
    sendActions(ControlEvent::EditingDidBegin);
    foundation::NotificationCenter::defaultCenter().post(textDidBeginEditingNotification, this);
}

void TextField::didResignFirstResponder()
{
    m_editing = false;
    setNeedsDisplay();
    if (auto listener = delegate())
        listener->didEndEditing(*this);
    sendActions(ControlEvent::EditingDidEnd);
    foundation::NotificationCenter::defaultCenter().post(textDidEndEditingNotification, this);
}

Size TextField::intrinsicContentSize() const
{
    return m_font.sizeOfText(m_text.empty() ? m_placeholder.value_or("") : m_text);
}

Size TextField::sizeThatFits(Size) const
{
    return intrinsicContentSize();
}

std::string TextField::describe() const
{
    std::string text = View::describe();
    if (!m_text.empty()) {
        if (m_secure) {
            std::string dots;
            for (std::size_t i = 0; i < m_text.size(); i += foundation::utf8CharacterLength(m_text, i))
                dots += "\u2022";
            text += " \"" + dots + "\"";
        } else {
            text += " \"" + m_text + "\"";
        }
    } else if (m_placeholder) {
        text += " placeholder \"" + *m_placeholder + "\"";
    }
    if (m_editing)
        text += " [editing]";
    return text + stateDescription();
}

}
