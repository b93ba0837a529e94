#pragma once

#include "platform/foundation/Error.h"

#include <optional>

namespace conversion {

class ACTPinger;

/// Hears how a ping ended: once, on the main queue.
class ACTPingerDelegate {
public:
    virtual ~ACTPingerDelegate() = default;
    /// The service answered 200.
    virtual void pingDidSucceed(ACTPinger& pinger) = 0;
    /// The ping was given up: its retries are used up or it went stale. `error` is the last failure's,
    /// nullopt when no connection could be made.
    virtual void pingDidFail(ACTPinger& pinger, const std::optional<platform::foundation::Error>& error) = 0;
};

}
