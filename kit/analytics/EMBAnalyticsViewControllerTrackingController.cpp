#include "kit/analytics/EMBAnalyticsViewControllerTrackingController.h"

#include <atomic>

namespace kit {
namespace {

using platform::ui::ViewController;
using Method = ViewController::AppearanceMethod;

std::mutex gSharedInstanceMutex;
std::shared_ptr<EMBAnalyticsViewControllerTrackingController> gSharedInstance;

// The implementations in effect before tracking started, while it runs.
std::atomic<ViewController::AppearanceImplementation> gReplacedViewDidAppear { nullptr };
std::atomic<ViewController::AppearanceImplementation> gReplacedViewDidDisappear { nullptr };

std::shared_ptr<EMBAnalyticsViewControllerTrackingController> existingSharedInstance()
{
    std::lock_guard lock(gSharedInstanceMutex);
    return gSharedInstance;
}

}

std::shared_ptr<EMBAnalyticsViewControllerTrackingController>
EMBAnalyticsViewControllerTrackingController::sharedInstance()
{
    std::lock_guard lock(gSharedInstanceMutex);
    if (!gSharedInstance)
        gSharedInstance.reset(new EMBAnalyticsViewControllerTrackingController);
    return gSharedInstance;
}

void EMBAnalyticsViewControllerTrackingController::disposeSharedInstance()
{
    std::shared_ptr<EMBAnalyticsViewControllerTrackingController> released;
    {
        std::lock_guard lock(gSharedInstanceMutex);
        released = std::move(gSharedInstance);
    }
}

EMBAnalyticsViewControllerTrackingController::~EMBAnalyticsViewControllerTrackingController()
{
    cleanUpUIViewControllerSwizzle();
}

void EMBAnalyticsViewControllerTrackingController::startTracking()
{
    setUpUIViewControllerSwizzle();
}

bool EMBAnalyticsViewControllerTrackingController::isTracking() const
{
    std::lock_guard lock(m_mutex);
    return m_isTracking;
}

std::shared_ptr<EMBAnalyticsViewControllerTrackingDelegate>
EMBAnalyticsViewControllerTrackingController::delegate() const
{
    std::lock_guard lock(m_mutex);
    return m_delegate.lock();
}

void EMBAnalyticsViewControllerTrackingController::setDelegate(
    std::weak_ptr<EMBAnalyticsViewControllerTrackingDelegate> delegate)
{
    std::lock_guard lock(m_mutex);
    m_delegate = std::move(delegate);
}

void EMBAnalyticsViewControllerTrackingController::addBlackListViewControllerClass(
    std::type_index controllerClass)
{
    std::lock_guard lock(m_mutex);
    m_blackListViewControllerClasses.insert(controllerClass);
}

void EMBAnalyticsViewControllerTrackingController::removeBlackListViewControllerClass(
    std::type_index controllerClass)
{
    std::lock_guard lock(m_mutex);
    m_blackListViewControllerClasses.erase(controllerClass);
}

bool EMBAnalyticsViewControllerTrackingController::isBlacklistedViewControllerClass(
    std::type_index controllerClass) const
{
    std::lock_guard lock(m_mutex);
    return m_blackListViewControllerClasses.contains(controllerClass);
}

bool EMBAnalyticsViewControllerTrackingController::shouldLogViewController(
    const ViewController& controller) const
{
    return !isBlacklistedViewControllerClass(typeid(controller));
}

void EMBAnalyticsViewControllerTrackingController::setUpUIViewControllerSwizzle()
{
    std::lock_guard lock(m_mutex);
    if (m_isTracking)
        return;
    m_isTracking = true;
    gReplacedViewDidAppear
        = ViewController::replaceAppearanceImplementation(Method::ViewDidAppear, &viewDidAppearReplacement);
    gReplacedViewDidDisappear = ViewController::replaceAppearanceImplementation(
        Method::ViewDidDisappear, &viewDidDisappearReplacement);
}

void EMBAnalyticsViewControllerTrackingController::cleanUpUIViewControllerSwizzle()
{
    std::lock_guard lock(m_mutex);
    if (!m_isTracking)
        return;
    m_isTracking = false;
    ViewController::replaceAppearanceImplementation(
        Method::ViewDidAppear, gReplacedViewDidAppear.exchange(nullptr));
    ViewController::replaceAppearanceImplementation(
        Method::ViewDidDisappear, gReplacedViewDidDisappear.exchange(nullptr));
}

void EMBAnalyticsViewControllerTrackingController::viewDidAppearReplacement(
    ViewController& controller, bool animated)
{
    reportAppearanceChange(
        controller, animated, gReplacedViewDidAppear, [](auto& delegate, auto& tracker, const auto& shown) {
            delegate.didDetectAppearanceOfViewController(tracker, shown);
        });
}

void EMBAnalyticsViewControllerTrackingController::viewDidDisappearReplacement(
    ViewController& controller, bool animated)
{
    reportAppearanceChange(controller, animated, gReplacedViewDidDisappear,
        [](auto& delegate, auto& tracker, const auto& hidden) {
            delegate.didDetectDisappearanceOfViewController(tracker, hidden);
        });
}

template<class Report>
void EMBAnalyticsViewControllerTrackingController::reportAppearanceChange(
    ViewController& controller, bool animated, ViewController::AppearanceImplementation former, Report report)
{
    if (former)
        former(controller, animated);
    auto tracker = existingSharedInstance();
    if (!tracker || !tracker->shouldLogViewController(controller))
        return;
    auto delegate = tracker->delegate();
    // Controllers are always held by a shared pointer; one that is being released is no screen to report.
    auto shared = controller.weak_from_this().lock();
    if (delegate && shared)
        report(*delegate, *tracker, shared);
}

}
