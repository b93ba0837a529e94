#include "Zorvik/Views/CurrencyControls/CurrencyAnimation.h"

#include "Zorvik/Views/CurrencyControls/CurrencyField.h"
#include "platform/foundation/MainQueue.h"

#include <algorithm>
#include <cmath>

namespace zorvik {

std::shared_ptr<CurrencyAnimation> CurrencyAnimation::make(
    std::weak_ptr<CurrencyField> field, std::int64_t pence)
{
    std::shared_ptr<CurrencyAnimation> animation(new CurrencyAnimation());
    animation->m_field = std::move(field);
    animation->m_amount = pence;
    return animation;
}

void CurrencyAnimation::start()
{
    auto field = m_field.lock();
    if (!field || field->amount() >= m_amount)
        return;
    platform::foundation::mainQueue().after(tickInterval, [self = shared_from_this()] { self->tick(); });
}

void CurrencyAnimation::tick()
{
    auto field = m_field.lock();
    if (!field)
        return;
    std::int64_t next = field->amount() + step();
    field->setAmount(step() == 0 || next >= m_amount ? m_amount : next);
    start();
}

std::int64_t CurrencyAnimation::step() const
{
    // Whole steps in the duration, counted in milliseconds so that 0.5 s is exactly 10 steps.
    auto ticks
        = std::max<std::int64_t>(1, std::llround(m_duration * 1000) / std::llround(tickInterval * 1000));
    return m_amount / ticks;
}

}
