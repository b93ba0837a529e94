#pragma once

#include "platform/foundation/Dictionary.h"

#include <algorithm>
#include <string_view>

namespace platform::foundation {

/// Reads one key from many dictionaries that share a layout, such as the records of one list. Records of one
/// list hold the same keys, so the place of a key in one record's sorted entries is nearly always its place
/// in the next: the lookup remembers where it found the key and looks there first, reading one entry where a
/// search reads several. A stale place only costs the search: the answers are those of Dictionary::find
/// whatever the dictionaries hold and however they change between reads.
///
/// For walks over records no longer in the processor's cache, the lookup also asks for the memory it is
/// about to read, one link of the chain at a time (header, entry, what the value points to), so that a walk
/// can ask for the links of records a few ahead of its turn and their waits overlap.
class KeyLookup {
public:
    /// A lookup of `key`, which must outlive it.
    explicit KeyLookup(std::string_view key)
        : m_key(key)
    {
    }

    /// The value stored under the key in `dictionary` in place, or null; valid until the dictionary next
    /// changes.
    const Value* find(const Dictionary& dictionary)
    {
        const auto& entries = dictionary.entries();
        if (m_place < entries.size() && entries[m_place].first == m_key)
            return &entries[m_place].second;
        auto entry = std::lower_bound(
            entries.begin(), entries.end(), m_key, [](const Dictionary::Entry& entry, std::string_view key) {
                return std::string_view(entry.first) < key;
            });
        if (entry == entries.end() || entry->first != m_key)
            return nullptr;
        m_place = static_cast<std::size_t>(entry - entries.begin());
        return &entry->second;
    }

    /// Asks for the header of `dictionary`, where its entries lie, without waiting.
    static void prefetchHeader(const Dictionary& dictionary) { __builtin_prefetch(&dictionary.entries()); }
    /// Asks for the entry where the key is expected in `dictionary`, without waiting. Reads the header.
    void prefetchEntry(const Dictionary& dictionary) const
    {
        const auto& entries = dictionary.entries();
        if (m_place < entries.size()) {
            auto* entry = reinterpret_cast<const char*>(&entries[m_place]);
            __builtin_prefetch(entry);
            __builtin_prefetch(entry + sizeof(Dictionary::Entry) - 1);
        }
    }
    /// Asks for what the value under the key in `dictionary` points to (a container, a long string's
    /// characters), without waiting. Reads the header and the entry.
    void prefetchValue(const Dictionary& dictionary)
    {
        const Value* value = find(dictionary);
        if (!value)
            return;
        if (auto* array = value->arrayPointer())
            __builtin_prefetch(array);
        else if (auto* record = value->dictionaryPointer())
            __builtin_prefetch(record);
        else if (auto* text = value->string())
            __builtin_prefetch(text->data());
    }

private:
    std::string_view m_key;
    // Where the key was last found.
    std::size_t m_place { 0 };
};

}
