#pragma once

#include "platform/foundation/Date.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zorvik::api {
class Invoice;
}

namespace zorvik {

/// Whether a sent invoice is normal, due or late, by the calendar days since it was sent (on the device's
/// calendar, up to now on the main queue's clock), and the "due in" / "late by" label of invoice rows.
/// An invoice without a readable sent date counts as normal.
class InvoiceState {
public:
    /// The states statusForInvoice() answers.
    enum Status : int { Normal = 0, Due = 1, Late = 2 };

    /// Days from sending to the payment date.
    static std::int64_t getPaymentTerm() { return 30; }
    /// Days before the payment date from which an invoice is due.
    static std::int64_t getNearlyDueReminderMargin() { return 2; }
    /// Days after the payment date from which an invoice is late.
    static std::int64_t getLateReminderMargin() { return 1; }

    /// Calendar days from the invoice's sent date to now, or nullopt when it has no readable sent date.
    static std::optional<std::int64_t> daysSinceSent(const api::Invoice& invoice);
    /// True from 28 days after sending.
    static bool isDue(const api::Invoice& invoice);
    /// True from 31 days after sending.
    static bool isLate(const api::Invoice& invoice);
    /// Normal, Due (due and not late) or Late.
    static int statusForInvoice(const api::Invoice& invoice);
    /// The label for an invoice sent on `sentDate`: "due in 2 days", "due in 1 day", "due today",
    /// "late by 1 day", "late by 3 days".
    static std::string countDaysWithInvoiceSentDate(platform::foundation::Date sentDate);

private:
    static bool isDueAfter(std::int64_t days);
    static bool isLateAfter(std::int64_t days);
};

}
