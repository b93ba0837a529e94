#include "conversion/ACTAutomatedUsageTracker.h"

#include "conversion/ACTApplication.h"
#include "conversion/ACTDevice.h"
#include "conversion/ACTReporter.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/MainQueue.h"

#include <cmath>

namespace conversion {

using platform::foundation::mainQueue;

namespace {

// The smallest difference between two interval ends that counts.
constexpr double kTolerance { 0.01 };

double secondsNow()
{
    return platform::foundation::now().secondsSince1970;
}

// Stamps `reporter` with `timestamp` and sends its ping, on the main queue.
void queueReport(std::shared_ptr<ACTAutomatedUsageReporter> reporter, double timestamp)
{
    mainQueue().async([reporter = std::move(reporter), timestamp] {
        reporter->setTimestamp(timestamp);
        reporter->report();
    });
}

}

void ACTAutomatedUsageTracker::enableAutomatedUsageReportingWithConversionID(const std::string& conversionID)
{
    ACTApplication::sharedApplication()
        ->automatedUsageTracker()
        ->lockAndEnableAutomatedUsageReportingWithConversionID(conversionID);
}

void ACTAutomatedUsageTracker::disableAutomatedUsageReportingWithConversionID(
    const std::optional<std::string>& conversionID)
{
    ACTApplication::sharedApplication()
        ->automatedUsageTracker()
        ->lockAndDisableAutomatedUsageReportingWithConversionID(conversionID);
}

double ACTAutomatedUsageTracker::persistentTimeToNextUsageIntervalSince1970()
{
    return platform::foundation::Defaults::standard()->real(kDefaultsKey);
}

void ACTAutomatedUsageTracker::attemptToEnableAutomatedUsageReportingWithConversionID(
    const std::string& conversionID)
{
    std::lock_guard lock(m_lock);
    if (!m_disabledConversionIDs.contains(conversionID))
        enable(conversionID);
}

void ACTAutomatedUsageTracker::lockAndEnableAutomatedUsageReportingWithConversionID(
    const std::string& conversionID)
{
    std::lock_guard lock(m_lock);
    enable(conversionID);
}

void ACTAutomatedUsageTracker::lockAndDisableAutomatedUsageReportingWithConversionID(
    const std::optional<std::string>& conversionID)
{
    if (!conversionID)
        return;
    std::lock_guard lock(m_lock);
    m_reporters.erase(*conversionID);
    m_disabledConversionIDs.insert(*conversionID);
}

bool ACTAutomatedUsageTracker::isAutomatedUsageReportingDisabledForConversionID(
    const std::string& conversionID) const
{
    std::lock_guard lock(m_lock);
    return m_disabledConversionIDs.contains(conversionID);
}

double ACTAutomatedUsageTracker::timeSince1970ToEndOfCurrentUsageIntervalBasedOnPriorUsageInterval(
    double prior) const
{
    double now = secondsNow();
    if (prior == 0)
        return now + m_reportingTimeInterval;
    // An interval that ends this very instant has elapsed: the timer fires at the end it waits for.
    if (now >= prior)
        return prior + m_reportingTimeInterval * std::trunc((now - prior) / m_reportingTimeInterval + 1);
    return prior;
}

double ACTAutomatedUsageTracker::timeToEndOfPriorUsageIntervalSince1970() const
{
    std::lock_guard lock(m_lock);
    return m_timeToEndOfPriorUsageIntervalSince1970;
}

bool ACTAutomatedUsageTracker::hasStartedUsageReporting() const
{
    std::lock_guard lock(m_lock);
    return m_hasStartedUsageReporting;
}

std::shared_ptr<ACTAutomatedUsageReporter> ACTAutomatedUsageTracker::reporter(
    const std::string& conversionID) const
{
    std::lock_guard lock(m_lock);
    auto found = m_reporters.find(conversionID);
    return found == m_reporters.end() ? nullptr : found->second;
}

void ACTAutomatedUsageTracker::enable(const std::string& conversionID)
{
    auto reporter = reporterWithConversionID(conversionID);
    if (!reporter)
        return;
    m_reporters[conversionID] = reporter;
    m_disabledConversionIDs.erase(conversionID);

    double stored = persistentTimeToNextUsageIntervalSince1970();
    double current = timeSince1970ToEndOfCurrentUsageIntervalBasedOnPriorUsageInterval(0);
    if (stored <= 0 || stored > current) {
        setTimeToEndOfPriorUsageInterval(current);
    } else {
        setTimeToEndOfPriorUsageInterval(stored);
        queueReport(reporter, stored);
    }
    double end = timeSince1970ToEndOfCurrentUsageIntervalBasedOnPriorUsageInterval(
        m_timeToEndOfPriorUsageIntervalSince1970);
    if (std::abs(end - stored) >= kTolerance) {
        setTimeToEndOfPriorUsageInterval(end);
        queueReport(reporter, end);
    }
    if (!m_hasStartedUsageReporting) {
        reportAtSecondsSince1970(end);
        m_hasStartedUsageReporting = true;
    }
}

std::shared_ptr<ACTAutomatedUsageReporter> ACTAutomatedUsageTracker::reporterWithConversionID(
    const std::string& conversionID) const
{
    if (conversionID.empty() || !ACTDevice::currentDevice().hasIDFA() || m_reporters.contains(conversionID))
        return nullptr;
    return ACTAutomatedUsageReporter::make(conversionID);
}

void ACTAutomatedUsageTracker::setTimeToEndOfPriorUsageInterval(double time)
{
    m_timeToEndOfPriorUsageIntervalSince1970 = time;
    platform::foundation::Defaults::standard()->setValue(kDefaultsKey, time);
}

void ACTAutomatedUsageTracker::reportAtSecondsSince1970(double time)
{
    mainQueue().after(time - secondsNow(), [weak = weak_from_this()] {
        if (auto tracker = weak.lock()) {
            std::lock_guard lock(tracker->m_lock);
            tracker->reportingIntervalElapsed();
        }
    });
}

void ACTAutomatedUsageTracker::reportingIntervalElapsed()
{
    double ended = m_timeToEndOfPriorUsageIntervalSince1970;
    double next = timeSince1970ToEndOfCurrentUsageIntervalBasedOnPriorUsageInterval(ended);
    setTimeToEndOfPriorUsageInterval(next);
    for (const auto& [conversionID, reporter] : m_reporters) {
        if (ended - reporter->timestamp() >= kTolerance)
            queueReport(reporter, ended);
    }
    reportAtSecondsSince1970(next);
}

}
