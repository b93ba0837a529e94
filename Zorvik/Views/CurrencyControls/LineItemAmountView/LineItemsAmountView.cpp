#include "Zorvik/Views/CurrencyControls/LineItemAmountView/LineItemsAmountView.h"

#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "ZorvikAPI/models/LineItem.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

namespace zorvik {

using platform::ui::ControlEvent;

namespace {

constexpr const char* kObservedKeys[] = { "quantity", "unitPrice", "tax" };

}

LineItemsAmountView::LineItemsAmountView()
{
    declareOutlet("amountField", m_amountField);
    declareOutlet("quantityLabel", m_quantityLabel);
    declareOutlet("subTotalLabel", m_subTotalLabel);
    declareOutlet("incrementButton", m_incrementButton);
    declareOutlet("decrementButton", m_decrementButton);
    declareAction("incrementQuantity", [this](platform::ui::View&) { incrementQuantity(); });
    declareAction("decrementQuantity", [this](platform::ui::View&) { decrementQuantity(); });
}

LineItemsAmountView::~LineItemsAmountView()
{
    observe(false);
}

void LineItemsAmountView::construct()
{
    ExpandingXibView::construct();
    std::weak_ptr<const void> target = lifetime();
    m_amountField->addTarget(
        target, ControlEvent::EditingDidBegin, [this](auto&) { sendActions(ControlEvent::EditingDidBegin); });
    m_amountField->addTarget(target, ControlEvent::EditingChanged, [this](auto&) {
        if (m_lineItem)
            api::LineItem(m_lineItem).setUnitPrice(m_amountField->amount());
        sendActions(ControlEvent::EditingChanged);
    });
    setQuantity(1);
}

void LineItemsAmountView::setLineItem(platform::foundation::DictionaryRef record)
{
    observe(false);
    m_lineItem = std::move(record);
    observe(true);
    if (!m_lineItem)
        return;
    api::LineItem item(m_lineItem);
    setAmount(item.unitPrice());
    showRecord();
}

void LineItemsAmountView::setQuantity(std::int64_t quantity)
{
    m_quantity = quantity;
    m_quantityLabel->setText("x " + std::to_string(quantity));
    bool collapsed = quantity < 2;
    view2()->setHidden(collapsed);
    setIsCollapsed(collapsed);
}

void LineItemsAmountView::incrementQuantity()
{
    if (m_quantity >= maximumQuantity || !m_lineItem)
        return;
    api::LineItem item(m_lineItem);
    item.setQuantity(item.quantity() + 1);
    sendActions(ControlEvent::EditingChanged);
}

void LineItemsAmountView::decrementQuantity()
{
    if (m_quantity <= 0 || !m_lineItem)
        return;
    api::LineItem item(m_lineItem);
    item.setQuantity(item.quantity() - 1);
    sendActions(ControlEvent::EditingChanged);
}

std::int64_t LineItemsAmountView::amount() const
{
    return m_amountField->amount();
}

void LineItemsAmountView::setAmount(std::int64_t pence)
{
    m_amountField->setAmount(pence);
}

std::optional<platform::ui::AttributedString> LineItemsAmountView::attributedPlaceHolder() const
{
    return m_amountField->attributedPlaceHolder();
}

void LineItemsAmountView::setAttributedPlaceHolder(
    const std::optional<platform::ui::AttributedString>& placeholder)
{
    m_amountField->setAttributedPlaceHolder(placeholder);
}

std::shared_ptr<platform::ui::View> LineItemsAmountView::inputAccessoryView() const
{
    return m_amountField->inputAccessoryView();
}

void LineItemsAmountView::setInputAccessoryView(const std::shared_ptr<platform::ui::View>& view)
{
    m_amountField->setInputAccessoryView(view);
}

platform::ui::ReturnKeyType LineItemsAmountView::returnKeyType() const
{
    return m_amountField->returnKeyType();
}

void LineItemsAmountView::setReturnKeyType(platform::ui::ReturnKeyType type)
{
    m_amountField->setReturnKeyType(type);
}

std::string LineItemsAmountView::text() const
{
    return m_amountField->text();
}

bool LineItemsAmountView::becomeFirstResponder()
{
    return m_amountField->becomeFirstResponder();
}

bool LineItemsAmountView::resignFirstResponder()
{
    return m_amountField->resignFirstResponder();
}

std::shared_ptr<platform::ui::TextField> LineItemsAmountView::heldTextField() const
{
    return m_amountField;
}

void LineItemsAmountView::observeValue(
    platform::foundation::Dictionary&, const std::string&, const platform::foundation::Change&)
{
    showRecord();
}

void LineItemsAmountView::observe(bool start)
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

void LineItemsAmountView::showRecord()
{
    api::LineItem item(m_lineItem);
    setQuantity(item.quantity());
    m_subTotalLabel->setAmount(item.netAmount());
}

}
