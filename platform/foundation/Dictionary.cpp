#include "platform/foundation/Dictionary.h"

#include <algorithm>

namespace platform::foundation {

namespace {

bool keyBefore(const Dictionary::Entry& entry, std::string_view key)
{
    return std::string_view(entry.first) < key;
}

}

DictionaryRef Dictionary::make()
{
    return std::make_shared<Dictionary>();
}

DictionaryRef Dictionary::make(std::initializer_list<std::pair<const std::string, Value>> entries)
{
    return make(Entries(entries.begin(), entries.end()));
}

DictionaryRef Dictionary::make(Entries entries)
{
    auto inOrder = [](const Entry& left, const Entry& right) { return left.first < right.first; };
    bool normal = std::adjacent_find(entries.begin(), entries.end(),
                      [](const Entry& left, const Entry& right) { return left.first >= right.first; })
        == entries.end();
    normal = normal && std::none_of(entries.begin(), entries.end(), [](const Entry& entry) {
        return entry.second.isNull();
    });
    if (!normal) {
        // Sorted stably, the last entry of each key ends its run: keep that one, unless it is null.
        std::stable_sort(entries.begin(), entries.end(), inOrder);
        auto kept = entries.begin();
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            auto next = std::next(it);
            if ((next != entries.end() && next->first == it->first) || it->second.isNull())
                continue;
            if (kept != it)
                *kept = std::move(*it);
            ++kept;
        }
        entries.erase(kept, entries.end());
    }
    auto dictionary = std::make_shared<Dictionary>();
    dictionary->m_entries = std::move(entries);
    return dictionary;
}

Dictionary::Entries::const_iterator Dictionary::lowerBound(std::string_view key) const
{
    return std::lower_bound(m_entries.begin(), m_entries.end(), key, keyBefore);
}

Value Dictionary::get(std::string_view key) const
{
    auto* value = find(key);
    return value ? *value : Value();
}

const Value* Dictionary::find(std::string_view key) const
{
    auto it = lowerBound(key);
    return it != m_entries.end() && it->first == key ? &it->second : nullptr;
}

bool Dictionary::contains(std::string_view key) const
{
    return find(key) != nullptr;
}

void Dictionary::set(std::string_view key, Value value)
{
    auto it = m_entries.begin() + (lowerBound(key) - m_entries.cbegin());
    bool present = it != m_entries.end() && it->first == key;
    if (isPending(key) && (present ? it->second == value : value.isNull()))
        return;
    if (value.isNull()) {
        if (present)
            m_entries.erase(it);
    } else if (present) {
        it->second = std::move(value);
    } else {
        m_entries.emplace(it, std::string(key), std::move(value));
    }
    if (m_extras && !m_extras->observers.empty())
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
    copy->m_entries.reserve(m_entries.size());
    for (auto& [key, value] : m_entries)
        copy->m_entries.emplace_back(key, value.deepCopy());
    return copy;
}

bool Dictionary::equals(const Dictionary& other) const
{
    return m_entries == other.m_entries;
}

Dictionary::Extras& Dictionary::extras()
{
    if (!m_extras)
        m_extras = std::make_unique<Extras>();
    return *m_extras;
}

bool Dictionary::isPending(std::string_view key) const
{
    return m_extras && m_extras->pending.find(key) != m_extras->pending.end();
}

void Dictionary::addObserver(const std::shared_ptr<Observer>& observer, std::string key)
{
    if (!observer)
        return;
    dropLapsedObservers();
    if (isObserving(observer.get(), key))
        return;
    extras().observers.push_back(Registration { std::move(key), observer.get(), observer });
}

void Dictionary::removeObserver(const Observer* observer, std::string_view key)
{
    if (!m_extras)
        return;
    std::erase_if(m_extras->observers, [&](const Registration& registration) {
        return registration.observer.expired()
            || (registration.identity == observer && registration.key == key);
    });
}

void Dictionary::announce(std::string_view key, const Change& change)
{
    if (m_extras && !m_extras->observers.empty())
        notify(key, change);
}

bool Dictionary::isObserving(const Observer* observer, std::string_view key) const
{
    if (!m_extras)
        return false;
    auto& observers = m_extras->observers;
    return std::any_of(observers.begin(), observers.end(), [&](const Registration& registration) {
        return registration.identity == observer && registration.key == key
            && !registration.observer.expired();
    });
}

void Dictionary::dropLapsedObservers()
{
    if (!m_extras)
        return;
    std::erase_if(m_extras->observers,
        [](const Registration& registration) { return registration.observer.expired(); });
}

void Dictionary::notify(std::string_view key, const Change& change)
{
    // A change to a key whose observers are being told of an earlier change
    // waits until they have all heard of that one, so observers that change
    // what they observe never recurse.
    auto& pendingChanges = m_extras->pending;
    if (auto pending = pendingChanges.find(key); pending != pendingChanges.end()) {
        pending->second.push_back(change);
        return;
    }
    auto& observers = m_extras->observers;
    bool observed = std::any_of(observers.begin(), observers.end(),
        [&](const Registration& registration) { return registration.key == key; });
    if (!observed)
        return;
    auto self = weak_from_this().lock();
    auto delivery = pendingChanges.emplace(std::string(key), std::deque<Change> {}).first;
    struct DeliveryEnd {
        PendingChanges& pending;
        PendingChanges::iterator delivery;
        ~DeliveryEnd() { pending.erase(delivery); }
    } end { pendingChanges, delivery };

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
    for (auto& registration : m_extras->observers) {
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
