#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik::api {
class Invoice;
}

namespace zorvik {

/// The reminder that an invoice is nearly due: at 11:55 on the device's wall clock on the day the invoice
/// becomes due (28 calendar days after it was sent), naming its gross amount. Only a To-Do invoice in the
/// normal state gets one; the screens cancel it when the invoice moves to Done or is deleted. Main thread
/// only.
class InvoiceNotifications {
public:
    /// The hour of the day a reminder fires.
    static constexpr int kReminderHour { 11 };
    /// The minute of that hour.
    static constexpr int kReminderMinute { 55 };

    /// Schedules the invoice's reminder when it is to do, in the normal state and has a sent date and an
    /// "id"; otherwise does nothing. Callers first ask isNotificationScheduledForInvoice().
    void createLocalNotificationForInvoice(const api::Invoice& invoice);
    /// Schedules the reminder of each invoice of `invoices` that has none, as
    /// createLocalNotificationForInvoice() does; the scheduled reminders are read once for the whole list.
    void createMissingLocalNotifications(const platform::foundation::ArrayRef& invoices);
    /// True when a reminder of the invoice is scheduled.
    bool isNotificationScheduledForInvoice(const api::Invoice& invoice) const;
    /// Cancels every reminder of the invoice.
    void removeLocalNotificationForInvoice(const api::Invoice& invoice);

    /// For the folders screen when it moves an invoice to `folder` ("todo" or "done"), and again with the
    /// former folder when the move is rolled back: "done" cancels the invoice's reminders; "todo" schedules
    /// one, when none is, for an invoice in the normal state.
    void invoiceMoved(const api::Invoice& invoice, std::string_view folder);
    /// For the screens once the invoice has been deleted: cancels its reminders.
    void invoiceDeleted(const api::Invoice& invoice);

    /// When the invoice's reminder fires: the device's calendar day that lies (28 - days since sent) days
    /// after today (today itself from day 28 on), at 11:55:00 local time; nullopt without a sent date.
    std::optional<platform::foundation::Date> calculateDateAndTimeToSendNotificationForInvoice(
        const api::Invoice& invoice) const;
    /// Pence as pounds with two decimals and grouping, in British form whatever the device locale:
    /// 123456 gives "1,234.56".
    static std::string convertGrossAmountToStringWithDecimalPlaces(std::int64_t pence);
    /// The reminder's text for `amount` (pounds as text) due in `days` days: "Hi, you have an invoice for
    /// £50.00 due in just 2 days.", "... due in just 1 day." or "... due today.".
    static std::string reminderMessage(const std::string& amount, std::int64_t days);

private:
    void scheduleWhenNormal(const api::Invoice& invoice);
};

}
