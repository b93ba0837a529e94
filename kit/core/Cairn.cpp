#include "kit/core/Cairn.h"

#include "platform/foundation/Log.h"

namespace kit {

Cairn& Cairn::sharedSDK()
{
    static Cairn platform;
    return platform;
}

Cairn& Cairn::with(const std::vector<std::shared_ptr<Kit>>& kits)
{
    auto& platform = sharedSDK();
    platform.start(kits);
    return platform;
}

void Cairn::start(const std::vector<std::shared_ptr<Kit>>& kits)
{
    std::lock_guard lock(m_mutex);
    if (m_startAttempted)
        return;
    m_startAttempted = true;
    if (!m_APIKey) {
        platform::foundation::Log(kLogPrefix)
            .write(
                "Cairn API Key is nil! Cairn won't work unless there is a valid API Key setup in Info.plist");
        return;
    }
    for (const auto& kit : kits) {
        if (kit)
            m_kits.push_back(kit);
    }
    m_started = true;
    // A kit may read the platform while it starts; the lock is recursive for that.
    for (const auto& kit : m_kits)
        kit->initializeIfNeeded();
}

std::optional<std::string> Cairn::APIKey() const
{
    std::lock_guard lock(m_mutex);
    return m_APIKey;
}

void Cairn::setAPIKey(std::string key)
{
    std::lock_guard lock(m_mutex);
    m_APIKey = std::move(key);
}

std::vector<std::shared_ptr<Kit>> Cairn::kitClasses() const
{
    std::lock_guard lock(m_mutex);
    return m_kits;
}

bool Cairn::isStarted() const
{
    std::lock_guard lock(m_mutex);
    return m_started;
}

bool Cairn::debug() const
{
    std::lock_guard lock(m_mutex);
    return m_debug;
}

void Cairn::setDebug(bool debug)
{
    std::lock_guard lock(m_mutex);
    m_debug = debug;
}

std::string Cairn::advertisingToken() const
{
    std::lock_guard lock(m_mutex);
    return m_advertisingToken;
}

void Cairn::setAdvertisingToken(std::string token)
{
    std::lock_guard lock(m_mutex);
    m_advertisingToken = std::move(token);
}

void Cairn::reset()
{
    std::lock_guard lock(m_mutex);
    m_APIKey.reset();
    m_kits.clear();
    m_startAttempted = false;
    m_started = false;
    m_debug = false;
    m_advertisingToken.clear();
}

}
