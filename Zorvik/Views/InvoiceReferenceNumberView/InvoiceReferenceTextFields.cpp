#include "Zorvik/Views/InvoiceReferenceNumberView/InvoiceReferenceTextFields.h"

#include "platform/foundation/Text.h"

#include <algorithm>

namespace zorvik {

LengthLimitedTextField::LengthLimitedTextField(std::size_t limit, platform::ui::Rect frame)
    : TextField(frame)
    , m_limit(limit)
{
    setDelegateToSelf();
}

bool LengthLimitedTextField::shouldChangeCharacters(
    platform::ui::TextField&, platform::foundation::Utf16Range range, const std::string& replacement)
{
    std::size_t length = platform::foundation::utf16Length(text());
    std::size_t removed = std::min(range.length, length);
    return length - removed + platform::foundation::utf16Length(replacement) <= m_limit;
}

InvoiceReferencePrefixTextField::InvoiceReferencePrefixTextField(platform::ui::Rect frame)
    : LengthLimitedTextField(maximumLength, frame)
{
}

std::shared_ptr<platform::ui::View> InvoiceReferencePrefixTextField::fromNib(
    const platform::ui::NibCoder& coder)
{
    return std::make_shared<InvoiceReferencePrefixTextField>(coder.frame);
}

InvoiceReferenceNumberTextField::InvoiceReferenceNumberTextField(platform::ui::Rect frame)
    : LengthLimitedTextField(maximumLength, frame)
{
    setKeyboardType(platform::ui::KeyboardType::NumberPad);
}

std::shared_ptr<platform::ui::View> InvoiceReferenceNumberTextField::fromNib(
    const platform::ui::NibCoder& coder)
{
    return std::make_shared<InvoiceReferenceNumberTextField>(coder.frame);
}

bool InvoiceReferenceNumberTextField::shouldChangeCharacters(
    platform::ui::TextField& field, platform::foundation::Utf16Range range, const std::string& replacement)
{
    bool digits
        = std::all_of(replacement.begin(), replacement.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits && LengthLimitedTextField::shouldChangeCharacters(field, range, replacement);
}

}
