#pragma once

#include "kit/analytics/EMBAnalyticsEvent.h"

#include <memory>

namespace platform::ui {
class ViewController;
}

namespace kit {

/// A screen appearance: "view_controller_appeared" or "view_controller_disappeared", low priority, with the
/// values "view_controller_class" (the screen's class name) and "view_controller_title" (its title, "" when
/// it has none).
class EMBAnalyticsViewControllerEvent final : public EMBAnalyticsEvent {
public:
    static constexpr const char* kAppearedKey { "view_controller_appeared" };
    static constexpr const char* kDisappearedKey { "view_controller_disappeared" };

    /// The appearance of `viewController` at `timestamp` (milliseconds); null when its class name cannot
    /// be had.
    static std::shared_ptr<EMBAnalyticsViewControllerEvent> appearedEventForViewController(
        const platform::ui::ViewController& viewController, std::uint64_t timestamp,
        std::string eventIdentifier);
    /// The same for its disappearance.
    static std::shared_ptr<EMBAnalyticsViewControllerEvent> disappearedEventForViewController(
        const platform::ui::ViewController& viewController, std::uint64_t timestamp,
        std::string eventIdentifier);
    /// The event `eventKey` of `viewController`, as above.
    static std::shared_ptr<EMBAnalyticsViewControllerEvent> eventForViewController(
        const platform::ui::ViewController& viewController, std::string eventKey, std::uint64_t timestamp,
        std::string eventIdentifier);

    /// Made by the factories above (public for std::make_shared).
    EMBAnalyticsViewControllerEvent(std::string eventKey, std::uint64_t timestamp,
        std::string eventIdentifier, const platform::foundation::DictionaryRef& values);

protected:
    const char* className() const override { return "EMBAnalyticsViewControllerEvent"; }
};

}
