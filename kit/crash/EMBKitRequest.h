#pragma once

#include "platform/http/UrlRequest.h"

#include <string>

namespace kit {

/// A GET of `url` to the crash kit's service that ignores cached answers, with `timeout` (seconds) and the
/// crash kit's headers in this order: "User-Agent" ("Ember iOS SDK/3.7.0"), "Accept" ("application/json"),
/// "Accept-Charset" ("utf-8"), "Accept-Language" and "Content-Language" (the locale),
/// "X-Ember-Developer-Token", "X-Ember-API-Client-Id", "X-Ember-API-Client-Display-Version",
/// "X-Ember-API-Client-Build-Version" (the kit's identifier and versions) and "X-Ember-API-Key".
platform::http::UrlRequest EMBKitRequest(std::string url, double timeout, const std::string& APIKey);

}
