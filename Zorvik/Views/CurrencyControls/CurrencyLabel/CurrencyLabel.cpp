#include "Zorvik/Views/CurrencyControls/CurrencyLabel/CurrencyLabel.h"

#include "Zorvik/Views/CurrencyControls/CurrencyFormatter.h"

namespace zorvik {

CurrencyLabel::CurrencyLabel(platform::ui::Rect frame)
    : Label(frame)
{
}

std::shared_ptr<platform::ui::View> CurrencyLabel::fromNib(const platform::ui::NibCoder& coder)
{
    return std::make_shared<CurrencyLabel>(coder.frame);
}

void CurrencyLabel::setAmount(std::int64_t pence)
{
    m_amount = pence;
    setText(CurrencyFormatter::poundsText(pence));
}

}
