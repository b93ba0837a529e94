#include "Zorvik/Views/LineItemsView/LineItemTableViewCell.h"

#include "Zorvik/Controllers/TabOrderController/TabOrderObjc.h"
#include "Zorvik/Views/Categories/ViewConstraints.h"
#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/CurrencyControls/LineItemAmountView/LineItemsAmountView.h"
#include "Zorvik/Views/DoneKeyboardAccessoryView/DismissKeyboardAccesoryView.h"
#include "Zorvik/Views/LineItemsView/LineItemDescriptionTextField.h"
#include "ZorvikAPI/models/LineItem.h"
#include "ZorvikAPI/models/ProportionalTax.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Button.h"
#include "platform/ui/Constraint.h"
#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"

namespace zorvik {

using platform::ui::ControlEvent;

namespace {

constexpr const char* kObservedKeys[] = { "unitPrice", "quantity", "netAmount", "grossAmount" };

}

LineItemTableViewCell::LineItemTableViewCell()
    : TableViewCell(platform::ui::TableViewCellStyle::Default, reuseIdentifier)
{
    declareOutlet("itemDescriptionText", m_itemDescriptionText);
    declareOutlet("itemAmountText", m_itemAmountText);
    declareOutlet("itemVATView", m_itemVATView);
    declareOutlet("itemTotalText", m_itemTotalText);
    declareOutlet("itemLabel", m_itemLabel);
    declareOutlet("deleteLineItemButton", m_deleteLineItemButton);
    declareAction("deletePressed", [this](platform::ui::View&) { deletePressed(); });
}

LineItemTableViewCell::~LineItemTableViewCell()
{
    observe(false);
}

void LineItemTableViewCell::awakeFromNib()
{
    setLayoutMargins({ 0, 0, 0, 0 });
    setPreservesSuperviewLayoutMargins(false);
    m_itemVATView->setDelegate(std::shared_ptr<SmallVATViewDelegate>(shared_from_this(), this));
    std::weak_ptr<const void> target = lifetime();
    for (const std::shared_ptr<platform::ui::Control>& field :
        { std::shared_ptr<platform::ui::Control>(m_itemDescriptionText),
            std::shared_ptr<platform::ui::Control>(m_itemAmountText) }) {
        field->addTarget(target, ControlEvent::EditingDidBegin, [this](auto&) { beganEditing(); });
        field->addTarget(target, ControlEvent::EditingChanged, [this](auto&) { editingChanged(); });
    }
    m_tabOrder = TabOrderObjc::make({ m_itemDescriptionText, m_itemAmountText }, false);
    m_itemAmountText->setInputAccessoryView(DismissKeyboardAccesoryView::makeWithSender(m_itemAmountText));
    setLineItem(api::LineItem::lineItem().record());
}

void LineItemTableViewCell::setLineItem(platform::foundation::DictionaryRef record)
{
    observe(false);
    m_lineItem = std::move(record);
    observe(true);
    api::LineItem item(m_lineItem);
    setNetAmount(item.netAmount());
    setGrossAmount(item.grossAmount());
    m_itemDescriptionText->setDescriptionText(item.descriptionOfWork().value_or(""));
    m_itemAmountText->setLineItem(m_lineItem);
    m_itemVATView->setIsVATEnabled(item.tax() != 0);
}

void LineItemTableViewCell::setIndex(std::size_t index)
{
    m_index = index;
    m_itemDescriptionText->setItemNumber(index);
    std::string number = std::to_string(index + 1);
    m_itemLabel->setText("total item " + number);
    m_itemVATView->vatSwitch()->setAccessibilityLabel("item " + number + " VAT");
    m_itemAmountText->amountField()->setAccessibilityLabel("item " + number + " price");
    m_itemAmountText->incrementButton()->setAccessibilityLabel("item " + number + " more");
    m_itemAmountText->decrementButton()->setAccessibilityLabel("item " + number + " fewer");
    m_deleteLineItemButton->setAccessibilityLabel("item " + number + " delete");
}

void LineItemTableViewCell::setNetAmount(std::int64_t pence)
{
    m_netAmount = pence;
    m_itemVATView->setNetAmount(pence);
}

void LineItemTableViewCell::setGrossAmount(std::int64_t pence)
{
    m_grossAmount = pence;
    m_itemTotalText->setAmount(pence);
}

void LineItemTableViewCell::beganEditing()
{
    auto self = shared_from_this();
    if (auto listener = delegate()) {
        listener->lineItemTableViewCellBeganEditing(*this);
        listener->lineItemTableViewCellEditingChanged(*this);
    }
}

void LineItemTableViewCell::editingChanged()
{
    auto self = shared_from_this();
    api::LineItem item(m_lineItem);
    item.setDescriptionOfWork(m_itemDescriptionText->descriptionText());
    item.setUnitPrice(m_itemAmountText->amount());
    if (auto listener = delegate())
        listener->lineItemTableViewCellEditingChanged(*this);
}

void LineItemTableViewCell::deletePressed()
{
    auto self = shared_from_this();
    if (auto listener = delegate())
        listener->deletePressedOnLineItemCell(*this);
}

void LineItemTableViewCell::vatSwitchToggled(bool on)
{
    api::LineItem item(m_lineItem);
    auto tax = api::ProportionalTax::proportionalTaxWithTaxRate(0, item.netAmount());
    if (on)
        tax.setTaxRate(SmallVATView::vatRate);
    item.setTax(tax.taxRate());
    setGrossAmount(tax.grossAmount().wholePence());
    beganEditing();
}

platform::ui::Size LineItemTableViewCell::sizeThatFits(platform::ui::Size size) const
{
    double amountHeight = m_itemAmountText->frame().height();
    if (auto constraint = ViewConstraints::heightConstraint(*m_itemAmountText))
        amountHeight = constraint->constant();
    double width = size.width > 0 ? size.width : bounds().width();
    return { width, 2 * margin + 3 * partHeight + 3 * gap + amountHeight };
}

void LineItemTableViewCell::observeValue(
    platform::foundation::Dictionary&, const std::string&, const platform::foundation::Change&)
{
    api::LineItem item(m_lineItem);
    m_itemTotalText->setAmount(item.grossAmount());
    m_itemVATView->setNetAmount(item.netAmount());
}

void LineItemTableViewCell::observe(bool start)
{
    if (!m_lineItem)
        return;
    for (const char* key : kObservedKeys) {
        if (start)
            m_lineItem->addObserver(std::shared_ptr<Observer>(shared_from_this(), this), key);
        else
            m_lineItem->removeObserver(this, key);
    }
}

}
