#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/Dictionary.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::outside {

class Pulse;

/// One message Pulse would have sent: an event, or a change to the identified person's profile.
struct PulseRecord {
    enum class Kind { Track, PeopleSet };

    Kind kind { Kind::Track };
    /// The project token.
    std::string token;
    /// The identity the message is attributed to.
    std::string distinctId;
    /// The event's name (empty for a profile change).
    std::string event;
    /// An event's properties as sent (the super properties, then the event's own over them), or the
    /// profile properties set.
    platform::foundation::DictionaryRef properties;
    /// When the message was made, on the main queue's clock.
    platform::foundation::Date time;
};

/// The profile of the person Pulse's events are attributed to.
class PulsePeople {
public:
    /// Sets `properties` on the profile of the current identity.
    void set(const platform::foundation::DictionaryRef& properties);

private:
    friend class Pulse;
    explicit PulsePeople(Pulse& pulse)
        : m_pulse(pulse)
    {
    }

    Pulse& m_pulse;
};

/// The stand-in for the Pulse analytics service: it sends nothing, but records every message it would
/// have sent, in memory (records()) and, when a record file is set, as one JSON object per line, such as
///     {"distinct_id":"E621...","event":"Opened App","kind":"track","properties":{"User ID":"E621..."},
///      "time":1421236800.0,"token":"3f9a..."}
/// so that a test or a person can see them. Thread-safe.
class Pulse {
public:
    /// Makes the shared instance for the project `token` and returns it; the instance already made for
    /// the same token is returned as it is.
    static std::shared_ptr<Pulse> sharedInstanceWithToken(const std::string& token);
    /// The shared instance, or null before sharedInstanceWithToken().
    static std::shared_ptr<Pulse> sharedInstance();
    /// Drops the shared instance: for tests.
    static void resetSharedInstance();

    /// Sets the file every instance appends its records to, as JSON lines; an empty path records in
    /// memory only (the default).
    static void setRecordFile(std::filesystem::path path);
    /// The file records are appended to, or an empty path.
    static std::filesystem::path recordFile();

    /// An instance for `token` with a new anonymous identity. Code uses the shared instance.
    explicit Pulse(std::string token);
    Pulse(const Pulse&) = delete;
    Pulse& operator=(const Pulse&) = delete;

    /// The project token.
    const std::string& token() const { return m_token; }
    /// The identity events are attributed to: anonymous (a random UUID) until identify().
    std::string distinctId() const;
    /// Adds `properties` to those sent with every later event (replacing earlier values of the same keys).
    void registerSuperProperties(const platform::foundation::DictionaryRef& properties);
    /// A copy of the super properties.
    platform::foundation::DictionaryRef superProperties() const;
    /// Attributes later events and profile changes to `distinctId`.
    void identify(const std::string& distinctId);
    /// Records the event `event` with the super properties and `properties` (which may be null).
    void track(const std::string& event, const platform::foundation::DictionaryRef& properties = nullptr);
    /// The profile interface.
    PulsePeople& people() { return m_people; }

    /// Copies of the messages recorded so far, oldest first.
    std::vector<PulseRecord> records() const;

private:
    friend class PulsePeople;

    void record(PulseRecord::Kind kind, std::string event, platform::foundation::DictionaryRef properties);

    const std::string m_token;
    PulsePeople m_people { *this };
    mutable std::mutex m_mutex;
    std::string m_distinctId;
    platform::foundation::DictionaryRef m_superProperties;
    std::vector<PulseRecord> m_records;
};

}
