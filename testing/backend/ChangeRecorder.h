#pragma once

#include "platform/foundation/Observation.h"

#include <string>
#include <vector>

namespace testing {

/// An observer that writes each change it hears into a list of events, as "setting", "insertion 0" or
/// "removal 0 2" (the kind, then the indexes), so that a test can check the kinds and indexes in the order
/// they came, among the outcomes it writes into the same list.
class ChangeRecorder : public platform::foundation::Observer {
public:
    /// A recorder writing into `events`, which must outlive it.
    explicit ChangeRecorder(std::vector<std::string>& events);

    /// Writes the change into the events.
    void observeValue(platform::foundation::Dictionary& object, const std::string& key,
        const platform::foundation::Change& change) override;

    /// The change as written into the events.
    static std::string describe(const platform::foundation::Change& change);

private:
    std::vector<std::string>& m_events;
};

}
