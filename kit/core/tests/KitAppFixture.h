#pragma once

#include "kit/core/CRNSettingsOnboardingManager.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"

#include "testing/ScopedEnvironment.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kit::test {

/// An app on a fresh device: a home of its own, a bundle "com.zorvik.Zorvik" (build "7", version "0.1.0")
/// whose Info.plist a test may extend, the kit endpoints on a fresh local back-end, the log captured and
/// the settings announcements counted, each with the number of requests the back-end had seen by then.
class KitAppFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::foundation::Files::setHomeDirectory(m_home.path());
        writeInfo();
        platform::foundation::Files::setBundleDirectory(m_bundle.path());
        m_environment.set(CRNSettingsOnboardingManager::kSettingsEndpointKey, m_backend.baseUrl());
        m_environment.set(CRNSettingsOnboardingManager::kAppConfigureEndpointKey, m_backend.baseUrl());
        platform::foundation::Log::setCapture([this](const std::string& line) {
            std::lock_guard lock(m_mutex);
            m_log.push_back(line);
        });
        m_announcements = platform::foundation::NotificationCenter::defaultCenter().addObserver(
            CRNSettingsOnboardingManager::kSettingsAvailableNotification, nullptr,
            [this](const platform::foundation::Notification&) {
                std::lock_guard lock(m_mutex);
                m_announced.push_back(m_backend.requests().size());
            });
    }

    void TearDown() override
    {
        m_announcements = {};
        platform::foundation::Log::setCapture({});
        platform::foundation::Files::setBundleDirectory({});
        platform::foundation::Files::setHomeDirectory({});
    }

    /// Writes the bundle's Info.plist: the app's identity and `extra` keys.
    void writeInfo(const platform::foundation::DictionaryRef& extra = nullptr)
    {
        auto info = platform::foundation::Dictionary::make(
            { { "CFBundleIdentifier", "com.zorvik.Zorvik" }, { "CFBundleName", "Zorvik" },
                { "CFBundleVersion", "7" }, { "CFBundleShortVersionString", "0.1.0" } });
        if (extra) {
            for (const auto& [key, value] : extra->entries())
                info->set(key, value);
        }
        ASSERT_TRUE(platform::foundation::Files::writeText(m_bundle.path() / "Info.plist",
            *platform::foundation::PropertyList::xml(platform::foundation::Value(info))));
    }

    /// Turns the main queue until `done`, moving its clock on over every back-off wait.
    static bool settle(const std::function<bool()>& done)
    {
        auto& queue = platform::foundation::mainQueue();
        for (int turn = 0; turn < 50 && !done(); ++turn) {
            if (!queue.runUntil([&] { return done() || queue.pendingCount() > 0; }))
                return false;
            if (!done())
                queue.advance(3600);
        }
        return done();
    }

    std::vector<std::string> log() const
    {
        std::lock_guard lock(m_mutex);
        return m_log;
    }
    /// Whether a captured line holds `text`.
    bool logged(const std::string& text) const
    {
        auto lines = log();
        return std::ranges::any_of(
            lines, [&](const auto& line) { return line.find(text) != std::string::npos; });
    }
    /// The back-end's request count at each announcement.
    std::vector<std::size_t> announced() const
    {
        std::lock_guard lock(m_mutex);
        return m_announced;
    }
    void clearLog()
    {
        std::lock_guard lock(m_mutex);
        m_log.clear();
    }
    void clearAnnouncements()
    {
        std::lock_guard lock(m_mutex);
        m_announced.clear();
    }
    /// "GET /path" for each request the back-end received.
    std::vector<std::string> requestLines() const
    {
        std::vector<std::string> lines;
        for (const auto& request : m_backend.requests())
            lines.push_back(request.method + " " + request.path);
        return lines;
    }

    ::testing::TemporaryDirectory m_home;
    ::testing::TemporaryDirectory m_bundle;
    ::testing::Backend m_backend;
    ::testing::ScopedEnvironment m_environment;

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_log;
    std::vector<std::size_t> m_announced;
    platform::foundation::ObserverToken m_announcements;
};

}
