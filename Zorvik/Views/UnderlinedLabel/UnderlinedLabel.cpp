#include "Zorvik/Views/UnderlinedLabel/UnderlinedLabel.h"

#include "Zorvik/Views/Styles/ControlStyles.h"

namespace zorvik {

UnderlinedLabel::UnderlinedLabel(const platform::ui::NibCoder& coder)
    : Label(coder.frame)
{
    ControlStyles::underlineLabel(*this);
}

void UnderlinedLabel::setText(const std::optional<std::string>& text)
{
    Label::setText(text.value_or(""));
    ControlStyles::underlineLabel(*this);
}

}
