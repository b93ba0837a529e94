#pragma once

#include "kit/core/Kit.h"

#include <atomic>
#include <memory>
#include <string>

namespace kit {

/// The crash-reporting kit. There is one per process: making one answers that one. The platform starts it
/// through initializeIfNeeded(); it starts once.
class Ember : public Kit {
public:
    /// The kit's bundle identifier.
    static constexpr const char* kBundleIdentifier { "com.cairn.ember.ios" };
    /// The kit's version.
    static constexpr const char* kDisplayVersion { "3.7.0" };
    /// The kit's build number.
    static constexpr const char* kBuildVersion { "102" };

    /// The process's crash-reporting kit, made on first use.
    static std::shared_ptr<Ember> sharedInstance();
    /// Answers the process's kit rather than a new one, so that the app can hand "a new Ember" to the
    /// platform.
    static std::shared_ptr<Ember> init();

    Ember(const Ember&) = delete;
    Ember& operator=(const Ember&) = delete;

    /// "Ember".
    std::string kitName() const override { return "Ember"; }
    /// kBundleIdentifier.
    std::string bundleIdentifier() const override { return kBundleIdentifier; }
    /// kDisplayVersion.
    std::string kitDisplayVersion() const override { return kDisplayVersion; }
    /// Starts crash reporting.
    void initializeIfNeeded() override { start(); }

    /// Starts crash reporting once per process; later calls do nothing.
    void start();
    /// Whether crash reporting has started.
    bool isEmberStarted() const { return m_started; }

    /// Forgets the start: for tests.
    void reset() { m_started = false; }

private:
    Ember() = default;

    std::atomic<bool> m_started { false };
};

}
