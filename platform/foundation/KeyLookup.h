#pragma once

#include "platform/foundation/Dictionary.h"

#include <string_view>

namespace platform::foundation {

/// Reads one key from many dictionaries that share a layout, such as the
/// records of one list: remembers where the key was found and looks there
/// first in the next dictionary (Dictionary::find with a hint). The answers
/// are those of Dictionary::find whatever the dictionaries hold.
class KeyLookup {
public:
    /// A lookup of `key`, which must outlive it.
    explicit KeyLookup(std::string_view key)
        : m_key(key)
    {
    }

    /// The value stored under the key in `dictionary` in place, or null.
    const Value* find(const Dictionary& dictionary) { return dictionary.find(m_key, m_hint); }
    /// Asks for the entry where the key is expected in `dictionary`, whose
    /// header should already be on its way (Dictionary::prefetch).
    void prefetchEntry(const Dictionary& dictionary) const { dictionary.prefetchEntry(m_hint); }
    /// Finds the key in `dictionary`, whose entry should already be on its
    /// way, and asks for what its value points to.
    void prefetchValue(const Dictionary& dictionary)
    {
        if (auto* value = find(dictionary))
            value->prefetchContents();
    }

private:
    std::string_view m_key;
    std::size_t m_hint { 0 };
};

}
