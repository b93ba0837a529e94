#include "Zorvik/Views/InlineVATView/SmallVATView.h"

#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"
#include "platform/ui/Switch.h"

namespace zorvik {

SmallVATView::SmallVATView()
{
    declareOutlet("vatSwitch", m_vatSwitch);
    declareOutlet("currencyLabel", m_currencyLabel);
    declareAction("switchToggled", [this](platform::ui::View&) { switchToggled(); });
}

void SmallVATView::switchToggled()
{
    auto self = shared_from_this();
    if (auto listener = delegate())
        listener->vatSwitchToggled(m_vatSwitch->isOn());
    update();
}

void SmallVATView::update()
{
    m_vat.setTaxRate(m_vatSwitch->isOn() ? vatRate : 0);
    m_currencyLabel->setAmount(vatAmount());
}

std::int64_t SmallVATView::vatAmount() const
{
    return m_vat.margin();
}

std::int64_t SmallVATView::grossAmount() const
{
    return m_vat.grossAmount().wholePence();
}

void SmallVATView::setNetAmount(std::int64_t pence)
{
    m_vat.setNetAmount(pence);
    m_currencyLabel->setAmount(vatAmount());
}

void SmallVATView::setIsVATEnabled(bool enabled)
{
    m_isVATEnabled = enabled;
    m_vatSwitch->setOn(enabled, false);
    update();
}

}
