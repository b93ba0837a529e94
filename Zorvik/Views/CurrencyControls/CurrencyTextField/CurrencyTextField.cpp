#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"

#include "Zorvik/Views/CurrencyControls/CurrencyFormatter.h"
#include "platform/foundation/Text.h"

#include <algorithm>

namespace zorvik {

using platform::ui::ControlEvent;

namespace {

bool isAllDigits(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}

CurrencyTextField::CurrencyTextField(platform::ui::Rect frame)
    : TextField(frame)
{
    setDelegateToSelf();
    setKeyboardType(platform::ui::KeyboardType::NumberPad);
}

std::shared_ptr<platform::ui::View> CurrencyTextField::fromNib(const platform::ui::NibCoder& coder)
{
    return std::make_shared<CurrencyTextField>(coder.frame);
}

void CurrencyTextField::setAmount(std::int64_t pence)
{
    m_amount = pence;
    setText(currencyValue());
}

std::string CurrencyTextField::currencyValue() const
{
    return CurrencyFormatter::poundsText(m_amount);
}

std::string CurrencyTextField::stringifyPence(std::int64_t pence)
{
    return CurrencyFormatter::penceToPounds(pence);
}

bool CurrencyTextField::shouldUpdateValueWithString(const std::string& replacement)
{
    std::int64_t amount = m_amount / 10;
    if (!replacement.empty()) {
        if (platform::foundation::utf16Length(text()) >= maximumTextLength || !isAllDigits(replacement))
            return false;
        std::string digits = (m_amount > 0 ? std::to_string(m_amount) : std::string()) + replacement;
        digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
        if (digits.size() > std::to_string(maximumAmount).size())
            return false;
        amount = digits.empty() ? 0 : std::stoll(digits);
        if (amount > maximumAmount)
            return false;
    }
    m_amount = amount;
    setText(stringifyPence(m_amount));
    sendActions(ControlEvent::EditingChanged);
    return false;
}

std::optional<platform::ui::AttributedString> CurrencyTextField::attributedPlaceHolder() const
{
    return attributedPlaceholder();
}

void CurrencyTextField::setAttributedPlaceHolder(
    const std::optional<platform::ui::AttributedString>& placeholder)
{
    setAttributedPlaceholder(placeholder);
}

std::shared_ptr<platform::ui::View> CurrencyTextField::inputAccessoryView() const
{
    return TextField::inputAccessoryView();
}

void CurrencyTextField::setInputAccessoryView(const std::shared_ptr<platform::ui::View>& view)
{
    TextField::setInputAccessoryView(view);
}

platform::ui::ReturnKeyType CurrencyTextField::returnKeyType() const
{
    return TextField::returnKeyType();
}

void CurrencyTextField::setReturnKeyType(platform::ui::ReturnKeyType type)
{
    TextField::setReturnKeyType(type);
}

bool CurrencyTextField::shouldChangeCharacters(
    platform::ui::TextField&, platform::foundation::Utf16Range, const std::string& replacement)
{
    return shouldUpdateValueWithString(replacement);
}

void CurrencyTextField::didBeginEditing(platform::ui::TextField&)
{
    if (text().empty())
        setAmount(0);
}

}
