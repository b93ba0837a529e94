#pragma once

#include <memory>

namespace platform::http {
class SessionEngine;
}

namespace conversion {

class ACTAutomatedUsageTracker;
class ACTPingRetryScheduler;
class ACTPingerStore;

/// The tracker's process-wide state, made by the first ping (or enrolment): the automated usage tracker,
/// the retry scheduler with its queue, the persisted ping store, and the transfer engine the pings go out on.
/// Made, it feeds every stored ping into the retry queue and has the main queue start scheduling, so the
/// first batch of pings left over from earlier runs goes out as soon as the main queue turns. Thread-safe.
class ACTApplication {
public:
    /// The process's state, made on first use.
    static std::shared_ptr<ACTApplication> sharedApplication();
    /// Lets go of the process's state, so that the next sharedApplication() makes it anew from what was
    /// persisted, as the next run of the app would: for tests. Call on the main thread.
    static void resetSharedApplication();

    /// Made by sharedApplication() only (public for std::make_shared).
    ACTApplication();
    ~ACTApplication();
    ACTApplication(const ACTApplication&) = delete;
    ACTApplication& operator=(const ACTApplication&) = delete;

    const std::shared_ptr<ACTAutomatedUsageTracker>& automatedUsageTracker() const
    {
        return m_automatedUsageTracker;
    }
    const std::shared_ptr<ACTPingRetryScheduler>& retryScheduler() const { return m_retryScheduler; }
    const std::shared_ptr<ACTPingerStore>& pingerStore() const { return m_pingerStore; }
    /// The engine every ping's connection runs on; going, it drops the pings in flight.
    const std::shared_ptr<platform::http::SessionEngine>& sessionEngine() const { return m_sessionEngine; }

private:
    std::shared_ptr<ACTAutomatedUsageTracker> m_automatedUsageTracker;
    std::shared_ptr<ACTPingRetryScheduler> m_retryScheduler;
    std::shared_ptr<ACTPingerStore> m_pingerStore;
    std::shared_ptr<platform::http::SessionEngine> m_sessionEngine;
};

}
