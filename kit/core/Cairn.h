#pragma once

#include "kit/core/Kit.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kit {

/// The kit platform: the process's one object through which the app starts its kits.
///
/// with() starts the platform once per process: without an API key it logs so and starts nothing;
/// otherwise it keeps the kits in the order given and asks each, in that order, to initialise itself.
/// Later calls only answer the platform. Thread-safe.
class Cairn {
public:
    /// The prefix of the platform's log lines.
    static constexpr const char* kLogPrefix { "[Cairn]" };
    /// The platform's identifier, version and build number, as its requests name them.
    static constexpr const char* kBundleID { "io.cairn.sdk.ios" };
    static constexpr const char* kVersion { "1.6.5" };
    static constexpr const char* kBuildNumber { "46" };

    /// The platform, made on first use.
    static Cairn& sharedSDK();

    /// Starts the platform with `kits` on the first call in the process (see the class comment) and answers
    /// the platform.
    static Cairn& with(const std::vector<std::shared_ptr<Kit>>& kits);

    Cairn(const Cairn&) = delete;
    Cairn& operator=(const Cairn&) = delete;

    /// The API key, or nullopt when none is configured.
    std::optional<std::string> APIKey() const;
    /// Configures the API key for the start.
    void setAPIKey(std::string key);

    /// The kits of this launch in start order (empty until a start with an API key).
    std::vector<std::shared_ptr<Kit>> kitClasses() const;
    /// Whether a start with an API key has run.
    bool isStarted() const;

    /// Whether the platform runs in debug mode: progress is logged and the kit clients skip certificate
    /// pinning.
    bool debug() const;
    void setDebug(bool debug);

    /// The advertising token the analytics kit set ("" when none), sent with the settings download.
    std::string advertisingToken() const;
    void setAdvertisingToken(std::string token);

    /// Forgets the API key, the kits and the start, so that with() starts again: for tests.
    void reset();

private:
    Cairn() = default;

    void start(const std::vector<std::shared_ptr<Kit>>& kits);

    mutable std::recursive_mutex m_mutex;
    std::optional<std::string> m_APIKey;
    std::vector<std::shared_ptr<Kit>> m_kits;
    bool m_startAttempted { false };
    bool m_started { false };
    bool m_debug { false };
    std::string m_advertisingToken;
};

}
