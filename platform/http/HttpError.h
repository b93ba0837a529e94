#pragma once

#include "platform/foundation/Value.h"

#include <string>

namespace platform::http {

/// Why a request failed. Every failure carries one of these, the HTTP status
/// (0 when no response arrived) and, for an answer that did arrive, its body.
class HttpError {
public:
    enum class Code {
        /// The server could not be reached: refused, unresolvable, reset or dropped.
        CannotConnect,
        /// The connect or total time-out ran out.
        TimedOut,
        /// The TLS handshake failed, or the peer's certificate was not trusted.
        SecureConnectionFailed,
        /// The server answered with a status outside 200-299.
        BadStatus,
        /// A 2xx answer whose body is not JSON.
        CannotParseResponse,
        /// The answer was larger than the session accepts; the transfer was ended.
        ResponseTooLarge,
        /// Any other transfer failure.
        Other,
    };

    /// An error of kind Other with no message.
    HttpError() = default;
    /// An error of kind `code`; `body` and `bodyObject` describe the answer, if any.
    HttpError(Code code, std::string message, int statusCode = 0, std::string body = {},
        foundation::Value bodyObject = {})
        : m_code(code)
        , m_message(std::move(message))
        , m_statusCode(statusCode)
        , m_body(std::move(body))
        , m_bodyObject(std::move(bodyObject))
    {
    }

    /// The kind of failure.
    Code code() const { return m_code; }
    /// A readable description, such as "Request failed: not found (404)".
    const std::string& message() const { return m_message; }
    /// The HTTP status of the answer, or 0 when no answer arrived.
    int statusCode() const { return m_statusCode; }
    /// The answer's raw body (empty when no answer arrived).
    const std::string& body() const { return m_body; }
    /// The answer's body parsed as JSON, or null when it was empty or not JSON.
    const foundation::Value& bodyObject() const { return m_bodyObject; }

private:
    Code m_code { Code::Other };
    std::string m_message;
    int m_statusCode { 0 };
    std::string m_body;
    foundation::Value m_bodyObject;
};

}
