#pragma once

#include "attribution/WayfinderRequestCache.h"
#include "attribution/WayfinderTracker.h"

#include "platform/foundation/AdvertisingIdentifierManager.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/PropertyList.h"
#include "testing/ScopedEnvironment.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/AttributionService.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace attribution::test {

/// A device of its own (home and bundle folders, the advertising-identifier service with tracking allowed)
/// with the tracker set up for the build's app and pointed at a local back-end; the log lines are kept.
class TrackerFixture : public ::testing::Test {
protected:
    static constexpr const char* kDevKey { "Zq7v" };
    static constexpr const char* kAppID { "1047395822" };

    void SetUp() override
    {
        platform::foundation::Files::setHomeDirectory(m_home.path());
        platform::foundation::Files::setBundleDirectory(m_bundle.path());
        writeInfo("1.0");
        allowAdvertisingTracking();
        WayfinderRequestCache::instance().reset();
        tracker.reset();
        tracker.setWayfinderDevKey(kDevKey);
        tracker.setAppleAppID(kAppID);
        m_environment.set("ZORVIK_WAYFINDER_URL", m_backend.baseUrl());
        platform::foundation::Log::setCapture([this](const std::string& line) {
            std::lock_guard lock(m_logMutex);
            m_log.push_back(line);
        });
    }

    void TearDown() override
    {
        tracker.reset();
        platform::foundation::Log::setCapture(nullptr);
        WayfinderRequestCache::instance().reset();
        allowAdvertisingTracking();
        platform::foundation::Files::setBundleDirectory({});
        platform::foundation::Files::setHomeDirectory({});
    }

    /// Makes the phone offer the advertising-identifier service, with tracking allowed.
    static void allowAdvertisingTracking()
    {
        using platform::foundation::AdvertisingIdentifierManager;
        AdvertisingIdentifierManager::setAvailable(true);
        AdvertisingIdentifierManager::sharedManager()->setAdvertisingTrackingEnabled(true);
    }

    /// Writes the bundle's Info.plist with the build version `version`.
    void writeInfo(const std::string& version)
    {
        auto info = platform::foundation::Dictionary::make(
            { { "CFBundleIdentifier", "com.zorvik.Zorvik" }, { "CFBundleVersion", version },
                { "CFBundleShortVersionString", "1.0" }, { "CFBundleDisplayName", "Zorvik" } });
        ASSERT_TRUE(platform::foundation::Files::writeText(m_bundle.path() / "Info.plist",
            *platform::foundation::PropertyList::xml(platform::foundation::Value(info))));
    }

    /// Lets the tracker's work and requests end, then runs the main queue's work due within `seconds`.
    void settle(double seconds = 0.001)
    {
        tracker.waitUntilIdle();
        platform::foundation::mainQueue().advance(seconds);
        tracker.waitUntilIdle();
    }

    /// The requests the attribution service read.
    std::vector<::testing::AttributionRequest> received() const { return service()->requests(); }

    std::shared_ptr<::testing::AttributionService> service() const
    {
        return ::testing::AttributionService::of(m_backend);
    }

    /// Whether some log line is `line`.
    bool logged(const std::string& line) const
    {
        std::lock_guard lock(m_logMutex);
        return std::find(m_log.begin(), m_log.end(), line) != m_log.end();
    }

    /// Whether some log line starts with `prefix`.
    bool loggedStartingWith(const std::string& prefix) const
    {
        std::lock_guard lock(m_logMutex);
        return std::any_of(
            m_log.begin(), m_log.end(), [&](const auto& line) { return line.starts_with(prefix); });
    }

    WayfinderTracker& tracker { WayfinderTracker::sharedTracker() };
    ::testing::TemporaryDirectory m_home;
    ::testing::TemporaryDirectory m_bundle;
    ::testing::Backend m_backend;
    ::testing::ScopedEnvironment m_environment;
    mutable std::mutex m_logMutex;
    std::vector<std::string> m_log;
};

}
