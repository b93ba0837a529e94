#pragma once

#include "platform/foundation/Observation.h"
#include "platform/foundation/Value.h"

#include <deque>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform::foundation {

/// Names one kind of object attached to a dictionary. Declare one per use:
///     inline const AttachmentKey<Repository> kRepositoryKey { "repository" };
template<class T> struct AttachmentKey {
    const char* name;
};

/// A shared, mutable record of string keys to values: the app's JSON objects.
/// Always held by DictionaryRef, so two holders see each other's changes.
/// Storing null removes the key; reading an absent key gives null.
///
/// The entries lie in one sorted block beside a small header: the lists walk
/// thousands of records at every refresh, and a record read then touches a
/// few neighbouring cache lines instead of a node per key.
class Dictionary : public std::enable_shared_from_this<Dictionary> {
public:
    using Entry = std::pair<std::string, Value>;
    /// The entries, sorted by key, each key once, no null values.
    using Entries = std::vector<Entry>;

    /// A new empty dictionary, or one holding `entries` (null values skipped;
    /// of entries with the same key, the last wins).
    static DictionaryRef make();
    static DictionaryRef make(std::initializer_list<std::pair<const std::string, Value>> entries);
    static DictionaryRef make(Entries entries);

    /// The value under `key`, or null.
    Value get(std::string_view key) const;
    /// The value stored under `key` in place, or null when there is none: for
    /// reads over many records, valid until the dictionary next changes.
    const Value* find(std::string_view key) const;
    /// Whether a value is stored under `key`.
    bool contains(std::string_view key) const;
    /// The number of keys.
    std::size_t size() const { return m_entries.size(); }
    /// Whether no key is stored.
    bool empty() const { return m_entries.empty(); }

    /// Stores `value` under `key` (null removes it) and tells the key's
    /// observers of a Setting change. Made while the key's observers are being
    /// told of an earlier change (by one of them), a change is told once they
    /// have all heard of that one, and storing the value already there is then
    /// no change at all; so an observer may set the key it observes.
    void set(std::string_view key, Value value);
    /// Removes `key`, as set(key, nullptr).
    void remove(std::string_view key) { set(key, nullptr); }

    /// Copies every entry of `other` into this dictionary (overwriting).
    void addEntries(const Dictionary& other);

    /// Entries in key order.
    const Entries& entries() const { return m_entries; }

    /// A new dictionary sharing the same values / holding deep copies of them.
    /// Attachments and observers are not copied.
    DictionaryRef shallowCopy() const;
    DictionaryRef deepCopy() const;
    /// Deep equality of the entries.
    bool equals(const Dictionary& other) const;

    /// Observation of one key. Observers are held weakly; adding one twice
    /// registers it once; removing one that was never added does nothing.
    /// Observers may add and remove observers (themselves included) while
    /// being told of a change; one removed then is not told any more.
    void addObserver(const std::shared_ptr<Observer>& observer, std::string key);
    /// Stops telling `observer` of changes to `key`.
    void removeObserver(const Observer* observer, std::string_view key);
    /// Tells the observers of `key` about a change made in place (an array
    /// under the key grown or shrunk by the caller), or about a derived value
    /// under a key that is not stored at all.
    void announce(std::string_view key, const Change& change);

    /// The object attached under `key`, or null.
    template<class T> std::shared_ptr<T> attachment(const AttachmentKey<T>& key) const
    {
        if (!m_extras)
            return nullptr;
        auto it = m_extras->attachments.find(key.name);
        return it == m_extras->attachments.end() ? nullptr : std::static_pointer_cast<T>(it->second);
    }
    /// Attaches `object` under `key` (null detaches). Held strongly.
    template<class T> void setAttachment(const AttachmentKey<T>& key, std::shared_ptr<T> object)
    {
        if (object)
            extras().attachments[key.name] = std::move(object);
        else if (m_extras)
            m_extras->attachments.erase(key.name);
    }

private:
    struct Registration {
        std::string key;
        const Observer* identity { nullptr };
        std::weak_ptr<Observer> observer;
    };
    using PendingChanges = std::map<std::string, std::deque<Change>, std::less<>>;
    // What few records have: attachments, observers, and the keys whose
    // observers are being told of a change with the changes made meanwhile
    // that they are still to hear of. Made when first needed.
    struct Extras {
        std::map<std::string, std::shared_ptr<void>, std::less<>> attachments;
        std::vector<Registration> observers;
        PendingChanges pending;
    };

    Extras& extras();
    Entries::const_iterator lowerBound(std::string_view key) const;
    bool isPending(std::string_view key) const;
    bool isObserving(const Observer* observer, std::string_view key) const;
    void dropLapsedObservers();
    void notify(std::string_view key, const Change& change);
    void deliver(const std::string& key, const Change& change);

    Entries m_entries;
    std::unique_ptr<Extras> m_extras;
};

}
