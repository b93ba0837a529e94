#pragma once

#include "conversion/ACTPingerDelegate.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/Value.h"
#include "platform/http/UrlLoading.h"
#include "platform/http/UrlRequest.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform::http {
class UrlConnection;
}

namespace conversion {

/// Sends one ping (a GET request) and sees it through: until it succeeds or is given up it is kept in the
/// shared application's ping store, so that a later run sends it again, and each failure puts it in the
/// retry queue while it has retries left and is not stale. The first attempt goes out as given; every
/// later one, and the stored form, carry the retry marker "retry=1". Use on the main thread.
///
/// An attempt in flight keeps the pinger (and its delegate) alive: the connection's callbacks hold it.
class ACTPinger : public std::enable_shared_from_this<ACTPinger> {
public:
    /// Retries a new pinger may make.
    static constexpr std::uint64_t kRetryCount { 200 };
    /// Seconds after its creation when a new pinger goes stale (14 days).
    static constexpr double kStaleInterval { 1209600 };
    /// The domain of the error for an answer of status 400 or above (the status is its code).
    static constexpr const char* kErrorDomain { "com.marquee.ibasdk" };
    /// The stored form's keys.
    static constexpr const char* kRetryCountKey { "marquee_ping_rc" };
    static constexpr const char* kStaleDateKey { "marquee_ping_stalets" };

    /// A new pinger for `request`, with kRetryCount retries, stale kStaleInterval from now.
    static std::shared_ptr<ACTPinger> make(platform::http::UrlRequest request);

    /// A pinger restored from its stored form: a plain GET of `requestString`, its retry count and stale
    /// date read from `retryParameters` when given (an absent or unreadable count reads as 0, an absent
    /// stale date as none), else kRetryCount and kStaleInterval from now; already marked for retry.
    /// nullptr for no request string.
    static std::shared_ptr<ACTPinger> pingerWithRequestString(const std::optional<std::string>& requestString,
        const platform::foundation::DictionaryRef& retryParameters);

    /// Made by make() and pingerWithRequestString() only (public for std::make_shared).
    ACTPinger(platform::http::UrlRequest request, std::uint64_t remainingRetryCount,
        std::optional<platform::foundation::Date> staleDate, bool modifiedForRetry);
    /// Clears the delegate and cancels an attempt in flight.
    ~ACTPinger();
    ACTPinger(const ACTPinger&) = delete;
    ACTPinger& operator=(const ACTPinger&) = delete;

    /// Starts an attempt, unless one is in flight: connects, marks the request for retry (once), stores
    /// the pinger, and handles a failure at once when no connection could be made.
    void ping();

    /// True while retries are left and the stale date lies ahead.
    bool shouldRetry() const;

    /// Appends "&retry=1" to the request's URL ("?retry=1" when it has no query), once per pinger; the
    /// new request is a plain GET.
    void appendRetryParameter();

    /// A failed attempt: queued for retry with one retry fewer when shouldRetry(), else given up (logged,
    /// removed from the store, the delegate told and let go).
    void handleFailureWithError(const std::optional<platform::foundation::Error>& error);

    /// The attempt's steps, as its connection tells them.
    void connectionDidReceiveResponse(const platform::http::HttpResponse& response);
    void connectionDidReceiveData(const std::string& data);
    /// The answer is complete: 200 is a success (removed from the store, the delegate told and let go); 400
    /// and above a failure, handled as a transport failure is (the delegate stays while the ping is retried);
    /// any other status leaves the ping in the store for the next run and lets the delegate go untold.
    void connectionDidFinishLoading();
    /// A transport failure: handled as a failure; the delegate stays to hear of a later success.
    void connectionDidFailWithError(const platform::foundation::Error& error);

    /// The key of the stored form: the request URL.
    std::string requestString() const { return m_request.url; }
    /// The stored form: {kRetryCountKey: count, kStaleDateKey: stale date}; null without a stale date.
    platform::foundation::DictionaryRef parameters() const;

    /// Pingers are equal when their requests are (method and URL).
    bool isEqual(const ACTPinger& other) const;

    const platform::http::UrlRequest& request() const { return m_request; }
    bool modifiedForRetry() const { return m_modifiedForRetry; }
    std::uint64_t remainingRetryCount() const { return m_remainingRetryCount; }
    void setRemainingRetryCount(std::uint64_t count) { m_remainingRetryCount = count; }
    std::optional<platform::foundation::Date> staleDate() const { return m_staleDate; }
    void setStaleDate(std::optional<platform::foundation::Date> date) { m_staleDate = date; }
    /// Held strongly until the ping ends, so that a reporter dropped by its caller still hears the outcome.
    const std::shared_ptr<ACTPingerDelegate>& delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<ACTPingerDelegate> delegate) { m_delegate = std::move(delegate); }
    /// True while an attempt is in flight.
    bool isConnected() const { return m_connection != nullptr; }

private:
    /// Replaces the attempt in flight, cancelling the one it replaces.
    void setConnection(std::shared_ptr<platform::http::UrlConnection> connection);

    bool m_modifiedForRetry { false };
    std::shared_ptr<ACTPingerDelegate> m_delegate;
    platform::http::UrlRequest m_request;
    std::shared_ptr<platform::http::UrlConnection> m_connection;
    std::optional<platform::http::HttpResponse> m_response;
    std::string m_receivedData;
    std::uint64_t m_remainingRetryCount { kRetryCount };
    std::optional<platform::foundation::Date> m_staleDate;
};

}
