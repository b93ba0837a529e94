#pragma once

#include "Zorvik/Views/CurrencyControls/EditableCurrencyField.h"
#include "platform/ui/NibRegistry.h"
#include "platform/ui/TextField.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zorvik {

/// The field in which an amount is typed digit by digit on the number pad: every digit goes to the end of
/// the pence and the delete key drops the last one, whatever the caret, so typing 1, 2, 3 reads £0.01,
/// £0.12, £1.23. While typed the amount shows as plain pence text; set in code it shows in the currency
/// format with grouping (£1,234.56).
///
/// The field applies each key itself and refuses it to the platform, then sends editing-changed to its
/// targets; a key that changes nothing sends nothing. It refuses, sending nothing: a digit while the text
/// on display has 11 characters or more (typing stops at £1234567.89, and a grouped text set in code takes
/// no digit until a delete has turned it plain), a replacement that is not all digits (a paste of "12a" or
/// "£5"), and one that would take the amount past maximumAmount. It is its own text-field delegate.
class CurrencyTextField : public platform::ui::TextField,
                          public platform::ui::TextFieldDelegate,
                          public EditableCurrencyField {
public:
    /// The most pence the field takes by typing.
    static constexpr std::int64_t maximumAmount = 999'999'999;
    /// The most characters on display after which digits are refused.
    static constexpr std::size_t maximumTextLength = 11;

    /// An empty field with the frame, on the number pad.
    explicit CurrencyTextField(platform::ui::Rect frame = platform::ui::Rect::zero());
    /// A field placed by a nib.
    static std::shared_ptr<platform::ui::View> fromNib(const platform::ui::NibCoder& coder);

    std::string className() const override { return "CurrencyTextField"; }

    /// The amount in pence (0 until one is set or typed).
    std::int64_t amount() const override { return m_amount; }
    /// Stores the amount and shows it in the currency format (currencyValue()).
    void setAmount(std::int64_t pence) override;
    /// The amount in the "en-GB" currency format: 123456 is "£1,234.56".
    std::string currencyValue() const;
    /// The plain pence text of `pence`: 123456 is "£1234.56".
    static std::string stringifyPence(std::int64_t pence);
    /// Applies one key press with the replacement text (empty: the delete key), as the class comment
    /// says; always false, as the field never lets the platform apply the key.
    bool shouldUpdateValueWithString(const std::string& replacement);

    std::optional<platform::ui::AttributedString> attributedPlaceHolder() const override;
    void setAttributedPlaceHolder(const std::optional<platform::ui::AttributedString>& placeholder) override;
    std::shared_ptr<platform::ui::View> inputAccessoryView() const override;
    void setInputAccessoryView(const std::shared_ptr<platform::ui::View>& view) override;
    platform::ui::ReturnKeyType returnKeyType() const override;
    void setReturnKeyType(platform::ui::ReturnKeyType type) override;

    /// Routes the key to shouldUpdateValueWithString().
    bool shouldChangeCharacters(
        platform::ui::TextField&, platform::foundation::Utf16Range, const std::string& replacement) override;
    /// An empty field starts at £0.00 as editing begins.
    void didBeginEditing(platform::ui::TextField&) override;

private:
    std::int64_t m_amount { 0 };
};

}
