#pragma once

#include "platform/foundation/Value.h"

#include <string>
#include <utility>
#include <vector>

namespace testing {

/// The answer the loopback server gives to one request.
struct ServerResponse {
    int status { 200 };
    /// Extra headers; Content-Type comes from `contentType`.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::string contentType { "application/json" };
    /// Seconds to wait before answering (cut short when the server stops).
    double delay { 0 };
    /// Close the connection without answering.
    bool drop { false };

    /// `status` with `value` written as the JSON body.
    static ServerResponse json(int status, const platform::foundation::Value& value);
    /// `status` with `body` sent as it is, of type `contentType`.
    static ServerResponse text(int status, std::string body, std::string contentType = "text/plain");
    /// `status` with an empty body.
    static ServerResponse empty(int status);
    /// No answer: the connection is closed as soon as the request is read. A
    /// client that had sent on a connection kept open from an earlier request
    /// may send again on a new one and get the next answer (the session layer
    /// does so for every method but POST and PATCH), so script two drops to
    /// make sure such a request fails.
    static ServerResponse dropped();

    /// This answer sent after `seconds`, or as soon as the server stops: a long delay holds it for as long
    /// as the test runs.
    ServerResponse delayed(double seconds) const;
};

}
