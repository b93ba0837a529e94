#pragma once

#include "platform/foundation/Value.h"

#include <string>
#include <string_view>

namespace testing {

/// What one back-end route answers: a status and either a JSON value or raw
/// bytes with their content type. Route logic returns these as plain data so
/// that it can be reasoned about apart from the HTTP server.
struct BackendReply {
    int status { 200 };
    /// The JSON answer (used when `contentType` is empty).
    platform::foundation::Value json;
    /// A raw answer with its content type (photos, the upgrade page).
    std::string raw;
    std::string contentType;

    /// A 200 answer carrying `value` as JSON.
    static BackendReply ok(platform::foundation::Value value);
    /// A raw answer of `body` with `contentType`.
    static BackendReply bytes(std::string body, std::string contentType);
    /// An error answer in the back-end's error shape:
    /// {"error": {"statusCode": status, "name": name, "message": message}}.
    static BackendReply error(int status, std::string_view name, std::string_view message);
};

}
