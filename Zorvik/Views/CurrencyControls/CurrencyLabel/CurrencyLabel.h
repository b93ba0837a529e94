#pragma once

#include "Zorvik/Views/CurrencyControls/CurrencyField.h"
#include "platform/ui/AttributedString.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibRegistry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zorvik {

/// A label that shows an amount in the "en-GB" currency format (£1,234.56). It starts at 0 pence with no
/// text; the first setAmount() writes it.
class CurrencyLabel : public platform::ui::Label, public CurrencyField {
public:
    /// A label with the frame.
    explicit CurrencyLabel(platform::ui::Rect frame = platform::ui::Rect::zero());
    /// A label placed by a nib.
    static std::shared_ptr<platform::ui::View> fromNib(const platform::ui::NibCoder& coder);

    std::string className() const override { return "CurrencyLabel"; }

    std::int64_t amount() const override { return m_amount; }
    /// Stores the amount and shows it.
    void setAmount(std::int64_t pence) override;

    /// A placeholder kept for the label's owner; never drawn.
    const std::optional<platform::ui::AttributedString>& attributedPlaceHolder() const
    {
        return m_attributedPlaceHolder;
    }
    void setAttributedPlaceHolder(std::optional<platform::ui::AttributedString> placeholder)
    {
        m_attributedPlaceHolder = std::move(placeholder);
    }

private:
    std::int64_t m_amount { 0 };
    std::optional<platform::ui::AttributedString> m_attributedPlaceHolder;
};

}
