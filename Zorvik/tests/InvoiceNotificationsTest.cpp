#include "Zorvik/Events/Notifications/InvoiceNotifications.h"
#include "Zorvik/Events/Notifications/ApplePushNotificationService.h"
#include "Zorvik/Events/Notifications/BadgeNotifications.h"
#include "ZorvikAPI/foundation_categories/ServerDate.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/NotificationScheduler.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::foundation::Array;
using platform::foundation::Date;
using platform::foundation::Dictionary;
using platform::foundation::Value;
using platform::ui::NotificationScheduler;

Date at(const char* serverDate)
{
    return *api::fromServerDateString(serverDate);
}

/// An invoice {"id", "sent", "gross_amount", "folders"} with `moves` folder entries (odd: To-Do).
api::Invoice invoice(Value id, Value sent, std::int64_t grossAmount = 5000, int moves = 1)
{
    auto folders = Array::make();
    for (int move = 0; move < moves; ++move)
        folders->append(Dictionary::make({ { "name", move % 2 ? "done" : "todo" } }));
    return api::Invoice(Dictionary::make({ { "id", std::move(id) }, { "sent", std::move(sent) },
        { "gross_amount", grossAmount }, { "folders", folders } }));
}

/// An invoice sent `days` calendar days before now, at the same time of day.
api::Invoice sentDaysAgo(Value id, std::int64_t days, std::int64_t grossAmount = 5000, int moves = 1)
{
    platform::foundation::Calendar calendar;
    return invoice(std::move(id),
        api::toServerDateString(calendar.addingDays(platform::foundation::now(), -days)), grossAmount, moves);
}

class InvoiceNotificationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scheduler.reset();
        platform::foundation::mainQueue().useVirtualClock(at("2026-03-10T23:30:00.000+0000"));
    }
    void TearDown() override { scheduler.reset(); }

    std::vector<std::string> scheduledIDs()
    {
        std::vector<std::string> ids;
        for (const auto& notification : scheduler.scheduledLocalNotifications())
            ids.push_back(notification.userInfo ? notification.userInfo->get("invoiceID").stringValue() : "");
        return ids;
    }

    platform::foundation::ScopedDeviceEnvironment device { "en_GB", "Europe/London" };
    NotificationScheduler& scheduler { NotificationScheduler::shared() };
    InvoiceNotifications notifications;
};

// Expected fire dates come from Python's zoneinfo, run once and pasted here:
//     fire = datetime.combine(now.date() + timedelta(days=28 - d), time(11, 55), tzinfo=london)
// for invoices sent d days before `now` at the same wall-clock time. Adding 28 - d periods of 24 hours
// instead lands on the wrong day wherever the days cross 29 March or 25 October 2026.
TEST_F(InvoiceNotificationsTest, RemindersFireAt1155LocalOnTheDueDayAcrossDaylightSavingChanges)
{
    struct Row {
        std::int64_t daysAgo;
        const char* sent;
        const char* fire;
    };
    struct Block {
        const char* now;
        std::vector<Row> rows;
    };
    const Block blocks[] = {
        { "2026-03-10T23:30:00.000+0000",
            {
                { 0, "2026-03-10T23:30:00.000+0000", "2026-04-07T11:55:00.000+0100" },
                { 10, "2026-02-28T23:30:00.000+0000", "2026-03-28T11:55:00.000+0000" },
                { 27, "2026-02-11T23:30:00.000+0000", "2026-03-11T11:55:00.000+0000" },
            } },
        { "2026-10-20T00:30:00.000+0100",
            {
                { 0, "2026-10-20T00:30:00.000+0100", "2026-11-17T11:55:00.000+0000" },
                { 10, "2026-10-10T00:30:00.000+0100", "2026-11-07T11:55:00.000+0000" },
                { 27, "2026-09-23T00:30:00.000+0100", "2026-10-21T11:55:00.000+0100" },
            } },
    };
    int id = 0;
    for (const auto& block : blocks) {
        platform::foundation::mainQueue().useVirtualClock(at(block.now));
        for (const auto& row : block.rows) {
            SCOPED_TRACE(std::string(row.sent) + " at " + block.now);
            scheduler.reset();
            auto sent = invoice(++id, row.sent);
            auto fire = notifications.calculateDateAndTimeToSendNotificationForInvoice(sent);
            ASSERT_TRUE(fire);
            EXPECT_EQ(api::toServerDateString(*fire), row.fire);

            notifications.createLocalNotificationForInvoice(sent);
            auto scheduled = scheduler.scheduledLocalNotifications();
            ASSERT_EQ(scheduled.size(), 1u);
            EXPECT_EQ(api::toServerDateString(scheduled[0].fireDate), row.fire);
            EXPECT_EQ(scheduled[0].timeZone, "Europe/London");
            EXPECT_EQ(scheduled[0].alertBody, "Hi, you have an invoice for £50.00 due in just 2 days.");
            EXPECT_TRUE(scheduled[0].userInfo->equals(*Dictionary::make({ { "invoiceID", id } })));
        }
    }
}

TEST_F(InvoiceNotificationsTest, FromDayTwentyEightTheReminderWouldFireToday)
{
    for (std::int64_t days : { 28, 31, 40 }) {
        SCOPED_TRACE(days);
        auto fire = notifications.calculateDateAndTimeToSendNotificationForInvoice(sentDaysAgo(1, days));
        ASSERT_TRUE(fire);
        EXPECT_EQ(api::toServerDateString(*fire), "2026-03-10T11:55:00.000+0000");
    }
    EXPECT_EQ(
        notifications.calculateDateAndTimeToSendNotificationForInvoice(invoice(1, Value())), std::nullopt);
}

TEST_F(InvoiceNotificationsTest, AmountsAreBritishWhateverTheDeviceLocale)
{
    struct Case {
        std::int64_t pence;
        const char* text;
    };
    const Case cases[] = {
        { 123456, "1,234.56" },
        { 5000, "50.00" },
        { 0, "0.00" },
        { 7, "0.07" },
        { 123456789012, "1,234,567,890.12" },
    };
    for (auto locale : { "en_GB", "de_DE", "fr_FR", "en_US_POSIX" }) {
        platform::foundation::ScopedDeviceEnvironment device(locale, "Europe/London");
        for (const auto& [pence, text] : cases) {
            SCOPED_TRACE(std::string(locale) + " " + text);
            EXPECT_EQ(InvoiceNotifications::convertGrossAmountToStringWithDecimalPlaces(pence), text);
        }
    }

    platform::foundation::ScopedDeviceEnvironment german("de_DE", "Europe/London");
    notifications.createLocalNotificationForInvoice(sentDaysAgo(1, 3, 123456));
    auto scheduled = scheduler.scheduledLocalNotifications();
    ASSERT_EQ(scheduled.size(), 1u);
    EXPECT_EQ(scheduled[0].alertBody, "Hi, you have an invoice for £1,234.56 due in just 2 days.");
}

TEST_F(InvoiceNotificationsTest, MessagesByDaysLeft)
{
    EXPECT_EQ(InvoiceNotifications::reminderMessage("50.00", 2),
        "Hi, you have an invoice for £50.00 due in just 2 days.");
    EXPECT_EQ(InvoiceNotifications::reminderMessage("50.00", 1),
        "Hi, you have an invoice for £50.00 due in just 1 day.");
    EXPECT_EQ(
        InvoiceNotifications::reminderMessage("50.00", 0), "Hi, you have an invoice for £50.00 due today.");
}

TEST_F(InvoiceNotificationsTest, OnlyNormalToDoInvoicesWithAnIdentifierAndASentDateGetAReminder)
{
    struct Case {
        const char* what;
        api::Invoice invoice;
        bool reminded;
    };
    const Case cases[] = {
        { "to do, day 27", sentDaysAgo(1, 27), true },
        { "to do again after two moves, day 0", sentDaysAgo(2, 0, 5000, 3), true },
        { "done", sentDaysAgo(3, 2, 5000, 2), false },
        { "no folder history", sentDaysAgo(4, 2, 5000, 0), false },
        { "due, day 28", sentDaysAgo(5, 28), false },
        { "late, day 31", sentDaysAgo(6, 31), false },
        { "no id", sentDaysAgo(Value(), 2), false },
        { "no sent date", invoice(8, Value()), false },
    };
    for (const auto& [what, invoice, reminded] : cases) {
        SCOPED_TRACE(what);
        scheduler.reset();
        notifications.createLocalNotificationForInvoice(invoice);
        EXPECT_EQ(scheduler.scheduledLocalNotifications().size(), reminded ? 1u : 0u);
        EXPECT_EQ(notifications.isNotificationScheduledForInvoice(invoice), reminded);
    }
}

TEST_F(InvoiceNotificationsTest, TheFoldersScreenKeepsOneReminderPerInvoice)
{
    const api::Invoice invoices[] = { sentDaysAgo(1, 1), sentDaysAgo("2", 5), sentDaysAgo(3, 29) };
    BadgeNotifications badge;
    for (int pass = 0; pass < 3; ++pass) {
        for (const auto& each : invoices) {
            if (!notifications.isNotificationScheduledForInvoice(each))
                notifications.createLocalNotificationForInvoice(each);
        }
        badge.setBadgeNumberWithNumber(0);
    }
    EXPECT_EQ(scheduledIDs(), (std::vector<std::string> { "1", "2" }));
    EXPECT_EQ(scheduler.applicationIconBadgeNumber(), 0);
}

TEST_F(InvoiceNotificationsTest, AListGetsTheRemindersItLacksOnce)
{
    // Invoice 3 is already reminded, under its "id" as text; invoice 4 is done; "1" comes twice.
    ApplePushNotificationService::apns().setupLocalNotificationConfigWithInvoiceID(
        "3", "earlier", at("2026-04-01T11:55:00.000+0100"));
    auto list = Array::make();
    for (const auto& each : { sentDaysAgo(1, 1), sentDaysAgo(3, 5), sentDaysAgo(4, 2, 5000, 2),
             sentDaysAgo("2", 5), sentDaysAgo("1", 3), sentDaysAgo(Value(), 2) })
        list->append(each.record());
    list->append(Value("not an invoice"));
    for (int pass = 0; pass < 2; ++pass)
        notifications.createMissingLocalNotifications(list);
    EXPECT_EQ(scheduledIDs(), (std::vector<std::string> { "3", "1", "2" }));
    notifications.createMissingLocalNotifications(nullptr);
    EXPECT_EQ(scheduledIDs().size(), 3u);
}

TEST_F(InvoiceNotificationsTest, FindingAndCancellingMatchTheIdentifierAsText)
{
    auto& apns = ApplePushNotificationService::apns();
    auto fire = at("2026-04-01T11:55:00.000+0100");
    apns.setupLocalNotificationConfigWithInvoiceID("42", "first", fire);
    apns.setupLocalNotificationConfigWithInvoiceID(42, "second", fire);
    apns.setupLocalNotificationConfigWithInvoiceID(420, "other", fire);
    apns.setupLocalNotificationConfigWithInvoiceID(Value(), "no invoice", fire);
    scheduler.scheduleLocalNotification({ fire, "Europe/London", "not a reminder", nullptr });

    auto numbered = invoice(42, Value());
    auto named = invoice("42", Value());
    EXPECT_TRUE(apns.isNotificationScheduledForInvoice(numbered));
    EXPECT_TRUE(apns.isNotificationScheduledForInvoice(named));
    EXPECT_FALSE(apns.isNotificationScheduledForInvoice(invoice(4, Value())));
    EXPECT_FALSE(apns.isNotificationScheduledForInvoice(invoice(Value(), Value())));

    notifications.removeLocalNotificationForInvoice(named);
    EXPECT_FALSE(apns.isNotificationScheduledForInvoice(numbered));
    EXPECT_EQ(scheduler.scheduledLocalNotifications().size(), 2u);
    EXPECT_EQ(scheduledIDs(), (std::vector<std::string> { "420", "" }));
}

TEST_F(InvoiceNotificationsTest, MovingToDoneOrDeletingCancelsTheReminder)
{
    auto paid = sentDaysAgo(1, 3);
    auto deleted = sentDaysAgo(2, 3);
    auto kept = sentDaysAgo(3, 3);
    for (const auto& each : { paid, deleted, kept })
        notifications.createLocalNotificationForInvoice(each);

    // The folders screen appends the folder entry, then reports the move.
    paid.folders()->append(Dictionary::make({ { "name", "done" } }));
    notifications.invoiceMoved(paid, "done");
    notifications.invoiceDeleted(deleted);
    EXPECT_EQ(scheduledIDs(), (std::vector<std::string> { "3" }));

    platform::foundation::mainQueue().advance(40 * 86400);
    auto delivered = scheduler.deliveredLocalNotifications();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].userInfo->get("invoiceID"), Value(3));
}

TEST_F(InvoiceNotificationsTest, MovingBackToToDoRemindsAgainOnce)
{
    auto invoice = sentDaysAgo(1, 3);
    notifications.createLocalNotificationForInvoice(invoice);
    notifications.invoiceMoved(invoice, "done");
    EXPECT_TRUE(scheduledIDs().empty());

    // A move back, or the roll-back of a failed move to Done, before or after the entry is appended.
    notifications.invoiceMoved(invoice, "todo");
    notifications.invoiceMoved(invoice, "todo");
    EXPECT_EQ(scheduledIDs(), (std::vector<std::string> { "1" }));

    auto late = sentDaysAgo(2, 31, 5000, 2);
    notifications.invoiceMoved(late, "todo");
    EXPECT_EQ(scheduledIDs(), (std::vector<std::string> { "1" }));
}

TEST_F(InvoiceNotificationsTest, BadgeCount)
{
    BadgeNotifications badge;
    badge.setBadgeNumberWithNumber(4);
    EXPECT_EQ(scheduler.applicationIconBadgeNumber(), 4);
    badge.setBadgeNumberWithNumber(1);
    EXPECT_EQ(scheduler.applicationIconBadgeNumber(), 1);
    badge.resetApplicationBadgeNumberToZero();
    EXPECT_EQ(scheduler.applicationIconBadgeNumber(), 0);
}

}
}
