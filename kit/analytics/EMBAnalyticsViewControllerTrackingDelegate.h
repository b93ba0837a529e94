#pragma once

#include <memory>

namespace platform::ui {
class ViewController;
}

namespace kit {

class EMBAnalyticsViewControllerTrackingController;

/// Told by the view-controller tracker of every screen that came on or left the screen, on the thread that
/// showed or hid it (the main thread).
class EMBAnalyticsViewControllerTrackingDelegate {
public:
    virtual ~EMBAnalyticsViewControllerTrackingDelegate() = default;

    /// `controller`'s view came on screen.
    virtual void didDetectAppearanceOfViewController(EMBAnalyticsViewControllerTrackingController& tracker,
        const std::shared_ptr<platform::ui::ViewController>& controller)
        = 0;
    /// `controller`'s view left the screen.
    virtual void didDetectDisappearanceOfViewController(EMBAnalyticsViewControllerTrackingController& tracker,
        const std::shared_ptr<platform::ui::ViewController>& controller)
        = 0;
};

}
