#pragma once

#include "testing/backend/BackendReply.h"
#include "testing/server/ServerRequest.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing {

/// One ping as the conversion-tracking or the activity service received it.
struct ConversionPing {
    enum class Service { Conversion, Activity };

    Service service { Service::Conversion };
    /// The conversion ID the path names, percent-decoded ("" for a purchase or activity ping).
    std::string conversionID;
    /// The parameters in the order sent, percent-decoded: a conversion ping's query; an activity ping's
    /// ";"-separated pairs, then its query ("retry=1").
    ServerRequest::Pairs parameters;
    /// The request target as sent.
    std::string target;

    /// The first value of the parameter `name`, or nullopt.
    std::optional<std::string> parameter(std::string_view name) const;
    /// The parameter names in the order sent.
    std::vector<std::string> names() const;

    /// The ping a request of either service's route carries, or nullopt for any other request: a test
    /// reads every attempt this way, failed ones included (Backend::requests()).
    static std::optional<ConversionPing> parse(const ServerRequest& request);
};

/// The conversion-tracking and activity services of the local back-end, which take the ad conversion
/// tracker's pings (one GET each, every datum in the URL):
///
///   GET /pagead/conversion/{conversion ID}/?k=v&k=v...   a conversion, remarketing or usage ping
///   GET /pagead/conversion/?k=v&k=v...                   a purchase ping
///   GET /adactivity/activity;k=v;k=v...                  an activity ping (the service's root is
///                                                        "/adactivity", its pings' prefix "activity;")
///
/// Each answers 200 with an empty body and keeps the ping, in arrival order; a GET under those roots of
/// any other shape answers 400. A test makes the services fail with the back-end's hooks
/// (Backend::failRoute("GET", "/pagead/conversion/*", 500), dropRoute, answerRoute for another status):
/// a ping so answered is not kept here. Thread-safe.
class ConversionPingStore {
public:
    /// The conversion-tracking service's path, which the tracker's conversion base ends in.
    static constexpr const char* kConversionPath { "/pagead/conversion" };
    /// The activity service's root; the tracker's activity base is this root followed by "/activity;".
    static constexpr const char* kActivityRoot { "/adactivity" };

    using Handler = std::function<BackendReply(const ServerRequest& request)>;
    using AddRoute = std::function<void(std::string_view method, std::string_view pattern, Handler handler)>;

    /// Adds both services' routes through `addRoute`.
    void addRoutes(const AddRoute& addRoute);

    /// Either route (see the class comment).
    BackendReply storePing(const ServerRequest& request);

    /// The pings kept so far, oldest first.
    std::vector<ConversionPing> pings() const;

private:
    mutable std::mutex m_mutex;
    std::vector<ConversionPing> m_pings;
};

}
