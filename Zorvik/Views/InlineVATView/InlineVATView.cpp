#include "Zorvik/Views/InlineVATView/InlineVATView.h"

#include "Zorvik/Views/CurrencyControls/CurrencyTextField/CurrencyTextField.h"
#include "Zorvik/Views/LineView/LineView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"

namespace zorvik {

namespace {

void hide(const std::weak_ptr<platform::ui::View>& view, bool hidden)
{
    if (auto shown = view.lock())
        shown->setHidden(hidden);
}

}

InlineVATView::InlineVATView()
{
    declareOutlet("vatSwitch", m_vatSwitch);
    declareOutlet("marginTextField", m_marginTextField);
    declareOutlet("totalTextField", m_totalTextField);
    declareOutlet("marginLReadOnlyLabel", m_marginLReadOnlyLabel);
    declareOutlet("vatMarginView", m_vatMarginView);
    declareOutlet("vatPromptView", m_vatPromptView);
    declareOutlet("vatMarginViewReadOnly", m_vatMarginViewReadOnly);
    declareOutlet("topLine", m_topLine);
    declareOutlet("bottomLine", m_bottomLine);
    declareOutlet("middleLineView", m_middleLineView);
    declareAction("switchToggled", [this](platform::ui::View&) { switchToggled(); });
    declareAction("toggleSwitch", [this](platform::ui::View&) { toggleSwitch(); });
}

void InlineVATView::construct()
{
    ExpandingXibView::construct();
    // Read-only until its owner makes it editable: a switch turned by the owner meanwhile must not bring up
    // the editing prompt over the read-only line.
    setUserInteractionEnabled(false);
}

void InlineVATView::setNetAmount(std::int64_t pence)
{
    m_netAmount = pence;
    showAmounts();
    updateReadOnlyLabel();
}

std::int64_t InlineVATView::total() const
{
    auto tax = m_tax;
    tax.setNetAmount(m_netAmount);
    return tax.grossAmount().wholePence();
}

bool InlineVATView::addVat() const
{
    auto control = vatSwitch();
    return control && control->isOn();
}

void InlineVATView::setAddVat(bool addVat)
{
    if (auto control = vatSwitch())
        control->setOn(addVat, false);
    switchToggled();
    if (addVat)
        showReadOnlyMarginView();
    else
        updateReadOnlyLabel();
}

void InlineVATView::setMarginAmount(std::int64_t pence)
{
    m_marginAmount = pence;
    marginTextField()->setAmount(pence);
    updateReadOnlyLabel();
    showReadOnlyMarginView();
}

void InlineVATView::setUserInteractionEnabled(bool enabled)
{
    ExpandingXibView::setUserInteractionEnabled(enabled);
    if (!enabled) {
        showReadOnlyMarginView();
        return;
    }
    bool on = addVat();
    hide(m_vatMarginView, !on);
    hide(m_vatPromptView, on);
    hide(m_vatMarginViewReadOnly, true);
    hide(m_vatSwitch, false);
    hide(m_topLine, false);
    hide(m_bottomLine, false);
    setIsCollapsed(!on);
}

void InlineVATView::switchToggled()
{
    bool on = addVat();
    setIsCollapsed(!on);
    m_tax.setTaxRate(on ? vatRate : 0);
    if (on)
        hide(m_vatMarginView, false);
    if (isUserInteractionEnabled()) {
        // Editable, the prompt row stands in for the amounts while VAT is off.
        hide(m_vatMarginView, !on);
        hide(m_vatPromptView, on);
    }
    showAmounts();
}

void InlineVATView::toggleSwitch()
{
    auto control = vatSwitch();
    control->setOn(!control->isOn(), true);
    switchToggled();
}

void InlineVATView::updateReadOnlyLabel()
{
    auto label = marginLReadOnlyLabel();
    if (addVat()) {
        std::string text = m_formatString;
        if (auto at = text.find("%@"); at != std::string::npos)
            text.replace(at, 2, marginTextField()->text());
        label->setText(text);
        label->setAlpha(1.0);
    } else {
        label->setText(std::string(withoutVATText));
        label->setAlpha(0.4);
    }
}

void InlineVATView::showReadOnlyMarginView()
{
    hide(m_vatMarginView, true);
    hide(m_vatPromptView, true);
    hide(m_vatMarginViewReadOnly, false);
    updateReadOnlyLabel();
    hide(m_vatSwitch, true);
    hide(m_topLine, true);
    hide(m_bottomLine, true);
    hide(m_middleLineView, true);
    setIsCollapsed(true);
}

void InlineVATView::showAmounts()
{
    m_tax.setNetAmount(m_netAmount);
    marginTextField()->setAmount(m_tax.margin());
    totalTextField()->setAmount(m_tax.grossAmount().wholePence());
}

}
