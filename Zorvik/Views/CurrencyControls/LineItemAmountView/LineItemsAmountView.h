#pragma once

#include "Zorvik/Controllers/TabOrderController/TextFieldHolder.h"
#include "Zorvik/Views/CurrencyControls/EditableCurrencyField.h"
#include "Zorvik/Views/XibViews/ExpandingXibView.h"
#include "platform/foundation/Observation.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform::ui {
class Button;
class Label;
}

namespace zorvik {

class CurrencyLabel;
class CurrencyTextField;

/// The money part of a line-item row: the unit price typed in pence, the quantity stepped between 0 and
/// 99 with two buttons, and, from a quantity of 2 on, a second row with the subtotal (the item's net
/// amount). Every change goes into the line-item record through its setters, and the view redraws from the
/// record as it observes it (quantity, unit price, tax). Typing in the price sends the view's own
/// editing-began and editing-changed; a quantity step sends editing-changed.
///
/// It stands for its price field (TextFieldHolder): focus, keyboard bar and Return key are the field's.
/// Only nibs make it (the nib "LineItemsAmountView", two stacked views).
class LineItemsAmountView : public ExpandingXibView,
                            public EditableCurrencyField,
                            public TextFieldHolder,
                            public platform::foundation::Observer {
public:
    /// The largest quantity.
    static constexpr std::int64_t maximumQuantity = 99;

    LineItemsAmountView();
    ~LineItemsAmountView() override;

    std::string className() const override { return "LineItemsAmountView"; }

    /// The record shown, or null.
    const platform::foundation::DictionaryRef& lineItem() const { return m_lineItem; }
    /// Shows `record` and observes it from now on (instead of the record before).
    void setLineItem(platform::foundation::DictionaryRef record);
    /// The quantity last shown (1 at first).
    std::int64_t quantity() const { return m_quantity; }
    /// Shows "x n"; the subtotal row shows from 2 on.
    void setQuantity(std::int64_t quantity);
    /// One more, up to 99.
    void incrementQuantity();
    /// One fewer, down to 0.
    void decrementQuantity();

    std::int64_t amount() const override;
    void setAmount(std::int64_t pence) override;
    std::optional<platform::ui::AttributedString> attributedPlaceHolder() const override;
    void setAttributedPlaceHolder(const std::optional<platform::ui::AttributedString>& placeholder) override;
    std::shared_ptr<platform::ui::View> inputAccessoryView() const override;
    void setInputAccessoryView(const std::shared_ptr<platform::ui::View>& view) override;
    platform::ui::ReturnKeyType returnKeyType() const override;
    void setReturnKeyType(platform::ui::ReturnKeyType type) override;
    /// The price field's text.
    std::string text() const;
    /// The price field becomes the first responder.
    bool becomeFirstResponder() override;
    /// The price field resigns.
    bool resignFirstResponder() override;
    std::shared_ptr<platform::ui::TextField> heldTextField() const override;

    void observeValue(platform::foundation::Dictionary&, const std::string& key,
        const platform::foundation::Change&) override;

    const std::shared_ptr<CurrencyTextField>& amountField() const { return m_amountField; }
    const std::shared_ptr<platform::ui::Label>& quantityLabel() const { return m_quantityLabel; }
    const std::shared_ptr<CurrencyLabel>& subTotalLabel() const { return m_subTotalLabel; }
    const std::shared_ptr<platform::ui::Button>& incrementButton() const { return m_incrementButton; }
    const std::shared_ptr<platform::ui::Button>& decrementButton() const { return m_decrementButton; }

protected:
    void construct() override;

private:
    void observe(bool start);
    void showRecord();

    std::shared_ptr<CurrencyTextField> m_amountField;
    std::shared_ptr<platform::ui::Label> m_quantityLabel;
    std::shared_ptr<CurrencyLabel> m_subTotalLabel;
    std::shared_ptr<platform::ui::Button> m_incrementButton;
    std::shared_ptr<platform::ui::Button> m_decrementButton;
    platform::foundation::DictionaryRef m_lineItem;
    std::int64_t m_quantity { 1 };
};

}
