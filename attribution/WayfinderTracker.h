#pragma once

#include "platform/foundation/Date.h"

#include <optional>
#include <string>
#include <vector>

namespace attribution {

/// One launch report the tracker made: the event with the settings it was made under.
struct LaunchReport {
    std::string event;
    std::string devKey;
    std::string appleAppID;
    platform::foundation::Date time;

    bool operator==(const LaunchReport&) const = default;
};

/// The install-attribution tracker, for now as far as the app's launch uses it: it keeps its settings and
/// records the launch reports it makes instead of sending them. Use it on the main thread.
class WayfinderTracker {
public:
    /// Seconds from trackAppLaunch() to its report.
    static constexpr double kLaunchDelay { 0.1 };
    /// A launch reported less than this many seconds after the previous report is not reported.
    static constexpr double kMinimumLaunchInterval { 1.5 };
    /// The name of the launch event.
    static constexpr const char* kLaunchedEvent { "Launched" };

    /// The process's tracker, made on first use.
    static WayfinderTracker& sharedTracker();

    /// Stores the developer key for every later report.
    void setWayfinderDevKey(std::string devKey);
    /// The developer key ("" until set).
    const std::string& wayfinderDevKey() const { return m_devKey; }

    /// Stores the App Store application id used in the report paths.
    void setAppleAppID(std::string appleAppID);
    /// The App Store application id ("" until set).
    const std::string& appleAppID() const { return m_appleAppID; }

    /// Reports a launch: after kLaunchDelay on the main queue it makes the "Launched" report, unless the
    /// previous report was made less than kMinimumLaunchInterval before.
    void trackAppLaunch();

    /// The launch reports made so far, oldest first.
    const std::vector<LaunchReport>& launchReports() const { return m_launchReports; }

    /// Forgets the settings and the reports: for tests.
    void reset();

private:
    WayfinderTracker() = default;

    void reportLaunch();

    std::string m_devKey;
    std::string m_appleAppID;
    std::vector<LaunchReport> m_launchReports;
    std::optional<platform::foundation::Date> m_lastLaunchReport;
};

}
