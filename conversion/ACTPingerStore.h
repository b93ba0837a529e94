#pragma once

#include "platform/foundation/Value.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace conversion {

class ACTPinger;

/// The pings not yet delivered, kept across runs: request string → stored form (ACTPinger::parameters()),
/// persisted whole in the standard defaults under kDefaultsKey at every change. Holds at most kMaxEntries.
/// Takes no lock of its own: use it on the main thread.
class ACTPingerStore {
public:
    /// The standard defaults' key of the persisted store.
    static constexpr const char* kDefaultsKey { "marquee_ping_descriptor_store" };
    /// Entries the store holds at most.
    static constexpr std::size_t kMaxEntries { 500 };

    /// The persisted store, or null when there is none (or it is no dictionary).
    static platform::foundation::DictionaryRef persistedPingers();

    /// A store holding a copy of `pingers` (null: empty).
    explicit ACTPingerStore(const platform::foundation::DictionaryRef& pingers = nullptr);
    /// A store holding what was persisted.
    static std::shared_ptr<ACTPingerStore> makeFromStorage();

    /// Stores the pinger's form under its request string, adding or replacing, and persists; a full store
    /// changes nothing, not even a replacement. A pinger without a stored form (no stale date) loses its
    /// entry instead.
    void addPinger(const ACTPinger& pinger);
    /// Removes the pinger's entry and persists.
    void removePinger(const ACTPinger& pinger);
    /// Writes the whole store to the standard defaults at once.
    void persistStore();
    /// One restored pinger per entry, in the order of their request strings.
    std::vector<std::shared_ptr<ACTPinger>> allPingers() const;

    /// The entries held.
    const platform::foundation::DictionaryRef& transientStore() const { return m_transientStore; }

private:
    platform::foundation::DictionaryRef m_transientStore;
};

}
