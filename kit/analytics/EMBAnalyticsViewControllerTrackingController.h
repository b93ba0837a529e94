#pragma once

#include "kit/analytics/EMBAnalyticsViewControllerTrackingDelegate.h"

#include "platform/ui/ViewController.h"

#include <memory>
#include <mutex>
#include <set>
#include <typeindex>

namespace kit {

/// Reports every screen appearance and disappearance of the program to its delegate without any code in
/// the screens: once tracking starts, the base implementations of viewDidAppear and viewDidDisappear are
/// replaced, for the whole process, by ones that run the replaced implementation first and then tell the
/// delegate. A screen whose override does not call the base is therefore never reported. The tracker is one
/// per process; releasing it (disposeSharedInstance()) puts the replaced implementations back.
/// Thread-safe.
class EMBAnalyticsViewControllerTrackingController {
public:
    /// The tracker, made on first use.
    static std::shared_ptr<EMBAnalyticsViewControllerTrackingController> sharedInstance();
    /// Releases the tracker; the next sharedInstance() makes a new one.
    static void disposeSharedInstance();

    EMBAnalyticsViewControllerTrackingController(const EMBAnalyticsViewControllerTrackingController&)
        = delete;
    EMBAnalyticsViewControllerTrackingController& operator=(
        const EMBAnalyticsViewControllerTrackingController&)
        = delete;
    /// Stops tracking.
    ~EMBAnalyticsViewControllerTrackingController();

    /// Starts reporting appearances, unless it does already.
    void startTracking();
    bool isTracking() const;

    std::shared_ptr<EMBAnalyticsViewControllerTrackingDelegate> delegate() const;
    /// Sets the delegate, held weakly.
    void setDelegate(std::weak_ptr<EMBAnalyticsViewControllerTrackingDelegate> delegate);

    /// Leaves out the controllers of exactly the class `controllerClass` (not those of its subclasses).
    void addBlackListViewControllerClass(std::type_index controllerClass);
    /// Reports the controllers of `controllerClass` again.
    void removeBlackListViewControllerClass(std::type_index controllerClass);
    bool isBlacklistedViewControllerClass(std::type_index controllerClass) const;
    /// Whether `controller` is reported: unless its exact class is left out.
    bool shouldLogViewController(const platform::ui::ViewController& controller) const;

private:
    EMBAnalyticsViewControllerTrackingController() = default;

    void setUpUIViewControllerSwizzle();
    void cleanUpUIViewControllerSwizzle();
    static void viewDidAppearReplacement(platform::ui::ViewController& controller, bool animated);
    static void viewDidDisappearReplacement(platform::ui::ViewController& controller, bool animated);
    /// Runs `former` and then tells the tracker's delegate through `report`, when the controller is reported.
    template<class Report>
    static void reportAppearanceChange(platform::ui::ViewController& controller, bool animated,
        platform::ui::ViewController::AppearanceImplementation former, Report report);

    mutable std::mutex m_mutex;
    bool m_isTracking { false };
    std::weak_ptr<EMBAnalyticsViewControllerTrackingDelegate> m_delegate;
    std::set<std::type_index> m_blackListViewControllerClasses;
};

}
