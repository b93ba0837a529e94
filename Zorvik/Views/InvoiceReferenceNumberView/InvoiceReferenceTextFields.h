#pragma once

#include "platform/ui/NibRegistry.h"
#include "platform/ui/TextField.h"

#include <cstddef>
#include <memory>
#include <string>

namespace zorvik {

/// A text field that takes no more than `limit` characters: a key press or a paste is refused when the
/// text after it would be longer. It is its own delegate.
class LengthLimitedTextField : public platform::ui::TextField, public platform::ui::TextFieldDelegate {
public:
    /// A field of `limit` characters (UTF-16 units) at most.
    LengthLimitedTextField(std::size_t limit, platform::ui::Rect frame);

    /// The most characters the field holds.
    std::size_t limit() const { return m_limit; }

    /// Refuses a change that would take the text past the limit.
    bool shouldChangeCharacters(platform::ui::TextField&, platform::foundation::Utf16Range range,
        const std::string& replacement) override;

private:
    std::size_t m_limit;
};

/// The prefix of an invoice reference: 10 characters at most.
class InvoiceReferencePrefixTextField : public LengthLimitedTextField {
public:
    static constexpr std::size_t maximumLength = 10;

    explicit InvoiceReferencePrefixTextField(platform::ui::Rect frame = platform::ui::Rect::zero());
    static std::shared_ptr<platform::ui::View> fromNib(const platform::ui::NibCoder& coder);

    std::string className() const override { return "InvoiceReferencePrefixTextField"; }
};

/// The counter of an invoice reference: 9 digits at most, typed or pasted; anything else is refused.
class InvoiceReferenceNumberTextField : public LengthLimitedTextField {
public:
    static constexpr std::size_t maximumLength = 9;

    explicit InvoiceReferenceNumberTextField(platform::ui::Rect frame = platform::ui::Rect::zero());
    static std::shared_ptr<platform::ui::View> fromNib(const platform::ui::NibCoder& coder);

    std::string className() const override { return "InvoiceReferenceNumberTextField"; }

    /// Refuses anything but digits, and a change past the limit.
    bool shouldChangeCharacters(platform::ui::TextField& field, platform::foundation::Utf16Range range,
        const std::string& replacement) override;
};

}
