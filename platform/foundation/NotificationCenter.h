#pragma once

#include "platform/foundation/Dictionary.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::foundation {

/// One posted notification. `object` is the sender's identity: an address
/// compared with the sender an observer asked for, never dereferenced (null
/// when the poster named no sender). `userInfo` may be null.
struct Notification {
    std::string name;
    const void* object { nullptr };
    DictionaryRef userInfo;
};

/// Keeps a registration alive: the registration ends when the last copy of
/// the token goes away (or on removeObserver()).
using ObserverToken = std::shared_ptr<void>;

/// Broadcasts named notifications to the observers registered for them.
///
/// Observers are held weakly: either an object of the observer's own (its
/// registrations lapse when it goes away, and it is kept alive while its
/// callback runs, so a callback may safely capture `this` of that object), or
/// a token handed back by the registration. Callbacks run on the posting
/// thread, in registration order. A callback may post, add and remove
/// observers: a registration removed during a delivery gets nothing more from
/// it, and one added during a delivery hears only later posts.
class NotificationCenter {
public:
    using Received = std::function<void(const Notification& notification)>;

    /// The process's shared centre.
    static NotificationCenter& defaultCenter();

    /// Calls `received` for each post named `name`, from `sender` only, or
    /// from any sender when `sender` is null, while `observer` lives.
    void addObserver(
        const std::weak_ptr<void>& observer, const std::string& name, const void* sender, Received received);

    /// As above, with no observer object: the registration lasts while the
    /// returned token lives.
    [[nodiscard]] ObserverToken addObserver(const std::string& name, const void* sender, Received received);

    /// Ends every registration of `observer` (an observer object's address or a token).
    void removeObserver(const void* observer);

    /// Ends the registrations of `observer` for notifications named `name`.
    void removeObserver(const void* observer, const std::string& name);

    /// Delivers a notification to every live observer registered for `name`
    /// and for `object` (or for any sender).
    void post(const std::string& name, const void* object = nullptr, DictionaryRef userInfo = nullptr);

private:
    struct Registration;

    std::mutex m_mutex;
    std::vector<std::shared_ptr<Registration>> m_registrations;
};

}
