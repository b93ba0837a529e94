#include "Zorvik/Views/FormattedTextField/FormattedTextField.h"

namespace zorvik {

FormattedTextField::FormattedTextField(const platform::ui::NibCoder& coder)
    : TextField(coder.frame)
{
    setDelegateToSelf();
    setKeyboardType(platform::ui::KeyboardType::NumberPad);
}

bool FormattedTextField::insertText(const std::string& text)
{
    return changes([&] { return TextField::insertText(text); });
}

bool FormattedTextField::deleteBackward()
{
    return changes([&] { return TextField::deleteBackward(); });
}

bool FormattedTextField::changes(const std::function<bool()>& edit)
{
    auto self = shared_from_this();
    std::string before = text();
    if (edit())
        return true;
    if (text() == before)
        return false;
    sendActions(platform::ui::ControlEvent::EditingChanged);
    return true;
}

}
