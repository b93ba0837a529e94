#pragma once

#include <string>

namespace kit {

/// Makes the identifiers of session fragments and events: each a new UUID as the platform writes it.
/// A test may put a generator of its own in its place.
class EMBAnalyticsIdentifierGenerator {
public:
    virtual ~EMBAnalyticsIdentifierGenerator() = default;

    /// A new session fragment identifier.
    virtual std::string generateSessionFragmentIdentifier();
    /// A new event identifier.
    virtual std::string generateEventIdentifier();
};

}
