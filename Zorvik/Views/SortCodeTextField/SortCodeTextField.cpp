#include "Zorvik/Views/SortCodeTextField/SortCodeTextField.h"

#include "Zorvik/Models/FormChecks.h"

namespace zorvik {

SortCodeTextField::SortCodeTextField(const platform::ui::NibCoder& coder)
    : FormattedTextField(coder)
{
}

void SortCodeTextField::setText(const std::string& text)
{
    m_plainText = FormChecks::digitsOf(text);
    TextField::setText(text);
}

bool SortCodeTextField::shouldChangeCharacters(
    platform::ui::TextField&, platform::foundation::Utf16Range, const std::string& replacement)
{
    std::string digits = m_plainText;
    if (replacement.empty()) {
        if (!digits.empty())
            digits.pop_back();
    } else {
        digits += FormChecks::digitsOf(replacement);
        if (digits.size() > kMaximumDigits)
            digits.resize(kMaximumDigits);
    }
    if (digits != m_plainText)
        setText(hyphenate(digits));
    return false;
}

std::string SortCodeTextField::hyphenate(const std::string& digits)
{
    std::string shown = digits;
    if (shown.size() > 1)
        shown.insert(2, "-");
    if (shown.size() > 4)
        shown.insert(5, "-");
    return shown;
}

}
