#pragma once

#include "kit/core/Kit.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/Value.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kit {

/// The usage-analytics kit: one per process, its class registered with the kit platform's registry when
/// the program loads, so that the platform starts it beside the crash kit.
///
/// It starts once per process (startWithBetaToken(); later calls change nothing) and from then on keeps the
/// events it is told in this process, in order; events told before the start are dropped. When the crash kit
/// ("Ember") is registered, the platform's start hook leaves the start to it. Thread-safe.
class Tally final : public Kit {
public:
    static constexpr const char* kBundleIdentifier { "com.cairn.tally.ios" };
    static constexpr const char* kDisplayVersion { "1.2.0" };
    static constexpr const char* kBuildVersion { "7" };

    /// A custom event as it was logged.
    struct CustomEvent {
        std::string name;
        /// The event's attributes (a copy), or null.
        platform::foundation::DictionaryRef attributes;
    };

    /// The process's analytics kit, made on first use.
    static std::shared_ptr<Tally> sharedInstance();

    std::string kitName() const override { return "Tally"; }
    std::string bundleIdentifier() const override { return kBundleIdentifier; }
    std::string kitDisplayVersion() const override { return kDisplayVersion; }
    /// Sends initializeIfNeeded() to the registered crash kit, which starts analytics itself; without one,
    /// starts with no beta token.
    void initializeIfNeeded() override;

    /// Starts analytics with `betaToken` (may be none), once per process.
    static void startWithBetaToken(const std::optional<std::string>& betaToken);
    /// Logs a custom event named `name` with `attributes` (may be null).
    static void logCustomEventWithName(
        const std::string& name, const platform::foundation::DictionaryRef& attributes);
    /// Logs that the previous launch crashed on `date`.
    static void logPreviousSessionCrashedOnDate(platform::foundation::Date date);

    /// Every call of startWithBetaToken() so far, with its token, including those that changed nothing.
    std::vector<std::optional<std::string>> startCalls() const;
    /// Whether analytics has started.
    bool isStarted() const;
    /// The custom events logged since the start.
    std::vector<CustomEvent> customEvents() const;
    /// The crash dates logged since the start.
    std::vector<platform::foundation::Date> previousSessionCrashDates() const;

    /// Forgets the start and everything logged: for tests.
    void reset();

private:
    Tally() = default;

    mutable std::mutex m_mutex;
    std::vector<std::optional<std::string>> m_startCalls;
    bool m_started { false };
    std::vector<CustomEvent> m_customEvents;
    std::vector<platform::foundation::Date> m_crashDates;
};

}
