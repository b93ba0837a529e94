#pragma once

#include "Zorvik/Views/XibViews/XibViewObjcmb.h"
#include "ZorvikAPI/models/ProportionalTax.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform::ui {
class Switch;
}

namespace zorvik {

class CurrencyLabel;

/// Told when the user flips a SmallVATView's switch.
class SmallVATViewDelegate {
public:
    virtual ~SmallVATViewDelegate() = default;

    /// The switch was flipped by the user and is now `on`; the view's label is updated after this.
    virtual void vatSwitchToggled(bool on) = 0;
};

/// A line item's VAT: a switch for 20 % or nothing and a label with the VAT on the item's net amount in
/// whole pence. Laid out by the nib "SmallVATView".
class SmallVATView : public XibViewObjcmb {
public:
    /// The rate of VAT while the switch is on, in percent.
    static constexpr double vatRate = 20;

    SmallVATView();

    std::string className() const override { return "SmallVATView"; }

    /// The user flipped the switch: tells the delegate, then update().
    void switchToggled();
    /// Takes the rate from the switch and shows the VAT.
    void update();
    /// The VAT in whole pence.
    std::int64_t vatAmount() const;
    /// The gross amount in whole pence.
    std::int64_t grossAmount() const;
    /// Sets the net amount in pence and shows its VAT.
    void setNetAmount(std::int64_t pence);
    /// Sets the switch (without animation) and the rate; the delegate is not told.
    void setIsVATEnabled(bool enabled);
    /// The last value given to setIsVATEnabled().
    bool isVATEnabled() const { return m_isVATEnabled; }

    /// Who hears of flips of the switch, or null.
    std::shared_ptr<SmallVATViewDelegate> delegate() const { return m_delegate.lock(); }
    /// Sets who hears of flips, held weakly.
    void setDelegate(std::weak_ptr<SmallVATViewDelegate> delegate) { m_delegate = std::move(delegate); }

    const std::shared_ptr<platform::ui::Switch>& vatSwitch() const { return m_vatSwitch; }
    const std::shared_ptr<CurrencyLabel>& currencyLabel() const { return m_currencyLabel; }
    const api::ProportionalTax& vat() const { return m_vat; }

private:
    std::shared_ptr<platform::ui::Switch> m_vatSwitch;
    std::shared_ptr<CurrencyLabel> m_currencyLabel;
    std::weak_ptr<SmallVATViewDelegate> m_delegate;
    api::ProportionalTax m_vat { api::ProportionalTax::proportionalTaxWithTaxRate(vatRate) };
    bool m_isVATEnabled { false };
};

}
