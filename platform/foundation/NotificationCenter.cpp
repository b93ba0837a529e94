#include "platform/foundation/NotificationCenter.h"

#include <algorithm>
#include <atomic>
#include <iterator>

namespace platform::foundation {

struct NotificationCenter::Registration {
    std::weak_ptr<void> observer;
    const void* identity { nullptr };
    std::string name;
    const void* sender { nullptr };
    Received received;
    std::atomic<bool> removed { false };
};

namespace {

/// Takes the registrations matching `matches` out of `registrations` and marks
/// them removed. The caller lets them go after unlocking, since their callbacks
/// may own objects whose destructors come back to the centre.
template<class Registrations, class Predicate>
Registrations extract(Registrations& registrations, Predicate matches)
{
    auto kept = std::stable_partition(
        registrations.begin(), registrations.end(), [&](const auto& each) { return !matches(*each); });
    Registrations extracted(std::make_move_iterator(kept), std::make_move_iterator(registrations.end()));
    registrations.erase(kept, registrations.end());
    for (const auto& each : extracted)
        each->removed = true;
    return extracted;
}

}

NotificationCenter& NotificationCenter::defaultCenter()
{
    // Never destroyed: observers held in static objects may still remove themselves while the process exits.
    static auto* center = new NotificationCenter;
    return *center;
}

void NotificationCenter::addObserver(
    const std::weak_ptr<void>& observer, const std::string& name, const void* sender, Received received)
{
    auto alive = observer.lock();
    if (!alive)
        return;
    auto registration = std::make_shared<Registration>();
    registration->observer = observer;
    registration->identity = alive.get();
    registration->name = name;
    registration->sender = sender;
    registration->received = std::move(received);
    decltype(m_registrations) dropped;
    std::lock_guard lock(m_mutex);
    dropped = extract(m_registrations, [](const auto& each) { return each.observer.expired(); });
    m_registrations.push_back(std::move(registration));
}

ObserverToken NotificationCenter::addObserver(const std::string& name, const void* sender, Received received)
{
    auto token = std::make_shared<char>();
    addObserver(token, name, sender, std::move(received));
    return token;
}

void NotificationCenter::removeObserver(const void* observer)
{
    decltype(m_registrations) dropped;
    std::lock_guard lock(m_mutex);
    dropped = extract(m_registrations, [&](const auto& each) { return each.identity == observer; });
}

void NotificationCenter::removeObserver(const void* observer, const std::string& name)
{
    decltype(m_registrations) dropped;
    std::lock_guard lock(m_mutex);
    dropped = extract(
        m_registrations, [&](const auto& each) { return each.identity == observer && each.name == name; });
}

void NotificationCenter::post(const std::string& name, const void* object, DictionaryRef userInfo)
{
    decltype(m_registrations) dropped;
    decltype(m_registrations) targets;
    {
        std::lock_guard lock(m_mutex);
        dropped = extract(m_registrations, [](const auto& each) { return each.observer.expired(); });
        for (const auto& each : m_registrations) {
            if (each->name == name && (!each->sender || each->sender == object))
                targets.push_back(each);
        }
    }
    Notification notification { name, object, std::move(userInfo) };
    for (const auto& target : targets) {
        if (target->removed)
            continue;
        auto alive = target->observer.lock();
        if (alive)
            target->received(notification);
    }
}

}
