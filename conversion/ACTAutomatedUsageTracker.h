#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace conversion {

class ACTAutomatedUsageReporter;

/// Sends an automated usage ping for every enrolled conversion ID each hour while the app runs, and catch-up
/// pings when it comes back after a pause. The hours lie on a grid anchored at the end of the interval last
/// reported, which is persisted (kDefaultsKey), so the grid survives restarts. An excluded conversion ID is
/// not reported, and its conversion and remarketing pings say so.
///
/// Thread-safe: a lock guards the state. The hourly timer runs on the main queue's clock, and the pings go
/// out on the main queue. Made by the shared ACTApplication; hold it by std::shared_ptr (its timer holds it
/// weakly).
class ACTAutomatedUsageTracker : public std::enable_shared_from_this<ACTAutomatedUsageTracker> {
public:
    /// Seconds of one usage interval.
    static constexpr double kReportingTimeInterval { 3600 };
    /// The standard defaults' key of the persisted interval end (seconds since 1970).
    static constexpr const char* kDefaultsKey { "marquee_act_aur_uit" };

    /// Enrols `conversionID` on the shared tracker, lifting an exclusion.
    static void enableAutomatedUsageReportingWithConversionID(const std::string& conversionID);
    /// Excludes `conversionID` on the shared tracker (nullopt is ignored).
    static void disableAutomatedUsageReportingWithConversionID(
        const std::optional<std::string>& conversionID);
    /// The persisted interval end, 0 when there is none.
    static double persistentTimeToNextUsageIntervalSince1970();

    /// Enrols `conversionID` unless it is excluded. Does nothing for an ID enrolled already, an empty one, or
    /// without the advertising-identifier manager.
    void attemptToEnableAutomatedUsageReportingWithConversionID(const std::string& conversionID);
    /// Enrols `conversionID`, lifting an exclusion.
    void lockAndEnableAutomatedUsageReportingWithConversionID(const std::string& conversionID);
    /// Drops the ID's reporter and excludes it (nullopt is ignored).
    void lockAndDisableAutomatedUsageReportingWithConversionID(
        const std::optional<std::string>& conversionID);
    /// Whether `conversionID` is excluded.
    bool isAutomatedUsageReportingDisabledForConversionID(const std::string& conversionID) const;

    /// The end of the interval running now on the grid through `prior` (seconds since 1970): now + one
    /// interval when `prior` is 0; `prior` when it lies ahead; else the first grid point after now.
    double timeSince1970ToEndOfCurrentUsageIntervalBasedOnPriorUsageInterval(double prior) const;
    /// The end of the interval last reported (seconds since 1970, 0 before the first).
    double timeToEndOfPriorUsageIntervalSince1970() const;
    /// True once the hourly timer runs.
    bool hasStartedUsageReporting() const;
    /// The reporter of an enrolled ID, or nullptr.
    std::shared_ptr<ACTAutomatedUsageReporter> reporter(const std::string& conversionID) const;

private:
    /// With the lock held: enrols the ID (see the class comment for the catch-up pings).
    void enable(const std::string& conversionID);
    /// With the lock held: a new reporter for the ID, or nullptr for an empty ID, without the manager, or
    /// when the ID has one.
    std::shared_ptr<ACTAutomatedUsageReporter> reporterWithConversionID(
        const std::string& conversionID) const;
    /// With the lock held: sets and persists the end of the interval last reported.
    void setTimeToEndOfPriorUsageInterval(double time);
    /// With the lock held: runs reportingIntervalElapsed() at `time` (seconds since 1970).
    void reportAtSecondsSince1970(double time);
    /// With the lock held: moves the grid on and pings every reporter not yet stamped with the interval
    /// that ended.
    void reportingIntervalElapsed();

    double m_timeToEndOfPriorUsageIntervalSince1970 { 0 };
    bool m_hasStartedUsageReporting { false };
    mutable std::mutex m_lock;
    double m_reportingTimeInterval { kReportingTimeInterval };
    std::map<std::string, std::shared_ptr<ACTAutomatedUsageReporter>> m_reporters;
    std::set<std::string> m_disabledConversionIDs;
};

}
