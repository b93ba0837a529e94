#include "platform/foundation/Dictionary.h"

#include <algorithm>

namespace platform::foundation {

DictionaryRef Dictionary::make()
{
    return std::make_shared<Dictionary>();
}

DictionaryRef Dictionary::make(std::initializer_list<std::pair<const std::string, Value>> entries)
{
    auto dictionary = std::make_shared<Dictionary>();
    for (auto& [key, value] : entries) {
        if (value.isNull())
            dictionary->m_entries.erase(key);
        else
            dictionary->m_entries.insert_or_assign(key, value);
    }
    return dictionary;
}

Value Dictionary::get(std::string_view key) const
{
    auto it = m_entries.find(key);
    return it == m_entries.end() ? Value() : it->second;
}

const Value* Dictionary::find(std::string_view key) const
{
    auto it = m_entries.find(key);
    return it == m_entries.end() ? nullptr : &it->second;
}

bool Dictionary::contains(std::string_view key) const
{
    return m_entries.find(key) != m_entries.end();
}

void Dictionary::set(std::string_view key, Value value)
{
    auto it = m_entries.lower_bound(key);
    bool present = it != m_entries.end() && it->first == key;
    if (m_pending.find(key) != m_pending.end() && (present ? it->second == value : value.isNull()))
        return;
    if (value.isNull()) {
        if (present)
            m_entries.erase(it);
    } else if (present) {
        it->second = std::move(value);
    } else {
        m_entries.emplace_hint(it, std::string(key), std::move(value));
    }
    if (!m_observers.empty())
        notify(key, Change {});
}

void Dictionary::addEntries(const Dictionary& other)
{
    Entries entries = other.m_entries;
    for (auto& [key, value] : entries)
        set(key, std::move(value));
}

DictionaryRef Dictionary::shallowCopy() const
{
    auto copy = std::make_shared<Dictionary>();
    copy->m_entries = m_entries;
    return copy;
}

DictionaryRef Dictionary::deepCopy() const
{
    auto copy = std::make_shared<Dictionary>();
    for (auto& [key, value] : m_entries)
        copy->m_entries.emplace_hint(copy->m_entries.end(), key, value.deepCopy());
    return copy;
}

bool Dictionary::equals(const Dictionary& other) const
{
    return m_entries == other.m_entries;
}

void Dictionary::addObserver(const std::shared_ptr<Observer>& observer, std::string key)
{
    if (!observer)
        return;
    dropLapsedObservers();
    if (isObserving(observer.get(), key))
        return;
    m_observers.push_back(Registration { std::move(key), observer.get(), observer });
}

void Dictionary::removeObserver(const Observer* observer, std::string_view key)
{
    std::erase_if(m_observers, [&](const Registration& registration) {
        return registration.observer.expired()
            || (registration.identity == observer && registration.key == key);
    });
}

void Dictionary::announce(std::string_view key, const Change& change)
{
    if (!m_observers.empty())
        notify(key, change);
}

bool Dictionary::isObserving(const Observer* observer, std::string_view key) const
{
    return std::any_of(m_observers.begin(), m_observers.end(), [&](const Registration& registration) {
        return registration.identity == observer && registration.key == key
            && !registration.observer.expired();
    });
}

void Dictionary::dropLapsedObservers()
{
    std::erase_if(
        m_observers, [](const Registration& registration) { return registration.observer.expired(); });
}

void Dictionary::notify(std::string_view key, const Change& change)
{
    // A change to a key whose observers are being told of an earlier change
    // waits until they have all heard of that one, so observers that change
    // what they observe never recurse.
    if (auto pending = m_pending.find(key); pending != m_pending.end()) {
        pending->second.push_back(change);
        return;
    }
    bool observed = std::any_of(m_observers.begin(), m_observers.end(),
        [&](const Registration& registration) { return registration.key == key; });
    if (!observed)
        return;
    auto self = weak_from_this().lock();
    auto delivery = m_pending.emplace(std::string(key), std::deque<Change> {}).first;
    struct DeliveryEnd {
        Dictionary& dictionary;
        PendingChanges::iterator delivery;
        ~DeliveryEnd() { dictionary.m_pending.erase(delivery); }
    } end { *this, delivery };

    Change current = change;
    while (true) {
        deliver(delivery->first, current);
        if (delivery->second.empty())
            break;
        current = std::move(delivery->second.front());
        delivery->second.pop_front();
    }
}

void Dictionary::deliver(const std::string& key, const Change& change)
{
    dropLapsedObservers();
    std::vector<std::shared_ptr<Observer>> observers;
    for (auto& registration : m_observers) {
        if (registration.key != key)
            continue;
        if (auto observer = registration.observer.lock())
            observers.push_back(std::move(observer));
    }
    for (auto& observer : observers) {
        if (isObserving(observer.get(), key))
            observer->observeValue(*this, key, change);
    }
}

}
