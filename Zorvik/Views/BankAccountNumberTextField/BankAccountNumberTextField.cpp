#include "Zorvik/Views/BankAccountNumberTextField/BankAccountNumberTextField.h"

#include "Zorvik/Models/FormChecks.h"
#include "platform/foundation/Text.h"

#include <algorithm>

namespace zorvik {

BankAccountNumberTextField::BankAccountNumberTextField(const platform::ui::NibCoder& coder)
    : FormattedTextField(coder)
{
}

bool BankAccountNumberTextField::shouldChangeCharacters(
    platform::ui::TextField&, platform::foundation::Utf16Range range, const std::string& replacement)
{
    if (replacement.empty())
        return true;
    std::size_t length = platform::foundation::utf16Length(text());
    std::size_t kept = length - std::min(length, range.length);
    std::size_t room = kMaximumLength - std::min(kMaximumLength, kept);
    std::string digits = FormChecks::digitsOf(replacement);
    if (digits == replacement && digits.size() <= room)
        return true;
    digits.resize(std::min(digits.size(), room));
    if (digits.empty())
        return false;
    if (auto changed = platform::foundation::replacingUtf16Range(text(), range, digits))
        setText(*changed);
    return false;
}

}
