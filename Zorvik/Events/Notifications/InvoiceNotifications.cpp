#include "Zorvik/Events/Notifications/InvoiceNotifications.h"

#include "Zorvik/Events/Notifications/ApplePushNotificationService.h"
#include "Zorvik/Models/InvoiceState.h"
#include "ZorvikAPI/filters/DoneFilter.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/NumberFormatter.h"
#include "platform/foundation/Text.h"

#include <cmath>

namespace zorvik {

using platform::foundation::Date;
using platform::foundation::stringWithFormat;

void InvoiceNotifications::createLocalNotificationForInvoice(const api::Invoice& invoice)
{
    if (api::DoneFilter::isInvoiceDone(invoice))
        return;
    scheduleWhenNormal(invoice);
}

void InvoiceNotifications::createMissingLocalNotifications(const platform::foundation::ArrayRef& invoices)
{
    if (!invoices)
        return;
    auto scheduled = ApplePushNotificationService::apns().scheduledInvoiceIDs();
    // The records are read in place and shared only for a reminder to make: a list is handed over again at
    // every refresh, when most of its invoices already have theirs.
    for (const auto& element : *invoices) {
        auto* record = element.dictionaryPointer();
        auto* identifier = record ? record->find("id") : nullptr;
        if (!identifier)
            continue;
        auto text = identifier->stringValue();
        if (scheduled.contains(text))
            continue;
        createLocalNotificationForInvoice(api::Invoice(element.dictionary()));
        scheduled.insert(std::move(text));
    }
}

bool InvoiceNotifications::isNotificationScheduledForInvoice(const api::Invoice& invoice) const
{
    return ApplePushNotificationService::apns().isNotificationScheduledForInvoice(invoice);
}

void InvoiceNotifications::removeLocalNotificationForInvoice(const api::Invoice& invoice)
{
    ApplePushNotificationService::apns().removeLocalNotificationForInvoice(invoice);
}

void InvoiceNotifications::invoiceMoved(const api::Invoice& invoice, std::string_view folder)
{
    if (folder == "done") {
        removeLocalNotificationForInvoice(invoice);
        return;
    }
    if (!isNotificationScheduledForInvoice(invoice))
        scheduleWhenNormal(invoice);
}

void InvoiceNotifications::invoiceDeleted(const api::Invoice& invoice)
{
    removeLocalNotificationForInvoice(invoice);
}

std::optional<Date> InvoiceNotifications::calculateDateAndTimeToSendNotificationForInvoice(
    const api::Invoice& invoice) const
{
    auto days = InvoiceState::daysSinceSent(invoice);
    if (!days)
        return std::nullopt;
    auto dueDay = InvoiceState::getPaymentTerm() - InvoiceState::getNearlyDueReminderMargin();
    auto offset = *days <= dueDay ? dueDay - *days : 0;
    platform::foundation::Calendar calendar;
    auto today = Date { std::floor(platform::foundation::now().secondsSince1970) };
    return calendar.settingTime(calendar.addingDays(today, offset), kReminderHour, kReminderMinute, 0);
}

std::string InvoiceNotifications::convertGrossAmountToStringWithDecimalPlaces(std::int64_t pence)
{
    // Made once per thread: a list hands over a reminder for each of its invoices, and an ICU formatter
    // costs far more to make than to use.
    thread_local const auto formatter = [] {
        platform::foundation::NumberFormatter made(
            platform::foundation::NumberFormatter::Style::Decimal, "en-GB");
        made.setUsesGrouping(true);
        made.setMinimumFractionDigits(2);
        made.setMaximumFractionDigits(2);
        return made;
    }();
    return formatter.formatScaled(pence, 2);
}

std::string InvoiceNotifications::reminderMessage(const std::string& amount, std::int64_t days)
{
    auto daysText = stringWithFormat("%ld", static_cast<long>(days));
    if (days >= 2)
        return stringWithFormat(
            "Hi, you have an invoice for £%s due in just %s days.", amount.c_str(), daysText.c_str());
    if (days == 1)
        return stringWithFormat(
            "Hi, you have an invoice for £%s due in just %s day.", amount.c_str(), daysText.c_str());
    return stringWithFormat("Hi, you have an invoice for £%s due today.", amount.c_str());
}

void InvoiceNotifications::scheduleWhenNormal(const api::Invoice& invoice)
{
    if (InvoiceState::statusForInvoice(invoice) != InvoiceState::Normal || invoice.identifier().isNull())
        return;
    auto fireDate = calculateDateAndTimeToSendNotificationForInvoice(invoice);
    if (!fireDate)
        return;
    auto message = reminderMessage(convertGrossAmountToStringWithDecimalPlaces(invoice.grossAmount()),
        InvoiceState::getNearlyDueReminderMargin());
    ApplePushNotificationService::apns().setLocalNotificationForInvoice(invoice, message, *fireDate);
}

}
