#pragma once

#include <string>

namespace kit {

/// A kit the platform starts: it names itself and starts when the platform asks.
class Kit {
public:
    virtual ~Kit() = default;

    /// The kit's class name, as the platform's log lines and configuration name it ("Ember").
    virtual std::string kitName() const = 0;
    /// The kit's bundle identifier.
    virtual std::string bundleIdentifier() const = 0;
    /// The kit's version as shown to people.
    virtual std::string kitDisplayVersion() const = 0;
    /// Starts the kit unless it has started already; the platform calls it once, in start order.
    virtual void initializeIfNeeded() { }
};

}
