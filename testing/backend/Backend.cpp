#include "testing/backend/Backend.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "testing/backend/AttributionService.h"
#include "testing/backend/Text.h"

#include <algorithm>
#include <charconv>

namespace testing {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Date;
using platform::foundation::Dictionary;
using platform::foundation::Value;

namespace {

constexpr std::string_view kFreelancer { "/api/freelancers/:freelancer" };
constexpr std::string_view kBusiness { "/api/freelancers/:freelancer/business/:business" };
constexpr std::size_t kMaximumKeyLength { 128 };

constexpr std::string_view kUpgradePage { "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                                          "<title>Update Zorvik</title></head>\n<body><h1>Update Zorvik</h1>"
                                          "<p>This version of Zorvik is no longer supported. Please install "
                                          "the latest version to carry on.</p></body></html>\n" };

std::string joined(std::string_view first, std::string_view second)
{
    return std::string(first) + std::string(second);
}

// A whole decimal identifier, or nullopt.
std::optional<std::int64_t> identifier(std::string_view text)
{
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

bool validPhotoKey(std::string_view key)
{
    return !key.empty() && key.size() <= kMaximumKeyLength && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.'
            || c == '_' || c == '-';
    });
}

// The segments between slashes, empty ones included ("/" is one empty segment).
std::vector<std::string_view> segments(std::string_view path)
{
    std::vector<std::string_view> parts;
    std::size_t start = path.starts_with("/") ? 1 : 0;
    while (start <= path.size()) {
        auto end = std::min(path.find('/', start), path.size());
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The loopback server's rule for its scripts: ":name" is any one segment, a final "*" the
// rest (possibly nothing), the method "*" any method and "GET" also HEAD.
bool hookMatches(std::string_view method, std::string_view pattern, const ServerRequest& request)
{
    if (method != "*" && method != request.method && !(method == "GET" && request.method == "HEAD"))
        return false;
    auto wanted = segments(pattern);
    bool rest = !wanted.empty() && wanted.back() == "*";
    if (rest)
        wanted.pop_back();
    auto given = segments(request.path);
    if (rest ? given.size() < wanted.size() : given.size() != wanted.size())
        return false;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (!wanted[i].starts_with(':') && wanted[i] != given[i])
            return false;
    }
    return true;
}

}

Backend::Backend()
{
    setUp();
}

Backend::Backend(const LoopbackServer::TlsIdentity& identity)
    : m_server(identity)
{
    setUp();
}

void Backend::setUp()
{
    m_state.setConfiguration(defaultConfiguration());
    m_kit.setBaseUrl(baseUrl());
    addRoutes();
    m_server.setAnswerObserver(
        [this](const ServerRequest& request, int status) { answered(request, status); });
}

Backend::~Backend()
{
    m_server.stop();
}

int Backend::port() const
{
    return m_server.port();
}

std::string Backend::baseUrl() const
{
    return m_server.baseUrl();
}

std::string Backend::url(std::string_view path) const
{
    return m_server.url(path);
}

Value Backend::defaultConfiguration() const
{
    auto document = BackendState::defaultConfiguration();
    document.dictionary()->set("redirectUrl", url("/upgrade"));
    return document;
}

void Backend::failRoute(
    std::string_view method, std::string_view pattern, int status, std::optional<std::size_t> times)
{
    auto reply = BackendReply::error(status, "InjectedFailure", "Failure injected by the test");
    m_server.script(method, pattern, ServerResponse::json(status, reply.json), times);
}

void Backend::answerRoute(std::string_view method, std::string_view pattern, ServerResponse response,
    std::optional<std::size_t> times)
{
    m_server.script(method, pattern, std::move(response), times);
}

void Backend::dropRoute(std::string_view method, std::string_view pattern, std::optional<std::size_t> times)
{
    m_server.script(method, pattern, ServerResponse::dropped(), times);
}

void Backend::delayRoute(
    std::string_view method, std::string_view pattern, double seconds, std::optional<std::size_t> times)
{
    std::lock_guard lock(m_hookMutex);
    m_delays.push_back(Delay { std::string(method), std::string(pattern), seconds, times });
}

void Backend::holdRoute(std::string_view method, std::string_view pattern, const Gate& gate)
{
    std::lock_guard lock(m_hookMutex);
    m_holds.push_back(Hold { std::string(method), std::string(pattern), gate.waiting() });
}

void Backend::clearHooks()
{
    m_server.clearScripts();
    std::lock_guard lock(m_hookMutex);
    m_delays.clear();
    m_holds.clear();
}

void Backend::setAnswerObserver(LoopbackServer::AnswerObserver observer)
{
    std::lock_guard lock(m_hookMutex);
    m_answerObserver = std::move(observer);
}

void Backend::answered(const ServerRequest& request, int status)
{
    std::vector<std::function<void()>> gates;
    LoopbackServer::AnswerObserver observer;
    {
        std::lock_guard lock(m_hookMutex);
        for (const auto& hold : m_holds) {
            if (hookMatches(hold.method, hold.pattern, request))
                gates.push_back(hold.wait);
        }
        observer = m_answerObserver;
    }
    for (const auto& wait : gates)
        wait();
    if (observer)
        observer(request, status);
}

double Backend::takeDelay(const ServerRequest& request)
{
    std::lock_guard lock(m_hookMutex);
    for (auto it = m_delays.rbegin(); it != m_delays.rend(); ++it) {
        if (!hookMatches(it->method, it->pattern, request))
            continue;
        auto seconds = it->seconds;
        if (it->remaining && --*it->remaining == 0)
            m_delays.erase(std::next(it).base());
        return seconds;
    }
    return 0;
}

void Backend::setConfiguration(const Value& document)
{
    m_state.setConfiguration(document);
}

void Backend::setAcceptedVersions(const std::vector<std::string>& versions)
{
    auto document = m_state.configuration().json;
    auto record = document.dictionary();
    if (!record) {
        document = defaultConfiguration();
        record = document.dictionary();
    }
    auto accepted = Array::make();
    for (const auto& version : versions)
        accepted->append(version);
    record->set("versions", Dictionary::make({ { "accepted", accepted } }));
    m_state.setConfiguration(document);
}

void Backend::setCompanies(const Value& companies)
{
    m_state.setCompanies(companies);
}

void Backend::setClock(BackendState::Clock clock)
{
    m_state.setClock(std::move(clock));
}

bool Backend::setInvoiceSent(std::int64_t invoiceId, Date date)
{
    return m_state.setInvoiceSent(invoiceId, date);
}

ArrayRef Backend::freelancers() const
{
    return m_state.freelancers();
}

ArrayRef Backend::businesses() const
{
    return m_state.businesses();
}

ArrayRef Backend::invoices() const
{
    return m_state.invoices();
}

std::vector<ServerRequest> Backend::requests() const
{
    return m_server.requests();
}

std::optional<ServerRequest> Backend::lastRequest() const
{
    return m_server.lastRequest();
}

void Backend::clearRequests()
{
    m_server.clearRequests();
}

bool Backend::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const
{
    return m_server.waitForRequests(count, timeout);
}

ServerResponse Backend::answer(const ServerRequest& request, const BackendReply& reply)
{
    auto response = reply.contentType.empty()
        ? ServerResponse::json(reply.status, reply.json)
        : ServerResponse::text(reply.status, reply.raw, reply.contentType);
    response.delay = takeDelay(request);
    return response;
}

void Backend::addRoute(std::string_view method, std::string_view pattern, RouteHandler handler)
{
    m_server.route(method, pattern, [this, handler = std::move(handler)](const ServerRequest& request) {
        return answer(request, handler(request));
    });
}

void Backend::addPathRoute(std::string_view method, std::string_view pattern, PathHandler handler)
{
    addRoute(method, pattern, [handler = std::move(handler)](const ServerRequest& request) {
        BackendState::Path path;
        path.authorization = request.header("Authorization").value_or("");
        std::optional<std::int64_t> identifiers[3];
        const char* names[3] = { "freelancer", "business", "item" };
        for (int i = 0; i < 3; ++i) {
            if (!request.parameters.contains(names[i]))
                continue;
            identifiers[i] = identifier(request.parameter(names[i]));
            if (!identifiers[i])
                return BackendReply::error(404, "NotFoundError", "Unknown resource");
        }
        path.freelancerId = identifiers[0].value_or(0);
        path.businessId = identifiers[1];
        path.resourceId = identifiers[2];
        return handler(request, path);
    });
}

void Backend::addRoutes()
{
    using Path = BackendState::Path;
    using Child = BackendState::Child;
    addRoute("POST", "/api/freelancers",
        [this](const ServerRequest& r) { return m_state.createFreelancer(r.json()); });
    addRoute(
        "POST", "/api/freelancers/login", [this](const ServerRequest& r) { return m_state.logIn(r.json()); });
    addPathRoute(
        "GET", kFreelancer, [this](const ServerRequest&, const Path& p) { return m_state.freelancer(p); });

    auto business = joined(kFreelancer, "/business");
    addPathRoute("POST", business,
        [this](const ServerRequest& r, const Path& p) { return m_state.createBusiness(p, r.json()); });
    for (const auto& pattern : { business, std::string(kBusiness) }) {
        addPathRoute(
            "GET", pattern, [this](const ServerRequest&, const Path& p) { return m_state.business(p); });
        addPathRoute("PUT", pattern,
            [this](const ServerRequest& r, const Path& p) { return m_state.updateBusiness(p, r.json()); });
    }

    for (auto [relation, child] : { std::pair { "/vat-registration", Child::VATRegistration },
             std::pair { "/bank-account", Child::BankAccount } }) {
        auto collection = joined(kBusiness, relation);
        // The app creates both records empty at sign-up: a client may send no body at all for that.
        addPathRoute("POST", collection, [this, child](const ServerRequest& r, const Path& p) {
            return m_state.createChild(child, p, isBlank(r.body) ? Value(Dictionary::make()) : r.json());
        });
        for (const auto& pattern : { collection, collection + "/:item" }) {
            addPathRoute("GET", pattern,
                [this, child](const ServerRequest&, const Path& p) { return m_state.child(child, p); });
            addPathRoute("PUT", pattern, [this, child](const ServerRequest& r, const Path& p) {
                return m_state.updateChild(child, p, r.json());
            });
        }
    }

    auto invoices = joined(kBusiness, "/invoices");
    addPathRoute("POST", invoices,
        [this](const ServerRequest& r, const Path& p) { return m_state.createInvoice(p, r.json()); });
    addPathRoute("GET", invoices,
        [this](const ServerRequest& r, const Path& p) { return m_state.invoices(p, r.query); });
    auto invoice = invoices + "/:item";
    addPathRoute("GET", invoice, [this](const ServerRequest&, const Path& p) { return m_state.invoice(p); });
    addPathRoute("PUT", invoice,
        [this](const ServerRequest& r, const Path& p) { return m_state.updateInvoice(p, r.json()); });
    addPathRoute(
        "DELETE", invoice, [this](const ServerRequest&, const Path& p) { return m_state.deleteInvoice(p); });

    addRoute("GET", "/companies", [this](const ServerRequest& r) {
        return m_state.searchCompanies(r.queryValue("search_term").value_or(""));
    });

    addRoute("POST", "/qz-image-uploads", [this](const ServerRequest& r) {
        return m_state.storePhoto(std::nullopt, r.body, r.header("Content-Type").value_or(""));
    });
    addRoute("PUT", "/qz-image-uploads/:key", [this](const ServerRequest& r) {
        auto key = r.parameter("key");
        if (!validPhotoKey(key))
            return BackendReply::error(400, "BadRequestError", "Invalid key");
        return m_state.storePhoto(key, r.body, r.header("Content-Type").value_or(""));
    });
    addRoute("GET", "/qz-image-uploads/:key",
        [this](const ServerRequest& r) { return m_state.photo(r.parameter("key")); });

    addRoute("GET", "/spi/v2/platforms/:platform/apps/:app/settings",
        [this](const ServerRequest& r) { return m_kit.settings(r); });
    addRoute("POST", "/spi/v1/platforms/:platform/apps",
        [this](const ServerRequest& r) { return m_kit.createApp(r); });
    addRoute("PUT", "/spi/v1/platforms/:platform/apps/:app",
        [this](const ServerRequest& r) { return m_kit.updateApp(r); });
    addRoute("GET", "/spi/v2/platforms/:platform/apps/:app/beta_update_check",
        [this](const ServerRequest& r) { return m_kit.betaUpdateCheck(r); });
    addRoute("POST", "/sdk-api/v1/platforms/:platform/apps/:app/reports", [this](const ServerRequest& r) {
        auto refusal = m_kit.refusedKey(r);
        return refusal ? *refusal : m_crashReports.storeReport(r);
    });
    addRoute("POST", AnalyticsUploadStore::path(":platform", ":app"), [this](const ServerRequest& r) {
        auto refusal = m_kit.refusedKey(r);
        return refusal ? *refusal : m_analyticsUploads.storeUpload(r);
    });

    m_conversionPings.addRoutes(
        [this](auto method, auto pattern, auto handler) { addRoute(method, pattern, std::move(handler)); });
    AttributionService::serve(
        *this, [this](auto method, auto pattern, auto route) { addRoute(method, pattern, route); });

    addRoute("GET", "/", [this](const ServerRequest&) { return m_state.configuration(); });
    addRoute("GET", "/upgrade", [](const ServerRequest&) {
        return BackendReply::bytes(std::string(kUpgradePage), "text/html; charset=utf-8");
    });
}

}
