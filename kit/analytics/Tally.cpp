#include "kit/analytics/Tally.h"

#include "kit/core/CRNKitRegistry.h"

#include "platform/foundation/Dictionary.h"

namespace kit {
namespace {

// The platform finds the kit by its class name, as it finds every kit class of the program.
[[maybe_unused]] const bool kRegistered = [] {
    CRNKitRegistry::shared().registerClass(CRNKitClass::kitClass(Tally::sharedInstance()));
    return true;
}();

}

std::shared_ptr<Tally> Tally::sharedInstance()
{
    static std::shared_ptr<Tally> kit(new Tally);
    return kit;
}

void Tally::initializeIfNeeded()
{
    if (auto ember = CRNKitRegistry::shared().classNamed("Ember"); ember && ember->conformsToKitProtocol()) {
        ember->kit()->initializeIfNeeded();
        return;
    }
    startWithBetaToken(std::nullopt);
}

void Tally::startWithBetaToken(const std::optional<std::string>& betaToken)
{
    auto tally = sharedInstance();
    std::lock_guard lock(tally->m_mutex);
    tally->m_startCalls.push_back(betaToken);
    tally->m_started = true;
}

void Tally::logCustomEventWithName(
    const std::string& name, const platform::foundation::DictionaryRef& attributes)
{
    auto tally = sharedInstance();
    std::lock_guard lock(tally->m_mutex);
    if (tally->m_started)
        tally->m_customEvents.push_back({ name, attributes ? attributes->deepCopy() : nullptr });
}

void Tally::logPreviousSessionCrashedOnDate(platform::foundation::Date date)
{
    auto tally = sharedInstance();
    std::lock_guard lock(tally->m_mutex);
    if (tally->m_started)
        tally->m_crashDates.push_back(date);
}

std::vector<std::optional<std::string>> Tally::startCalls() const
{
    std::lock_guard lock(m_mutex);
    return m_startCalls;
}

bool Tally::isStarted() const
{
    std::lock_guard lock(m_mutex);
    return m_started;
}

std::vector<Tally::CustomEvent> Tally::customEvents() const
{
    std::lock_guard lock(m_mutex);
    return m_customEvents;
}

std::vector<platform::foundation::Date> Tally::previousSessionCrashDates() const
{
    std::lock_guard lock(m_mutex);
    return m_crashDates;
}

void Tally::reset()
{
    std::lock_guard lock(m_mutex);
    m_startCalls.clear();
    m_started = false;
    m_customEvents.clear();
    m_crashDates.clear();
}

}
