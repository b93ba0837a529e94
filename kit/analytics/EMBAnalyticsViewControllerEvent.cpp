#include "kit/analytics/EMBAnalyticsViewControllerEvent.h"

#include "platform/foundation/Dictionary.h"
#include "platform/ui/ViewController.h"

namespace kit {

EMBAnalyticsViewControllerEvent::EMBAnalyticsViewControllerEvent(std::string eventKey,
    std::uint64_t timestamp, std::string eventIdentifier, const platform::foundation::DictionaryRef& values)
    : EMBAnalyticsEvent(kLowPriority, timestamp, std::move(eventKey), std::move(eventIdentifier), values)
{
}

std::shared_ptr<EMBAnalyticsViewControllerEvent> EMBAnalyticsViewControllerEvent::eventForViewController(
    const platform::ui::ViewController& viewController, std::string eventKey, std::uint64_t timestamp,
    std::string eventIdentifier)
{
    auto className = viewController.className();
    if (className.empty())
        return nullptr;
    auto values = platform::foundation::Dictionary::make(
        { { "view_controller_class", className }, { "view_controller_title", viewController.title() } });
    return std::make_shared<EMBAnalyticsViewControllerEvent>(
        std::move(eventKey), timestamp, std::move(eventIdentifier), values);
}

std::shared_ptr<EMBAnalyticsViewControllerEvent>
EMBAnalyticsViewControllerEvent::appearedEventForViewController(
    const platform::ui::ViewController& viewController, std::uint64_t timestamp, std::string eventIdentifier)
{
    return eventForViewController(viewController, kAppearedKey, timestamp, std::move(eventIdentifier));
}

std::shared_ptr<EMBAnalyticsViewControllerEvent>
EMBAnalyticsViewControllerEvent::disappearedEventForViewController(
    const platform::ui::ViewController& viewController, std::uint64_t timestamp, std::string eventIdentifier)
{
    return eventForViewController(viewController, kDisappearedKey, timestamp, std::move(eventIdentifier));
}

}
