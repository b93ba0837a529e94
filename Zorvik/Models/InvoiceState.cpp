#include "Zorvik/Models/InvoiceState.h"

#include "Zorvik/Models/DateCalculator.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Text.h"

namespace zorvik {

std::optional<std::int64_t> InvoiceState::daysSinceSent(const api::Invoice& invoice)
{
    auto sent = invoice.sent();
    if (!sent)
        return std::nullopt;
    return DateCalculator::daysBetweenCalendarDatesFrom(*sent, platform::foundation::now());
}

bool InvoiceState::isDue(const api::Invoice& invoice)
{
    auto days = daysSinceSent(invoice);
    return days && isDueAfter(*days);
}

bool InvoiceState::isLate(const api::Invoice& invoice)
{
    auto days = daysSinceSent(invoice);
    return days && isLateAfter(*days);
}

int InvoiceState::statusForInvoice(const api::Invoice& invoice)
{
    auto days = daysSinceSent(invoice);
    if (!days || !isDueAfter(*days))
        return Normal;
    return isLateAfter(*days) ? Late : Due;
}

std::string InvoiceState::countDaysWithInvoiceSentDate(platform::foundation::Date sentDate)
{
    using platform::foundation::stringWithFormat;
    auto days = DateCalculator::daysBetweenCalendarDatesFrom(sentDate, platform::foundation::now());
    if (isLateAfter(days)) {
        long late = static_cast<long>(days - getPaymentTerm());
        return late == 1 ? stringWithFormat("late by %ld day", late)
                         : stringWithFormat("late by %ld days", late);
    }
    long left = static_cast<long>(getPaymentTerm() - days);
    if (left == 0)
        return "due today";
    return left == 1 ? stringWithFormat("due in %ld day", left) : stringWithFormat("due in %ld days", left);
}

bool InvoiceState::isDueAfter(std::int64_t days)
{
    return days >= getPaymentTerm() - getNearlyDueReminderMargin();
}

bool InvoiceState::isLateAfter(std::int64_t days)
{
    return days >= getPaymentTerm() + getLateReminderMargin();
}

}
