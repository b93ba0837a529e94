#pragma once

#include "platform/http/Task.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace kit {

/// The settings an EMBURLSession is made with. Only the additional headers reach the requests; the cookie
/// policy is kept for callers that read it back. A session copies its configuration at creation.
class EMBURLSessionConfiguration {
public:
    /// A new, empty configuration.
    static std::shared_ptr<EMBURLSessionConfiguration> defaultSessionConfiguration();
    /// The same as defaultSessionConfiguration(): nothing is cached on disk either way.
    static std::shared_ptr<EMBURLSessionConfiguration> ephemeralSessionConfiguration();
    /// Null: this platform has no sessions that go on in the background. Callers fall back to
    /// defaultSessionConfiguration().
    static std::shared_ptr<EMBURLSessionConfiguration> backgroundSessionConfigurationWithIdentifier(
        std::string_view identifier);

    /// Headers added to every request of the session, in this order, after the request's own (a header the
    /// request has already is sent with both values).
    const platform::http::Task::Headers& HTTPAdditionalHeaders() const { return m_HTTPAdditionalHeaders; }
    void setHTTPAdditionalHeaders(platform::http::Task::Headers headers);

    std::uint64_t HTTPCookieAcceptPolicy() const { return m_HTTPCookieAcceptPolicy; }
    void setHTTPCookieAcceptPolicy(std::uint64_t policy) { m_HTTPCookieAcceptPolicy = policy; }

    /// Always false: no session wakes the app.
    bool sessionSendsLaunchEvents() const { return false; }

    /// A new configuration with the same additional headers only.
    std::shared_ptr<EMBURLSessionConfiguration> copy() const;

private:
    platform::http::Task::Headers m_HTTPAdditionalHeaders;
    std::uint64_t m_HTTPCookieAcceptPolicy { 0 };
};

}
