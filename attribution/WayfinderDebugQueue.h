#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace attribution {

/// The tracker's log of its actions in diagnostic mode: one entry per request, with its outcome. Each entry
/// is a dictionary of "name", "time" (the time of day it was logged, "HH:mm:ss"), "data", "id" (1 for the
/// first entry, one more for each next) and, once the outcome is known, "status" ("error" or "success") with
/// "error" (the error's description) or "roundTrip" (the seconds from "time" to the outcome). Thread-safe.
class WayfinderDebugQueue {
public:
    /// The one log of the process.
    static WayfinderDebugQueue& sharedManager();

    /// Appends an entry named `name` holding `data`; returns its id.
    std::int32_t logWithName(const std::string& name, const platform::foundation::Value& data);
    /// Marks the entry `id` failed with `error`; an unknown id changes nothing.
    void updateAction(std::int32_t id, const platform::foundation::Error& error);
    /// Marks the entry `id` succeeded; an unknown id changes nothing.
    void updateActionSuccess(std::int32_t id);
    /// The entries with the app's version, name and platform as compact JSON, percent-encoded for a URL's
    /// host part (and logged in the tracker's debug mode); the entries are then removed.
    std::string getJSONAndClear();

    /// The entries (a copy).
    platform::foundation::ArrayRef actions() const;
    void setActions(const platform::foundation::ArrayRef& actions);

private:
    WayfinderDebugQueue();

    // The entry whose "id" is `id`, or null.
    platform::foundation::DictionaryRef entry(std::int32_t id) const;

    mutable std::mutex m_mutex;
    std::int32_t m_counter { 0 };
    platform::foundation::ArrayRef m_actions;
};

}
