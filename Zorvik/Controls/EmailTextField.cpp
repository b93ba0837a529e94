#include "Zorvik/Controls/EmailTextField.h"

#include "platform/foundation/Regex.h"

#include <cctype>
#include <string_view>

namespace zorvik {

using platform::foundation::Regex;

EmailTextField::EmailTextField(const platform::ui::NibCoder& coder)
    : TextField(coder.frame)
{
    baseInit();
}

void EmailTextField::baseInit()
{
    setKeyboardType(platform::ui::KeyboardType::EmailAddress);
    setAutocorrectionType(platform::ui::AutocorrectionType::No);
}

std::string EmailTextField::emailAddress() const
{
    std::string_view address = text();
    auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!address.empty() && isSpace(address.front()))
        address.remove_prefix(1);
    while (!address.empty() && isSpace(address.back()))
        address.remove_suffix(1);
    return std::string(address);
}

bool EmailTextField::containsValidEmailAddress() const
{
    static const Regex address(
        "\\b[A-Z0-9._%+-]+@[A-Z0-9.-]+\\.[A-Z]{2,30}\\b", Regex::Option::CaseInsensitive);
    return address.matchesEntirely(emailAddress());
}

}
