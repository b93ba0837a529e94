#pragma once

#include "Zorvik/Views/InlineVATView/SmallVATView.h"
#include "platform/foundation/Observation.h"
#include "platform/foundation/Value.h"
#include "platform/ui/NibOwner.h"
#include "platform/ui/TableViewCell.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform::ui {
class Button;
class Label;
}

namespace zorvik {

class CurrencyLabel;
class LineItemDescriptionTextField;
class LineItemTableViewCell;
class LineItemsAmountView;
class TabOrderObjc;

/// Told what the user does in a line-item row.
class LineItemTableViewCellDelegate {
public:
    virtual ~LineItemTableViewCellDelegate() = default;

    /// A field of the row began editing (editing changed follows).
    virtual void lineItemTableViewCellBeganEditing(LineItemTableViewCell& cell) = 0;
    /// The row's item changed.
    virtual void lineItemTableViewCellEditingChanged(LineItemTableViewCell& cell) = 0;
    /// The row's delete button was pressed.
    virtual void deletePressedOnLineItemCell(LineItemTableViewCell& cell) = 0;
};

/// One row of the line-items editor, editing one line-item record: the numbered description, the unit
/// price and quantity (LineItemsAmountView), the VAT switch (SmallVATView) and the item's total. Every
/// edit goes into the record through its setters at once; the row redraws from the record as it observes
/// it (unit price, quantity, net and gross), one record at a time. Made by the nib
/// "LineItemTableViewCell" under the reuse identifier "lineitem".
///
/// The row's price field, switch, quantity buttons and delete button carry the accessibility labels
/// "item N price", "item N VAT", "item N more", "item N fewer" and "item N delete" (N counted from 1), so
/// that a script can reach them.
class LineItemTableViewCell : public platform::ui::TableViewCell,
                              public platform::ui::NibOwner,
                              public SmallVATViewDelegate,
                              public platform::foundation::Observer {
public:
    /// The reuse identifier.
    static constexpr const char* reuseIdentifier = "lineitem";
    /// The height of a row's parts: each of the description, VAT and total rows, the space around the
    /// row and the gaps between its parts.
    static constexpr double partHeight = 44;
    static constexpr double margin = 10;
    static constexpr double gap = 6;

    LineItemTableViewCell();
    ~LineItemTableViewCell() override;

    std::string className() const override { return "LineItemTableViewCell"; }

    /// Wires the row once its nib has filled the outlets, and shows a blank item.
    void awakeFromNib();

    /// The record shown.
    const platform::foundation::DictionaryRef& lineItem() const { return m_lineItem; }
    /// Shows `record` and observes it from now on (instead of the record before).
    void setLineItem(platform::foundation::DictionaryRef record);
    /// The row, counted from 0.
    std::size_t index() const { return m_index; }
    /// Numbers the row (from 0): the description's number, "total item N" and the accessibility labels.
    void setIndex(std::size_t index);
    /// Shows the VAT of this net amount.
    void setNetAmount(std::int64_t pence);
    /// Shows this total.
    void setGrossAmount(std::int64_t pence);
    std::int64_t netAmount() const { return m_netAmount; }
    std::int64_t grossAmount() const { return m_grossAmount; }

    /// A field began editing: the delegate hears began, then changed.
    void beganEditing();
    /// A field changed: the description and price go into the record, then the delegate hears.
    void editingChanged();
    /// The delete button's action.
    void deletePressed();
    /// The user flipped the VAT switch: the record's tax becomes 20 or 0 and the total follows.
    void vatSwitchToggled(bool on) override;

    /// The description, the price and its quantity, the VAT, the total.
    platform::ui::Size sizeThatFits(platform::ui::Size size) const override;

    void observeValue(platform::foundation::Dictionary&, const std::string& key,
        const platform::foundation::Change&) override;

    std::shared_ptr<LineItemTableViewCellDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<LineItemTableViewCellDelegate> delegate)
    {
        m_delegate = std::move(delegate);
    }

    const std::shared_ptr<LineItemDescriptionTextField>& itemDescriptionText() const
    {
        return m_itemDescriptionText;
    }
    const std::shared_ptr<LineItemsAmountView>& itemAmountText() const { return m_itemAmountText; }
    const std::shared_ptr<SmallVATView>& itemVATView() const { return m_itemVATView; }
    const std::shared_ptr<CurrencyLabel>& itemTotalText() const { return m_itemTotalText; }
    const std::shared_ptr<platform::ui::Label>& itemLabel() const { return m_itemLabel; }
    const std::shared_ptr<platform::ui::Button>& deleteLineItemButton() const
    {
        return m_deleteLineItemButton;
    }
    const std::shared_ptr<TabOrderObjc>& tabOrder() const { return m_tabOrder; }

private:
    void observe(bool start);

    std::shared_ptr<LineItemDescriptionTextField> m_itemDescriptionText;
    std::shared_ptr<LineItemsAmountView> m_itemAmountText;
    std::shared_ptr<SmallVATView> m_itemVATView;
    std::shared_ptr<CurrencyLabel> m_itemTotalText;
    std::shared_ptr<platform::ui::Label> m_itemLabel;
    std::shared_ptr<platform::ui::Button> m_deleteLineItemButton;
    std::shared_ptr<TabOrderObjc> m_tabOrder;
    platform::foundation::DictionaryRef m_lineItem;
    std::size_t m_index { 0 };
    std::weak_ptr<LineItemTableViewCellDelegate> m_delegate;
    std::int64_t m_netAmount { 0 };
    std::int64_t m_grossAmount { 0 };
};

}
