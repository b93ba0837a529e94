#pragma once

#include "Zorvik/Views/XibViews/ExpandingXibView.h"
#include "ZorvikAPI/models/ProportionalTax.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform::ui {
class Label;
class Switch;
}

namespace zorvik {

class CurrencyTextField;
class LineView;

/// The VAT line under the amount of a new invoice. It has three looks:
/// - read-only (after creation, after setMarginAmount() or setAddVat(true), and whenever it takes no
///   touches): one line such as "+ VAT £2.46" (formatString() with the VAT) or "(without VAT)" dimmed;
/// - editable without VAT: a prompt row with the switch, collapsed;
/// - editable with VAT: the switch, and below it the VAT and total fields, expanded.
/// The switch position survives every change of look; the tax rate follows the switch only when it is
/// flipped (switchToggled()). Amounts are whole pence: net 1234 with VAT shows £2.46 and £14.80.
///
/// Only nibs make it (the nib "InlineVATView", two stacked views); the containing nib gives its collapsed
/// height and a height constraint.
class InlineVATView : public ExpandingXibView {
public:
    /// The rate of VAT while the switch is on, in percent.
    static constexpr double vatRate = 20;
    /// The read-only line while the switch is off.
    static constexpr const char* withoutVATText = "(without VAT)";

    InlineVATView();

    std::string className() const override { return "InlineVATView"; }

    /// The net amount in pence (0 at first).
    std::int64_t netAmount() const { return m_netAmount; }
    /// Stores the net amount and shows its VAT and total at the current rate.
    void setNetAmount(std::int64_t pence);
    /// The gross amount of the net amount at the current rate, in whole pence.
    std::int64_t total() const;
    /// Whether the switch is on.
    bool addVat() const;
    /// Sets the switch without animation and applies it (switchToggled()); on, the view turns read-only.
    void setAddVat(bool addVat);
    /// The VAT shown, in pence, when the owner sets it itself.
    std::int64_t marginAmount() const { return m_marginAmount; }
    /// Shows `pence` as the VAT (the rate and total() are untouched) and turns read-only.
    void setMarginAmount(std::int64_t pence);
    /// The read-only line's format, whose "%@" takes the VAT text ("+ VAT %@" at first).
    const std::string& formatString() const { return m_formatString; }
    void setFormatString(std::string format) { m_formatString = std::move(format); }

    /// Takes touches (the editable look for the switch's position) or not (the read-only look).
    void setUserInteractionEnabled(bool enabled) override;

    /// The switch was flipped: expands with the VAT row when on (rate 20) or collapses (rate 0; while
    /// editable the prompt row shows instead), and shows the VAT and total of the net amount.
    void switchToggled();
    /// Flips the switch with animation, then switchToggled().
    void toggleSwitch();
    /// Writes the read-only line for the switch's position.
    void updateReadOnlyLabel();
    /// Shows the read-only look.
    void showReadOnlyMarginView();

    /// The tax at the current rate on the net amount.
    const api::ProportionalTax& tax() const { return m_tax; }

    std::shared_ptr<platform::ui::Switch> vatSwitch() const { return m_vatSwitch.lock(); }
    std::shared_ptr<CurrencyTextField> marginTextField() const { return m_marginTextField.lock(); }
    std::shared_ptr<CurrencyTextField> totalTextField() const { return m_totalTextField.lock(); }
    std::shared_ptr<platform::ui::Label> marginLReadOnlyLabel() const
    {
        return m_marginLReadOnlyLabel.lock();
    }
    std::shared_ptr<platform::ui::View> vatMarginView() const { return m_vatMarginView.lock(); }
    std::shared_ptr<platform::ui::View> vatPromptView() const { return m_vatPromptView.lock(); }
    std::shared_ptr<platform::ui::View> vatMarginViewReadOnly() const
    {
        return m_vatMarginViewReadOnly.lock();
    }

protected:
    /// Builds the two rows and enters the read-only look.
    void construct() override;

private:
    void showAmounts();

    std::weak_ptr<platform::ui::Switch> m_vatSwitch;
    std::weak_ptr<CurrencyTextField> m_marginTextField;
    std::weak_ptr<CurrencyTextField> m_totalTextField;
    std::weak_ptr<platform::ui::Label> m_marginLReadOnlyLabel;
    std::weak_ptr<platform::ui::View> m_vatMarginView;
    std::weak_ptr<platform::ui::View> m_vatPromptView;
    std::weak_ptr<platform::ui::View> m_vatMarginViewReadOnly;
    std::weak_ptr<platform::ui::View> m_topLine;
    std::weak_ptr<platform::ui::View> m_bottomLine;
    std::weak_ptr<LineView> m_middleLineView;
    std::string m_formatString { "+ VAT %@" };
    std::int64_t m_netAmount { 0 };
    std::int64_t m_marginAmount { 0 };
    api::ProportionalTax m_tax { api::ProportionalTax::proportionalTaxWithTaxRate(0) };
};

}
