#pragma once

#include <httplib.h>

namespace testing {

// The server library reads a multipart body into its own list of parts and leaves the request's body
// empty, and refuses one that opens with a preamble. A test server reads what the client sent, byte for
// byte, so it masks such a body's type before the body is read and unmasks it when it takes the request.

/// Makes `server` read every body as it is, whatever its type. Call before it serves.
void keepRawBodies(httplib::Server& server);

/// Restores the "Content-Type" that keepRawBodies() masked in `headers`.
void unmaskContentType(httplib::Headers& headers);

}
