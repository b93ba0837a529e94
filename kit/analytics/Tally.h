#pragma once

#include "kit/analytics/EMBTallyPredefinedEvents.h"
#include "kit/core/Kit.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/Value.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace kit {

class EMBAnalyticsController;

/// The usage-analytics kit: one per process, its class registered with the kit platform's registry when the
/// program loads, so that the platform starts it beside the crash kit.
///
/// It starts once per process (startWithBetaToken(); later calls, with any token, change nothing): it makes
/// the one analytics controller of the process, storing under Caches/"com.ember.data"/<bundle
/// identifier>/"analytics" with the launch's execution identifier as its session, and logs the installation
/// (on the first launch after it) and the launch. Where analytics is not supported (an app extension), or its
/// store cannot be made, there is no controller, and every logging call does nothing; so does every call
/// before the start. When the crash kit ("Ember") is registered, the platform's start hook leaves the start
/// to it. Every member may be called from any thread.
class Tally final : public Kit {
public:
    static constexpr const char* kBundleIdentifier { "com.cairn.tally.ios" };
    static constexpr const char* kDisplayVersion { "1.2.0" };
    static constexpr const char* kBuildVersion { "7" };

    /// The process's analytics kit, made on first use.
    static std::shared_ptr<Tally> sharedInstance();

    std::string kitName() const override { return "Tally"; }
    std::string bundleIdentifier() const override { return kBundleIdentifier; }
    std::string kitDisplayVersion() const override { return kDisplayVersion; }
    /// Sends initializeIfNeeded() to the registered crash kit, which starts analytics itself; without one,
    /// starts with no beta token.
    void initializeIfNeeded() override;

    /// Caches/"com.ember.data"/<bundle identifier>/"analytics", or nullopt without a Caches folder.
    static std::optional<std::filesystem::path> analyticsRootDirectory();

    /// Starts analytics with `betaToken` (may be none), once per process (see the class comment).
    static void startWithBetaToken(const std::optional<std::string>& betaToken);
    /// The instance's start: see startWithBetaToken().
    void start(const std::optional<std::string>& betaToken);

    /// The process's analytics controller: null before the start and where analytics does not run.
    std::shared_ptr<EMBAnalyticsController> analyticsController() const;

    /// Tells analytics that the previous launch crashed on `date`.
    static void logPreviousSessionCrashedOnDate(platform::foundation::Date date);
    /// Logs a custom event named `name` with `attributes` (may be null; validated and copied now).
    static void logCustomEventWithName(
        const std::string& name, const platform::foundation::DictionaryRef& attributes = nullptr);
    /// Logs a predefined event (null is dropped).
    static void logPredefinedEvent(const std::shared_ptr<const EMBTallyPredefinedEvent>& event);

    // The predefined events, each made from its arguments (EMBTallyPredefinedEvents.h) and logged.

    static void logSignUpWithMethod(
        const EMBTallyText& method, std::optional<bool> success, const EMBTallyAttributes& customAttributes);
    static void logLoginWithMethod(
        const EMBTallyText& method, std::optional<bool> success, const EMBTallyAttributes& customAttributes);
    static void logShareWithMethod(const EMBTallyText& method, const EMBTallyText& contentName,
        const EMBTallyText& contentType, const EMBTallyText& contentId,
        const EMBTallyAttributes& customAttributes);
    static void logInviteWithMethod(const EMBTallyText& method, const EMBTallyAttributes& customAttributes);
    static void logPurchaseWithPrice(const EMBTallyPrice& price, const EMBTallyText& currency,
        std::optional<bool> success, const EMBTallyText& itemName, const EMBTallyText& itemType,
        const EMBTallyText& itemId, const EMBTallyAttributes& customAttributes);
    static void logLevelStart(const EMBTallyText& levelName, const EMBTallyAttributes& customAttributes);
    static void logLevelEnd(const EMBTallyText& levelName, const platform::foundation::Value& score,
        std::optional<bool> success, const EMBTallyAttributes& customAttributes);
    static void logAddToCartWithPrice(const EMBTallyPrice& price, const EMBTallyText& currency,
        const EMBTallyText& itemName, const EMBTallyText& itemType, const EMBTallyText& itemId,
        const EMBTallyAttributes& customAttributes);
    static void logStartCheckoutWithPrice(const EMBTallyPrice& price, const EMBTallyText& currency,
        const platform::foundation::Value& itemCount, const EMBTallyAttributes& customAttributes);
    static void logRating(const platform::foundation::Value& rating, const EMBTallyText& contentName,
        const EMBTallyText& contentType, const EMBTallyText& contentId,
        const EMBTallyAttributes& customAttributes);
    static void logContentViewWithName(const EMBTallyText& contentName, const EMBTallyText& contentType,
        const EMBTallyText& contentId, const EMBTallyAttributes& customAttributes);
    static void logSearchWithQuery(const EMBTallyText& query, const EMBTallyAttributes& customAttributes);

    /// Forgets the start, as a new process would, once the controller's queued work has run: for tests, which
    /// start analytics once per simulated launch.
    void reset();

private:
    Tally() = default;

    // Held through the whole start, so that concurrent callers see one start.
    std::mutex m_startMutex;
    bool m_startRan { false };

    mutable std::mutex m_mutex;
    std::shared_ptr<EMBAnalyticsController> m_analyticsController;
};

}
