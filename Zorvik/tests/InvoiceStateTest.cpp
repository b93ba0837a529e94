#include "Zorvik/Models/InvoiceState.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::foundation::Array;
using platform::foundation::Dictionary;
using platform::foundation::Value;

api::Invoice todoInvoice(Value sent)
{
    return api::Invoice(Dictionary::make({ { "id", 7 }, { "sent", std::move(sent) },
        { "folders", Array::make({ Dictionary::make({ { "name", "todo" } }) }) } }));
}

struct Row {
    const char* sent;
    std::int64_t days;
    int status;
    const char* label;
};

struct Block {
    const char* now;
    std::vector<Row> rows;
};

// Expected values come from Python's zoneinfo, run once and pasted here:
//     now = datetime(2026, 4, 20, 0, 30, tzinfo=ZoneInfo("Europe/London"))   # then 2026-11-15 23:30
//     sent = datetime.combine(now.date() - timedelta(days=d), time(23, 45), tzinfo=london)  # 00:10 in autumn
//     days = (now.date() - sent.date()).days   # calendar days on London's wall clock
// with the status and label from the payment rules (due from day 28, late from day 31). The sent times
// lie near midnight, so counting elapsed periods of 24 hours misses by a day everywhere in the spring
// block and wherever the autumn block crosses 25 October 2026; spring crosses 29 March 2026.
const Block blocks[] = {
    { "2026-04-20T00:30:00.000+0100",
        {
            { "2026-04-20T23:45:00.000+0100", 0, 0, "due in 30 days" },
            { "2026-04-19T23:45:00.000+0100", 1, 0, "due in 29 days" },
            { "2026-04-18T23:45:00.000+0100", 2, 0, "due in 28 days" },
            { "2026-04-17T23:45:00.000+0100", 3, 0, "due in 27 days" },
            { "2026-04-16T23:45:00.000+0100", 4, 0, "due in 26 days" },
            { "2026-04-15T23:45:00.000+0100", 5, 0, "due in 25 days" },
            { "2026-04-14T23:45:00.000+0100", 6, 0, "due in 24 days" },
            { "2026-04-13T23:45:00.000+0100", 7, 0, "due in 23 days" },
            { "2026-04-12T23:45:00.000+0100", 8, 0, "due in 22 days" },
            { "2026-04-11T23:45:00.000+0100", 9, 0, "due in 21 days" },
            { "2026-04-10T23:45:00.000+0100", 10, 0, "due in 20 days" },
            { "2026-04-09T23:45:00.000+0100", 11, 0, "due in 19 days" },
            { "2026-04-08T23:45:00.000+0100", 12, 0, "due in 18 days" },
            { "2026-04-07T23:45:00.000+0100", 13, 0, "due in 17 days" },
            { "2026-04-06T23:45:00.000+0100", 14, 0, "due in 16 days" },
            { "2026-04-05T23:45:00.000+0100", 15, 0, "due in 15 days" },
            { "2026-04-04T23:45:00.000+0100", 16, 0, "due in 14 days" },
            { "2026-04-03T23:45:00.000+0100", 17, 0, "due in 13 days" },
            { "2026-04-02T23:45:00.000+0100", 18, 0, "due in 12 days" },
            { "2026-04-01T23:45:00.000+0100", 19, 0, "due in 11 days" },
            { "2026-03-31T23:45:00.000+0100", 20, 0, "due in 10 days" },
            { "2026-03-30T23:45:00.000+0100", 21, 0, "due in 9 days" },
            { "2026-03-29T23:45:00.000+0100", 22, 0, "due in 8 days" },
            { "2026-03-28T23:45:00.000+0000", 23, 0, "due in 7 days" },
            { "2026-03-27T23:45:00.000+0000", 24, 0, "due in 6 days" },
            { "2026-03-26T23:45:00.000+0000", 25, 0, "due in 5 days" },
            { "2026-03-25T23:45:00.000+0000", 26, 0, "due in 4 days" },
            { "2026-03-24T23:45:00.000+0000", 27, 0, "due in 3 days" },
            { "2026-03-23T23:45:00.000+0000", 28, 1, "due in 2 days" },
            { "2026-03-22T23:45:00.000+0000", 29, 1, "due in 1 day" },
            { "2026-03-21T23:45:00.000+0000", 30, 1, "due today" },
            { "2026-03-20T23:45:00.000+0000", 31, 2, "late by 1 day" },
            { "2026-03-19T23:45:00.000+0000", 32, 2, "late by 2 days" },
            { "2026-03-18T23:45:00.000+0000", 33, 2, "late by 3 days" },
            { "2026-03-17T23:45:00.000+0000", 34, 2, "late by 4 days" },
            { "2026-03-16T23:45:00.000+0000", 35, 2, "late by 5 days" },
            { "2026-03-15T23:45:00.000+0000", 36, 2, "late by 6 days" },
            { "2026-03-14T23:45:00.000+0000", 37, 2, "late by 7 days" },
            { "2026-03-13T23:45:00.000+0000", 38, 2, "late by 8 days" },
            { "2026-03-12T23:45:00.000+0000", 39, 2, "late by 9 days" },
            { "2026-03-11T23:45:00.000+0000", 40, 2, "late by 10 days" },
        } },
    { "2026-11-15T23:30:00.000+0000",
        {
            { "2026-11-15T00:10:00.000+0000", 0, 0, "due in 30 days" },
            { "2026-11-14T00:10:00.000+0000", 1, 0, "due in 29 days" },
            { "2026-11-13T00:10:00.000+0000", 2, 0, "due in 28 days" },
            { "2026-11-12T00:10:00.000+0000", 3, 0, "due in 27 days" },
            { "2026-11-11T00:10:00.000+0000", 4, 0, "due in 26 days" },
            { "2026-11-10T00:10:00.000+0000", 5, 0, "due in 25 days" },
            { "2026-11-09T00:10:00.000+0000", 6, 0, "due in 24 days" },
            { "2026-11-08T00:10:00.000+0000", 7, 0, "due in 23 days" },
            { "2026-11-07T00:10:00.000+0000", 8, 0, "due in 22 days" },
            { "2026-11-06T00:10:00.000+0000", 9, 0, "due in 21 days" },
            { "2026-11-05T00:10:00.000+0000", 10, 0, "due in 20 days" },
            { "2026-11-04T00:10:00.000+0000", 11, 0, "due in 19 days" },
            { "2026-11-03T00:10:00.000+0000", 12, 0, "due in 18 days" },
            { "2026-11-02T00:10:00.000+0000", 13, 0, "due in 17 days" },
            { "2026-11-01T00:10:00.000+0000", 14, 0, "due in 16 days" },
            { "2026-10-31T00:10:00.000+0000", 15, 0, "due in 15 days" },
            { "2026-10-30T00:10:00.000+0000", 16, 0, "due in 14 days" },
            { "2026-10-29T00:10:00.000+0000", 17, 0, "due in 13 days" },
            { "2026-10-28T00:10:00.000+0000", 18, 0, "due in 12 days" },
            { "2026-10-27T00:10:00.000+0000", 19, 0, "due in 11 days" },
            { "2026-10-26T00:10:00.000+0000", 20, 0, "due in 10 days" },
            { "2026-10-25T00:10:00.000+0100", 21, 0, "due in 9 days" },
            { "2026-10-24T00:10:00.000+0100", 22, 0, "due in 8 days" },
            { "2026-10-23T00:10:00.000+0100", 23, 0, "due in 7 days" },
            { "2026-10-22T00:10:00.000+0100", 24, 0, "due in 6 days" },
            { "2026-10-21T00:10:00.000+0100", 25, 0, "due in 5 days" },
            { "2026-10-20T00:10:00.000+0100", 26, 0, "due in 4 days" },
            { "2026-10-19T00:10:00.000+0100", 27, 0, "due in 3 days" },
            { "2026-10-18T00:10:00.000+0100", 28, 1, "due in 2 days" },
            { "2026-10-17T00:10:00.000+0100", 29, 1, "due in 1 day" },
            { "2026-10-16T00:10:00.000+0100", 30, 1, "due today" },
            { "2026-10-15T00:10:00.000+0100", 31, 2, "late by 1 day" },
            { "2026-10-14T00:10:00.000+0100", 32, 2, "late by 2 days" },
            { "2026-10-13T00:10:00.000+0100", 33, 2, "late by 3 days" },
            { "2026-10-12T00:10:00.000+0100", 34, 2, "late by 4 days" },
            { "2026-10-11T00:10:00.000+0100", 35, 2, "late by 5 days" },
            { "2026-10-10T00:10:00.000+0100", 36, 2, "late by 6 days" },
            { "2026-10-09T00:10:00.000+0100", 37, 2, "late by 7 days" },
            { "2026-10-08T00:10:00.000+0100", 38, 2, "late by 8 days" },
            { "2026-10-07T00:10:00.000+0100", 39, 2, "late by 9 days" },
            { "2026-10-06T00:10:00.000+0100", 40, 2, "late by 10 days" },
        } },
};

TEST(InvoiceStateTest, DueStateAndLabelByCalendarDaysAcrossDaylightSavingChanges)
{
    platform::foundation::ScopedDeviceEnvironment device("en_GB", "Europe/London");
    for (const auto& block : blocks) {
        platform::foundation::mainQueue().useVirtualClock(*api::fromServerDateString(block.now));
        for (const auto& row : block.rows) {
            SCOPED_TRACE(std::string(row.sent) + " at " + block.now);
            auto invoice = todoInvoice(row.sent);
            EXPECT_EQ(InvoiceState::daysSinceSent(invoice), row.days);
            EXPECT_EQ(InvoiceState::statusForInvoice(invoice), row.status);
            EXPECT_EQ(InvoiceState::isDue(invoice), row.status >= InvoiceState::Due);
            EXPECT_EQ(InvoiceState::isLate(invoice), row.status == InvoiceState::Late);
            EXPECT_EQ(InvoiceState::countDaysWithInvoiceSentDate(*invoice.sent()), row.label);
        }
    }
}

TEST(InvoiceStateTest, AnInvoiceWithoutAReadableSentDateIsNormal)
{
    for (auto sent : { Value(), Value("last Tuesday"), Value(1421236800) }) {
        auto invoice = todoInvoice(sent);
        EXPECT_EQ(InvoiceState::daysSinceSent(invoice), std::nullopt);
        EXPECT_EQ(InvoiceState::statusForInvoice(invoice), InvoiceState::Normal);
        EXPECT_FALSE(InvoiceState::isDue(invoice));
        EXPECT_FALSE(InvoiceState::isLate(invoice));
    }
}

TEST(InvoiceStateTest, Constants)
{
    EXPECT_EQ(InvoiceState::getPaymentTerm(), 30);
    EXPECT_EQ(InvoiceState::getNearlyDueReminderMargin(), 2);
    EXPECT_EQ(InvoiceState::getLateReminderMargin(), 1);
}

}
}
