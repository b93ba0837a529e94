#include "conversion/tests/ConversionFixture.h"

#include "conversion/ACTApplication.h"
#include "conversion/ACTPingerStore.h"

#include "platform/foundation/AdvertisingIdentifierManager.h"
#include "platform/foundation/Defaults.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"

#include <algorithm>

namespace conversion::test {

using platform::foundation::AdvertisingIdentifierManager;
using platform::foundation::mainQueue;

void ConversionFixture::SetUp()
{
    platform::foundation::Files::setHomeDirectory(m_home.path());
    environment.set("ZORVIK_CONVERSION_URL", backend.baseUrl());
    environment.set("ZORVIK_ACTIVITY_URL", backend.url(testing::ConversionPingStore::kActivityRoot));
    AdvertisingIdentifierManager::setAvailable(true);
    AdvertisingIdentifierManager::sharedManager()->setAdvertisingTrackingEnabled(true);
    platform::foundation::Log::setCapture([this](const std::string& line) {
        std::lock_guard lock(m_logMutex);
        m_log.push_back(line);
    });
    ACTApplication::resetSharedApplication();
}

void ConversionFixture::TearDown()
{
    ACTApplication::resetSharedApplication();
    mainQueue().reset();
    platform::foundation::Log::setCapture({});
    AdvertisingIdentifierManager::setAvailable(true);
    AdvertisingIdentifierManager::sharedManager()->setAdvertisingTrackingEnabled(true);
    platform::foundation::Files::setHomeDirectory({});
}

bool ConversionFixture::waitForPings(std::size_t count)
{
    return mainQueue().runUntil([&] { return backend.conversionPings().pings().size() >= count; });
}

bool ConversionFixture::waitForRequests(std::size_t count)
{
    return mainQueue().runUntil([&] { return backend.requests().size() >= count; });
}

std::vector<testing::ConversionPing> ConversionFixture::attempts() const
{
    std::vector<testing::ConversionPing> pings;
    for (const auto& request : backend.requests()) {
        if (auto ping = testing::ConversionPing::parse(request))
            pings.push_back(std::move(*ping));
    }
    return pings;
}

std::vector<std::string> ConversionFixture::storedRequests()
{
    std::vector<std::string> keys;
    if (auto store = ACTPingerStore::persistedPingers()) {
        for (const auto& [key, value] : store->entries())
            keys.push_back(key);
    }
    return keys;
}

platform::foundation::DictionaryRef ConversionFixture::storedForm(const std::string& requestString)
{
    auto store = ACTPingerStore::persistedPingers();
    return store ? store->get(requestString).dictionary() : nullptr;
}

std::vector<std::string> ConversionFixture::logLines() const
{
    std::lock_guard lock(m_logMutex);
    return m_log;
}

void ConversionFixture::clearLog()
{
    std::lock_guard lock(m_logMutex);
    m_log.clear();
}

bool ConversionFixture::logged(const std::string& text) const
{
    auto lines = logLines();
    return std::find(lines.begin(), lines.end(), "<Marquee> " + text) != lines.end();
}

std::string ConversionFixture::advertisingIdentifier()
{
    return AdvertisingIdentifierManager::sharedManager()->advertisingIdentifier().string();
}

void ConversionFixture::restart()
{
    ACTApplication::resetSharedApplication();
}

}
