#include "Zorvik/Events/Notifications/ApplePushNotificationService.h"

#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/DeviceEnvironment.h"
#include "platform/ui/NotificationScheduler.h"

#include <optional>

namespace zorvik {

using platform::ui::LocalNotification;
using platform::ui::NotificationScheduler;

namespace {

constexpr const char* kInvoiceIDKey = "invoiceID";

/// The identifier as text, or nullopt for none.
std::optional<std::string> identifierText(const platform::foundation::Value& identifier)
{
    if (identifier.isNull())
        return std::nullopt;
    return identifier.stringValue();
}

bool belongsTo(const LocalNotification& notification, const std::string& invoiceID)
{
    return notification.userInfo && identifierText(notification.userInfo->get(kInvoiceIDKey)) == invoiceID;
}

}

ApplePushNotificationService& ApplePushNotificationService::apns()
{
    static ApplePushNotificationService service;
    return service;
}

void ApplePushNotificationService::setLocalNotificationForInvoice(
    const api::Invoice& invoice, const std::string& message, platform::foundation::Date fireDate)
{
    setupLocalNotificationConfigWithInvoiceID(invoice.identifier(), message, fireDate);
}

void ApplePushNotificationService::setupLocalNotificationConfigWithInvoiceID(
    const platform::foundation::Value& invoiceID, const std::string& alertMessage,
    platform::foundation::Date fireDate)
{
    if (invoiceID.isNull())
        return;
    NotificationScheduler::shared().scheduleLocalNotification(
        { fireDate, platform::foundation::DeviceEnvironment::timeZoneIdentifier(), alertMessage,
            platform::foundation::Dictionary::make({ { kInvoiceIDKey, invoiceID } }) });
}

void ApplePushNotificationService::removeLocalNotificationForInvoice(const api::Invoice& invoice)
{
    auto invoiceID = identifierText(invoice.identifier());
    if (!invoiceID)
        return;
    auto& scheduler = NotificationScheduler::shared();
    for (const auto& notification : scheduler.scheduledLocalNotifications()) {
        if (belongsTo(notification, *invoiceID))
            scheduler.cancelLocalNotification(notification);
    }
}

bool ApplePushNotificationService::isNotificationScheduledForInvoice(const api::Invoice& invoice) const
{
    auto invoiceID = identifierText(invoice.identifier());
    if (!invoiceID)
        return false;
    for (const auto& notification : NotificationScheduler::shared().scheduledLocalNotifications()) {
        if (belongsTo(notification, *invoiceID))
            return true;
    }
    return false;
}

std::unordered_set<std::string> ApplePushNotificationService::scheduledInvoiceIDs() const
{
    std::unordered_set<std::string> identifiers;
    for (const auto& notification : NotificationScheduler::shared().scheduledLocalNotifications()) {
        if (!notification.userInfo)
            continue;
        if (auto identifier = identifierText(notification.userInfo->get(kInvoiceIDKey)))
            identifiers.insert(std::move(*identifier));
    }
    return identifiers;
}

}
