#include "kit/analytics/Tally.h"

#include "kit/analytics/EMBAnalyticsController.h"
#include "kit/analytics/EMBTallyCustomEvent.h"
#include "kit/core/CRNApplication.h"
#include "kit/core/CRNKitRegistry.h"
#include "kit/core/Cairn.h"

#include "platform/foundation/Files.h"

namespace kit {
namespace {

// The platform finds the kit by its class name, as it finds every kit class of the program.
[[maybe_unused]] const bool kRegistered = [] {
    CRNKitRegistry::shared().registerClass(CRNKitClass::kitClass(Tally::sharedInstance()));
    return true;
}();

std::shared_ptr<EMBAnalyticsController> controller()
{
    return Tally::sharedInstance()->analyticsController();
}

template<class Event, class... Arguments> void logPredefined(const Arguments&... arguments)
{
    Tally::logPredefinedEvent(std::make_shared<const Event>(arguments...));
}

}

std::shared_ptr<Tally> Tally::sharedInstance()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* kit = new std::shared_ptr<Tally>(new Tally);
    return *kit;
}

void Tally::initializeIfNeeded()
{
    if (auto ember = CRNKitRegistry::shared().classNamed("Ember"); ember && ember->conformsToKitProtocol()) {
        ember->kit()->initializeIfNeeded();
        return;
    }
    startWithBetaToken(std::nullopt);
}

std::optional<std::filesystem::path> Tally::analyticsRootDirectory()
{
    auto caches = platform::foundation::Files::cachesDirectory();
    if (!caches)
        return std::nullopt;
    return *caches / "com.ember.data" / CRNApplicationGetBundleIdentifier().value_or("") / "analytics";
}

void Tally::startWithBetaToken(const std::optional<std::string>& betaToken)
{
    sharedInstance()->start(betaToken);
}

void Tally::start(const std::optional<std::string>& betaToken)
{
    std::lock_guard startLock(m_startMutex);
    if (m_startRan)
        return;
    m_startRan = true;
    auto root = analyticsRootDirectory();
    if (!root || !EMBAnalyticsController::supported())
        return;
    auto controller = EMBAnalyticsController::create(
        Cairn::sharedSDK().executionIdentifier(), std::move(*root), betaToken);
    if (!controller)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_analyticsController = controller;
    }
    controller->logAppInstalled();
    controller->logAppLaunched();
}

std::shared_ptr<EMBAnalyticsController> Tally::analyticsController() const
{
    std::lock_guard lock(m_mutex);
    return m_analyticsController;
}

void Tally::logPreviousSessionCrashedOnDate(platform::foundation::Date date)
{
    if (auto analytics = controller())
        analytics->logPreviousSessionCrashedOnDate(date);
}

void Tally::logCustomEventWithName(
    const std::string& name, const platform::foundation::DictionaryRef& attributes)
{
    if (auto analytics = controller())
        analytics->logCustomEvent(std::make_shared<const EMBTallyCustomEvent>(name, attributes));
}

void Tally::logPredefinedEvent(const std::shared_ptr<const EMBTallyPredefinedEvent>& event)
{
    if (auto analytics = controller())
        analytics->logPredefinedEvent(event);
}

void Tally::logSignUpWithMethod(
    const EMBTallyText& method, std::optional<bool> success, const EMBTallyAttributes& customAttributes)
{
    logPredefined<EMBTallySignUpEvent>(method, success, customAttributes);
}

void Tally::logLoginWithMethod(
    const EMBTallyText& method, std::optional<bool> success, const EMBTallyAttributes& customAttributes)
{
    logPredefined<EMBTallyLoginEvent>(method, success, customAttributes);
}

void Tally::logShareWithMethod(const EMBTallyText& method, const EMBTallyText& contentName,
    const EMBTallyText& contentType, const EMBTallyText& contentId,
    const EMBTallyAttributes& customAttributes)
{
    logPredefined<EMBTallyShareEvent>(method, contentName, contentType, contentId, customAttributes);
}

void Tally::logInviteWithMethod(const EMBTallyText& method, const EMBTallyAttributes& customAttributes)
{
    logPredefined<EMBTallyInviteEvent>(method, customAttributes);
}

void Tally::logPurchaseWithPrice(const EMBTallyPrice& price, const EMBTallyText& currency,
    std::optional<bool> success, const EMBTallyText& itemName, const EMBTallyText& itemType,
    const EMBTallyText& itemId, const EMBTallyAttributes& customAttributes)
{
    // The event takes the item's identifier before its type.
    logPredefined<EMBTallyPurchaseEvent>(
        price, currency, success, itemName, itemId, itemType, customAttributes);
}

void Tally::logLevelStart(const EMBTallyText& levelName, const EMBTallyAttributes& customAttributes)
{
    logPredefined<EMBTallyLevelStartEvent>(levelName, customAttributes);
}

void Tally::logLevelEnd(const EMBTallyText& levelName, const platform::foundation::Value& score,
    std::optional<bool> success, const EMBTallyAttributes& customAttributes)
{
    logPredefined<EMBTallyLevelEndEvent>(levelName, score, success, customAttributes);
}

void Tally::logAddToCartWithPrice(const EMBTallyPrice& price, const EMBTallyText& currency,
    const EMBTallyText& itemName, const EMBTallyText& itemType, const EMBTallyText& itemId,
    const EMBTallyAttributes& customAttributes)
{
    logPredefined<EMBTallyAddToCartEvent>(price, currency, itemName, itemType, itemId, customAttributes);
}

void Tally::logStartCheckoutWithPrice(const EMBTallyPrice& price, const EMBTallyText& currency,
    const platform::foundation::Value& itemCount, const EMBTallyAttributes& customAttributes)
{
    logPredefined<EMBTallyStartCheckoutEvent>(price, currency, itemCount, customAttributes);
}

void Tally::logRating(const platform::foundation::Value& rating, const EMBTallyText& contentName,
    const EMBTallyText& contentType, const EMBTallyText& contentId,
    const EMBTallyAttributes& customAttributes)
{
    logPredefined<EMBTallyRateEvent>(rating, contentName, contentType, contentId, customAttributes);
}

void Tally::logContentViewWithName(const EMBTallyText& contentName, const EMBTallyText& contentType,
    const EMBTallyText& contentId, const EMBTallyAttributes& customAttributes)
{
    logPredefined<EMBTallyContentViewEvent>(contentName, contentType, contentId, customAttributes);
}

void Tally::logSearchWithQuery(const EMBTallyText& query, const EMBTallyAttributes& customAttributes)
{
    logPredefined<EMBTallySearchEvent>(query, customAttributes);
}

void Tally::reset()
{
    std::shared_ptr<EMBAnalyticsController> controller;
    {
        std::lock_guard startLock(m_startMutex);
        m_startRan = false;
        std::lock_guard lock(m_mutex);
        controller = std::move(m_analyticsController);
    }
    if (controller)
        controller->waitUntilIdle();
}

}
