#pragma once

#include "ZorvikAPI/repositories/Outcome.h"
#include "platform/foundation/Value.h"

#include <functional>

namespace zorvik::api {

/// A way of turning credentials into an access token that every later request carries.
class Authentication {
public:
    virtual ~Authentication() = default;

    /// Whether a log-in answer holds what the caller needs to sign in with.
    using AnswerCheck = std::function<bool(const platform::foundation::DictionaryRef& answer)>;

    /// Sends `credentials` ({"email", "password"}). On success the answer's token goes with every later
    /// request and authenticated gets the answer; wrong credentials call failed; anything else is an error.
    /// An answer that `accepts` (when given) refuses is an error too, checked before anything changes: the
    /// token in use stays.
    virtual void authenticate(const platform::foundation::DictionaryRef& credentials,
        RecordBlock authenticated, Block failed, ErrorBlock error, AnswerCheck accepts = {})
        = 0;

    /// Forgets the access token: later requests go without it.
    virtual void logOut() = 0;
};

}
