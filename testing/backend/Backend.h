#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/Value.h"
#include "testing/backend/AnalyticsUploadStore.h"
#include "testing/backend/BackendState.h"
#include "testing/backend/ConversionPingStore.h"
#include "testing/backend/CrashReportStore.h"
#include "testing/backend/KitService.h"
#include "testing/server/Gate.h"
#include "testing/server/LoopbackServer.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing {

/// The local back-end that every test and the app's demo run against: the
/// REST service, the company search, the photo storage and the remote
/// configuration, in memory, on one loopback server (127.0.0.1, a port the
/// system picks). Serves from construction until destruction.
///
/// All four services share the one root, baseUrl(): the app's API base URL,
/// its company-search root, its configuration URL and its photo-storage base
/// are all baseUrl() (the configuration is at "/").
///
/// REST service (JSON bodies; errors answer {"error": {"statusCode", "name",
/// "message"}}; identifiers are integers from one counter shared by every
/// kind of record):
///   POST   /api/freelancers                 {"email","password"} -> {"id","email"}; 422 taken
///   POST   /api/freelancers/login           {"email","password"} -> {"id": token, "ttl",
///                                           "created", "userId"}; 401 wrong
///   GET    /api/freelancers/{f}             the freelancer
///   POST   /api/freelancers/{f}/business    create; 422 when there is one
///   GET    /api/freelancers/{f}/business[/{b}]             404 when none
///   PUT    /api/freelancers/{f}/business[/{b}]             merge the body, answer the whole
///   POST   .../business/{b}/vat-registration | bank-account   create (no body: an empty
///                                           record); 422 when there is one
///   GET    .../business/{b}/vat-registration | bank-account[/{id}]   404 when none
///   PUT    .../business/{b}/vat-registration | bank-account[/{id}]   merge, answer the whole
///   POST   .../business/{b}/invoices        adds "id", "sent", "folders", "is_deleted"
///   GET    .../business/{b}/invoices        newest first; filter[where][key]=value narrows
///   GET    .../business/{b}/invoices/{i}    a live invoice
///   PUT    .../business/{b}/invoices/{i}    merge, answer the whole invoice
///   DELETE .../business/{b}/invoices/{i}    mark deleted, answer {"count": 1}
/// Every /api/freelancers/{f}... route needs the header "Authorization" with a
/// token that log-in gave to freelancer {f} (401 otherwise). A malformed JSON
/// body, or one missing a required field, is a 400: 422 means only "already
/// exists". See BackendState for each route's rules.
///
/// Company search: GET /companies?search_term=T answers a JSON array of hits
/// with the keys "companyName", "registrationNumber", "addressLine1",
/// "addressLine2", "postTown", "county", "postCode", "country" ("" where the
/// register knows nothing); no token needed.
///
/// Photo storage (wire format of our own):
///   POST /qz-image-uploads          body: the image bytes, Content-Type: their
///                                   type -> {"key": key} (a new random key)
///   PUT  /qz-image-uploads/{key}    the same, stored under the caller's key
///                                   ([A-Za-z0-9._-], at most 128 characters)
///   GET  /qz-image-uploads/{key}    the bytes with their type; 404 unknown
/// Empty uploads answer 400, uploads above 10 MiB 413. No token needed.
///
/// Remote configuration: GET / answers the configuration document, by default
///   {"versions": {"accepted": ["1000"]}, "redirectUrl": "<baseUrl>/upgrade",
///    "credentials": {}}
/// and GET /upgrade a small HTML page asking the user to update the app.
///
/// Kit service: the kit platform's settings and app registration under
/// "/spi/", needing a kit API key (see KitService), and the crash report and
/// analytics uploads under "/sdk-api/" (see CrashReportStore and
/// AnalyticsUploadStore).
///
/// Ad conversion and activity services: under "/pagead/conversion/" and "/adactivity/" (see
/// ConversionPingStore).
class Backend {
public:
    /// Starts the back-end on an ephemeral port.
    Backend();
    /// Starts the back-end on an ephemeral port, serving HTTPS with `identity`.
    explicit Backend(const LoopbackServer::TlsIdentity& identity);
    ~Backend();
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;

    /// The port served.
    int port() const;
    /// "http://127.0.0.1:<port>", the root of every service.
    std::string baseUrl() const;
    /// baseUrl() followed by `path`.
    std::string url(std::string_view path) const;

    /// Answers the next `times` requests (or all, when nullopt) whose method and
    /// path match with `status` and an error body instead of the route's answer.
    /// `pattern` is a path whose segments may be ":name" (one segment) or a final
    /// "*" (the rest); `method` "*" matches every method. Later hooks win.
    void failRoute(std::string_view method, std::string_view pattern, int status,
        std::optional<std::size_t> times = std::nullopt);
    /// Answers matching requests with `response` instead of the route's answer (the same rules as failRoute).
    void answerRoute(std::string_view method, std::string_view pattern, ServerResponse response,
        std::optional<std::size_t> times = std::nullopt);
    /// Closes the connection of matching requests without an answer.
    void dropRoute(
        std::string_view method, std::string_view pattern, std::optional<std::size_t> times = std::nullopt);
    /// Sends the route's own answer to matching requests `seconds` late.
    void delayRoute(std::string_view method, std::string_view pattern, double seconds,
        std::optional<std::size_t> times = std::nullopt);
    /// Holds every answer to matching requests (scripted ones too) until `gate` opens: a test keeps a
    /// request under way for as long as it looks at the screen, where a delay may run out first on a busy
    /// machine.
    void holdRoute(std::string_view method, std::string_view pattern, const Gate& gate);
    /// Forgets every failure, drop, delay and hold hook (an answer already held waits for its gate).
    void clearHooks();

    /// Replaces the configuration document (see the class comment for its form).
    void setConfiguration(const platform::foundation::Value& document);
    /// Sets the versions the configuration accepts, keeping the rest of it.
    void setAcceptedVersions(const std::vector<std::string>& versions);
    /// The default configuration document for this server.
    platform::foundation::Value defaultConfiguration() const;
    /// Replaces the companies the search looks through (an array of hits).
    void setCompanies(const platform::foundation::Value& companies);
    /// Replaces the clock of every date the back-end writes ("sent", folder
    /// dates, token dates); the system clock by default.
    void setClock(BackendState::Clock clock);

    /// Sets a stored invoice's "sent" (e.g. 29 days back for a due invoice).
    /// Returns false when there is no such invoice.
    bool setInvoiceSent(std::int64_t invoiceId, platform::foundation::Date date);
    /// The stored state, as deep copies (see BackendState for the shapes).
    platform::foundation::ArrayRef freelancers() const;
    platform::foundation::ArrayRef businesses() const;
    platform::foundation::ArrayRef invoices() const;

    /// Every request received so far, oldest first.
    std::vector<ServerRequest> requests() const;
    /// The latest request received, or nullopt.
    std::optional<ServerRequest> lastRequest() const;
    /// Forgets the requests received so far.
    void clearRequests();
    /// Tells `observer` of each answer as it goes out (on the server's threads): the request and the
    /// status, 0 for a dropped connection.
    void setAnswerObserver(LoopbackServer::AnswerObserver observer);
    /// Waits (in real time) until `count` requests have been received in all.
    bool waitForRequests(
        std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;

    /// The data and route logic behind the routes.
    BackendState& state() { return m_state; }
    /// The kit service's data: its settings document and app records.
    KitService& kit() { return m_kit; }
    /// The crash reports the kit service received.
    CrashReportStore& crashReports() { return m_crashReports; }
    /// The analytics event logs the kit service received.
    AnalyticsUploadStore& analyticsUploads() { return m_analyticsUploads; }
    /// The pings the conversion-tracking and activity services received.
    ConversionPingStore& conversionPings() { return m_conversionPings; }

private:
    struct Delay {
        std::string method;
        std::string pattern;
        double seconds { 0 };
        std::optional<std::size_t> remaining;
    };
    struct Hold {
        std::string method;
        std::string pattern;
        std::function<void()> wait;
    };

    using RouteHandler = std::function<BackendReply(const ServerRequest& request)>;
    // Handlers of /api/freelancers/:freelancer... routes get the caller's token and the URL's
    // identifiers (":freelancer", ":business", ":item"); a malformed identifier answers 404.
    using PathHandler
        = std::function<BackendReply(const ServerRequest& request, const BackendState::Path& path)>;

    // What both constructors do once the server is made: the configuration, the routes, the hooks' observer.
    void setUp();
    void addRoutes();
    // Holds an answer about to go out at the gates of the hooks it matches, then tells the observer.
    void answered(const ServerRequest& request, int status);
    void addRoute(std::string_view method, std::string_view pattern, RouteHandler handler);
    void addPathRoute(std::string_view method, std::string_view pattern, PathHandler handler);
    // The delay for a request, using up one of a counted hook's turns.
    double takeDelay(const ServerRequest& request);
    ServerResponse answer(const ServerRequest& request, const BackendReply& reply);

    BackendState m_state;
    KitService m_kit;
    CrashReportStore m_crashReports;
    AnalyticsUploadStore m_analyticsUploads;
    ConversionPingStore m_conversionPings;
    std::mutex m_hookMutex;
    std::vector<Delay> m_delays;
    std::vector<Hold> m_holds;
    LoopbackServer::AnswerObserver m_answerObserver;
    // Last, so that the server stops before the state its routes use goes away.
    LoopbackServer m_server;
};

}
