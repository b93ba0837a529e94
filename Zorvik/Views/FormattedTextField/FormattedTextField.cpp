#include "Zorvik/Views/FormattedTextField/FormattedTextField.h"

namespace zorvik {

FormattedTextField::FormattedTextField(const platform::ui::NibCoder& coder)
    : TextField(coder.frame)
{
    setDelegateToSelf();
    setKeyboardType(platform::ui::KeyboardType::NumberPad);
}

void FormattedTextField::didChangeTextItself()
{
    sendActions(platform::ui::ControlEvent::EditingChanged);
}

}
