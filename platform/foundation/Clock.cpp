#include "platform/foundation/Clock.h"

#include "platform/foundation/MainQueue.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>

namespace platform::foundation {

namespace {

constexpr double kNanosecondsPerSecond { 1e9 };

/// The longest delay anything can ask for; longer ones mean "never" and are held here.
constexpr double kLongestSeconds { 1e9 };

}

Clock::Clock() = default;

bool Clock::isVirtual() const
{
    std::lock_guard lock(m_mutex);
    return m_virtual;
}

Date Clock::now() const
{
    std::lock_guard lock(m_mutex);
    if (m_virtual)
        return Date { m_virtualDateOffset + static_cast<double>(m_virtualSteady) / kNanosecondsPerSecond };
    return Date {
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count()
    };
}

void Clock::setNow(Date date)
{
    std::lock_guard lock(m_mutex);
    if (!m_virtual)
        throw std::logic_error("Clock::setNow on the real clock");
    m_virtualDateOffset
        = date.secondsSince1970 - static_cast<double>(m_virtualSteady) / kNanosecondsPerSecond;
}

std::int64_t Clock::steadyNanoseconds() const
{
    std::lock_guard lock(m_mutex);
    if (m_virtual)
        return m_virtualSteady;
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double Clock::steadySeconds() const
{
    return static_cast<double>(steadyNanoseconds()) / kNanosecondsPerSecond;
}

std::int64_t Clock::nanoseconds(double seconds)
{
    if (!(seconds > 0))
        return 0;
    return std::llround(std::min(seconds, kLongestSeconds) * kNanosecondsPerSecond);
}

void Clock::useVirtual(Date start)
{
    std::lock_guard lock(m_mutex);
    m_virtual = true;
    m_virtualSteady = 0;
    m_virtualDateOffset = start.secondsSince1970;
}

void Clock::useReal()
{
    std::lock_guard lock(m_mutex);
    m_virtual = false;
}

void Clock::advanceTo(std::int64_t steadyNanoseconds)
{
    std::lock_guard lock(m_mutex);
    if (m_virtual && steadyNanoseconds > m_virtualSteady)
        m_virtualSteady = steadyNanoseconds;
}

Date now()
{
    return mainQueue().clock().now();
}

}
