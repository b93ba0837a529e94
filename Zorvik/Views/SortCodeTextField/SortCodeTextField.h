#pragma once

#include "Zorvik/Views/FormattedTextField/FormattedTextField.h"

#include <string>

namespace zorvik {

/// The field of a bank sort code, shown as three pairs of digits joined by hyphens (12-34-56). It is its own
/// delegate and never lets the platform edit its text: it keeps the digits apart (plainText()), adds a typed
/// or pasted text's digits up to six in all, takes the last digit away on a delete, and then shows the
/// digits hyphenated. Anything but digits is ignored. Only nibs make it.
class SortCodeTextField : public FormattedTextField {
public:
    /// The most digits a sort code has.
    static constexpr std::size_t kMaximumDigits = 6;

    /// A field placed by a nib, with the frame the nib gives; empty.
    explicit SortCodeTextField(const platform::ui::NibCoder& coder);

    std::string className() const override { return "SortCodeTextField"; }

    /// The digits of the sort code, without hyphens.
    const std::string& plainText() const { return m_plainText; }

    /// Shows `text` as it is (a stored sort code keeps its own form) and keeps its digits as plainText().
    void setText(const std::string& text) override;

    /// Applies a key press or paste to the digits and shows them; always refuses the platform's own edit.
    bool shouldChangeCharacters(platform::ui::TextField& field, platform::foundation::Utf16Range range,
        const std::string& replacement) override;

    /// `digits` with a hyphen after the second and after the fourth: "1" stays "1", "12" becomes "12-",
    /// "123" "12-3", "1234" "12-34-", "123456" "12-34-56".
    static std::string hyphenate(const std::string& digits);

private:
    std::string m_plainText;
};

}
