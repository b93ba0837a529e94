#pragma once

#include <string>

namespace platform::http {

/// The platform's readable text for an HTTP status code, lower-case as the phone gives it ("not found",
/// "internal server error"); a code it has no text of its own for gets its class's ("client error",
/// "server error", "success", "redirected", "informational"), and one outside 100-599 "server error".
std::string localizedStringForStatusCode(int statusCode);

}
