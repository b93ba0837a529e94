#pragma once

#include "Zorvik/Views/FormattedTextField/FormattedTextField.h"

#include <string>

namespace zorvik {

/// The field of a bank account number: digits only, eight at most. It is its own delegate: a delete is
/// always allowed, a typed digit while there is room; a paste, or a key with anything but digits, adds
/// only its digits, as many as fit. Only nibs make it.
class BankAccountNumberTextField : public FormattedTextField {
public:
    /// The most characters an account number has.
    static constexpr std::size_t kMaximumLength = 8;

    /// A field placed by a nib, with the frame the nib gives; empty.
    explicit BankAccountNumberTextField(const platform::ui::NibCoder& coder);

    std::string className() const override { return "BankAccountNumberTextField"; }

    /// Lets the platform apply a delete or digits that fit; adds the fitting digits of anything else itself.
    bool shouldChangeCharacters(platform::ui::TextField& field, platform::foundation::Utf16Range range,
        const std::string& replacement) override;
};

}
