#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/Value.h"

#include <string>
#include <unordered_set>

namespace zorvik::api {
class Invoice;
}

namespace zorvik {

/// Schedules, finds and cancels the invoice reminders in the device's notification store
/// (platform::ui::NotificationScheduler). A reminder carries {"invoiceID": the invoice's "id"} as its user
/// information and the device's time zone; a notification belongs to an invoice when its "invoiceID" and
/// the invoice's "id" read as the same text. An invoice without "id" has no reminders. Main thread only.
class ApplePushNotificationService {
public:
    /// The one service, made on first use.
    static ApplePushNotificationService& apns();

    /// Schedules a reminder for `invoice` with `message` at `fireDate`; nothing for an invoice without "id".
    void setLocalNotificationForInvoice(
        const api::Invoice& invoice, const std::string& message, platform::foundation::Date fireDate);
    /// Schedules a reminder for the invoice identified by `invoiceID` with `alertMessage` at `fireDate`;
    /// nothing for a null identifier.
    void setupLocalNotificationConfigWithInvoiceID(const platform::foundation::Value& invoiceID,
        const std::string& alertMessage, platform::foundation::Date fireDate);
    /// Cancels every scheduled reminder of `invoice`.
    void removeLocalNotificationForInvoice(const api::Invoice& invoice);
    /// True when a reminder of `invoice` is scheduled.
    bool isNotificationScheduledForInvoice(const api::Invoice& invoice) const;
    /// The "invoiceID" texts of every scheduled reminder, read in one pass: for a whole list of invoices,
    /// where asking isNotificationScheduledForInvoice() of each would read the store once per invoice.
    std::unordered_set<std::string> scheduledInvoiceIDs() const;

private:
    ApplePushNotificationService() = default;
};

}
