#pragma once

#include "ZorvikAPI/repositories/Outcome.h"
#include "platform/foundation/Value.h"

namespace zorvik::api {

/// A way of turning credentials into an access token that every later request carries.
class Authentication {
public:
    virtual ~Authentication() = default;

    /// Sends `credentials` ({"email", "password"}). On success the answer's token goes with every later
    /// request and authenticated gets the answer; wrong credentials call failed; anything else is an error.
    virtual void authenticate(const platform::foundation::DictionaryRef& credentials,
        RecordBlock authenticated, Block failed, ErrorBlock error)
        = 0;

    /// Forgets the access token: later requests go without it.
    virtual void logOut() = 0;
};

}
