#include "testing/backend/AttributionService.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

#include <array>
#include <cstdint>
#include <cstdlib>

#if !defined(ZORVIK_WAYFINDER_APP_ID) || !defined(ZORVIK_WAYFINDER_DEV_KEY)
#error "ZORVIK_WAYFINDER_APP_ID and ZORVIK_WAYFINDER_DEV_KEY must name the build's app"
#endif

namespace testing {

using platform::foundation::Dictionary;
using platform::foundation::Value;

namespace {

constexpr std::string_view kAlphabet { "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-/" };

std::mutex registryMutex;

std::map<const Backend*, std::weak_ptr<AttributionService>>& registry()
{
    static std::map<const Backend*, std::weak_ptr<AttributionService>> services;
    return services;
}

// The UTF-16 code units of an ASCII or BMP key written in UTF-8.
std::vector<unsigned> keyUnits(std::string_view key)
{
    std::vector<unsigned> units;
    for (std::size_t i = 0; i < key.size();) {
        auto byte = static_cast<unsigned char>(key[i]);
        if (byte < 0x80) {
            units.push_back(byte);
            ++i;
        } else if ((byte >> 5) == 6 && i + 1 < key.size()) {
            units.push_back(((byte & 0x1F) << 6) | (key[i + 1] & 0x3F));
            i += 2;
        } else if ((byte >> 4) == 14 && i + 2 < key.size()) {
            units.push_back(((byte & 0x0F) << 12) | ((key[i + 1] & 0x3F) << 6) | (key[i + 2] & 0x3F));
            i += 3;
        } else {
            units.push_back(byte);
            ++i;
        }
    }
    return units;
}

// `text` read in the 64-letter `alphabet` with "=" padding, or nullopt.
std::optional<std::string> unpack(std::string_view text, std::string_view alphabet)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string bytes;
    std::uint32_t bits = 0;
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=') {
            if (i + 2 < text.size() || (i + 1 < text.size() && text[i + 1] != '='))
                return std::nullopt;
            break;
        }
        auto index = alphabet.find(text[i]);
        if (index == std::string_view::npos)
            return std::nullopt;
        bits = (bits << 6) | static_cast<std::uint32_t>(index);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return bytes;
}

// The "&"-separated pairs of a form body, unescaped.
ServerRequest::Pairs formPairs(std::string_view body)
{
    auto unescape = [](std::string_view text) {
        std::string result;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '%' && i + 2 < text.size()) {
                result += static_cast<char>(
                    std::strtol(std::string(text.substr(i + 1, 2)).c_str(), nullptr, 16));
                i += 2;
            } else {
                result += text[i] == '+' ? ' ' : text[i];
            }
        }
        return result;
    };
    ServerRequest::Pairs pairs;
    while (!body.empty()) {
        auto end = body.find('&');
        auto part = body.substr(0, end);
        body = end == std::string_view::npos ? std::string_view() : body.substr(end + 1);
        auto equals = part.find('=');
        pairs.emplace_back(unescape(part.substr(0, equals)),
            equals == std::string_view::npos ? std::string() : unescape(part.substr(equals + 1)));
    }
    return pairs;
}

}

std::optional<std::string> AttributionRequest::field(std::string_view name) const
{
    for (const auto& [key, value] : fields) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

AttributionService::AttributionService()
{
    m_apps[ZORVIK_WAYFINDER_APP_ID] = ZORVIK_WAYFINDER_DEV_KEY;
}

void AttributionService::serve(const Backend& backend, const RouteAdder& addRoute)
{
    auto service = std::make_shared<AttributionService>();
    {
        std::lock_guard lock(registryMutex);
        registry()[&backend] = service;
    }
    addRoute("POST", "/api/v3/iosevent", [service](const ServerRequest& r) { return service->event(r); });
    addRoute("POST", "/stats", [service](const ServerRequest& r) { return service->statistic(r); });
    addRoute("GET", "/install_data/v3/:app",
        [service](const ServerRequest& r) { return service->conversionData(r); });
    addRoute("POST", "/validate-ios-receipt",
        [service](const ServerRequest& r) { return service->validateReceipt(r); });
}

std::shared_ptr<AttributionService> AttributionService::of(const Backend& backend)
{
    std::lock_guard lock(registryMutex);
    auto found = registry().find(&backend);
    return found == registry().end() ? nullptr : found->second.lock();
}

std::optional<std::string> AttributionService::unscramble(std::string_view scrambled, std::string_view devKey)
{
    auto key = keyUnits(devKey);
    if (key.empty())
        return std::nullopt;
    std::string alphabet(kAlphabet);
    for (std::size_t i = 0; i < alphabet.size(); ++i)
        std::swap(alphabet[i], alphabet[(key[i % key.size()] + i) % alphabet.size()]);
    return unpack(scrambled, alphabet);
}

std::vector<std::pair<std::string, std::string>> AttributionService::fields(std::string_view text)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    while (!text.empty()) {
        auto end = text.find(',');
        auto piece = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        auto equals = piece.find('=');
        if (equals == std::string_view::npos && !pairs.empty())
            pairs.back().second += "," + std::string(piece);
        else if (equals != std::string_view::npos)
            pairs.emplace_back(std::string(piece.substr(0, equals)), std::string(piece.substr(equals + 1)));
    }
    return pairs;
}

void AttributionService::addApp(const std::string& appId, const std::string& devKey)
{
    std::lock_guard lock(m_mutex);
    m_apps[appId] = devKey;
}

void AttributionService::setConversionData(const Value& data)
{
    std::lock_guard lock(m_mutex);
    m_conversionData = data.deepCopy();
}

std::vector<AttributionRequest> AttributionService::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::vector<ServerRequest::Pairs> AttributionService::statistics() const
{
    std::lock_guard lock(m_mutex);
    return m_statistics;
}

std::vector<ReceiptValidation> AttributionService::validations() const
{
    std::lock_guard lock(m_mutex);
    return m_validations;
}

BackendReply AttributionService::event(const ServerRequest& request)
{
    AttributionRequest received;
    received.appId = request.queryValue("app_id").value_or("");
    received.buildNumber = request.queryValue("buildnumber").value_or("");
    received.cached = request.queryValue("isCachedRequest") == "true";
    if (auto time = request.queryValue("timeincache"))
        received.timeInCache = std::strtod(time->c_str(), nullptr);
    std::lock_guard lock(m_mutex);
    auto app = m_apps.find(received.appId);
    if (app == m_apps.end())
        return BackendReply::error(404, "NotFoundError", "Unknown app");
    std::string_view body = request.body;
    if (!body.starts_with("data="))
        return BackendReply::error(400, "BadRequestError", "The body holds no data");
    auto text = unscramble(body.substr(5), app->second);
    if (!text)
        return BackendReply::error(400, "BadRequestError", "The data does not decode with the app's key");
    received.fields = fields(*text);
    received.text = std::move(*text);
    m_requests.push_back(std::move(received));
    return BackendReply::ok(Dictionary::make({ { "status", "ok" } }));
}

BackendReply AttributionService::statistic(const ServerRequest& request)
{
    std::lock_guard lock(m_mutex);
    m_statistics.push_back(formPairs(request.body));
    return BackendReply::ok(Dictionary::make({ { "status", "ok" } }));
}

BackendReply AttributionService::conversionData(const ServerRequest& request)
{
    auto segment = request.parameter("app");
    if (!segment.starts_with("id"))
        return BackendReply::error(404, "NotFoundError", "Unknown app");
    std::lock_guard lock(m_mutex);
    auto app = m_apps.find(segment.substr(2));
    if (app == m_apps.end())
        return BackendReply::error(404, "NotFoundError", "Unknown app");
    if (request.queryValue("devkey") != app->second)
        return BackendReply::error(403, "ForbiddenError", "Wrong developer key");
    if (!m_conversionData.isNull())
        return BackendReply::ok(m_conversionData.deepCopy());
    auto device = request.queryValue("device_id").value_or("");
    bool answeredBefore = !m_devicesAnswered.insert(device).second;
    return BackendReply::ok(
        Dictionary::make({ { "install_status", "organic" }, { "iscache", answeredBefore } }));
}

BackendReply AttributionService::validateReceipt(const ServerRequest& request)
{
    ReceiptValidation validation;
    validation.appId = request.queryValue("app_id").value_or("");
    validation.wayfinderId = request.queryValue("wayfinder_id").value_or("");
    validation.devKey = request.queryValue("dev_key").value_or("");
    validation.sandbox = request.queryValue("sandbox") == "true";
    auto body = request.json().dictionary();
    auto data = body ? body->get("receipt-data").stringValue() : std::string();
    if (auto bytes = platform::foundation::Base64::decode(data)) {
        auto parsed = platform::foundation::parseJson(*bytes);
        if (parsed.ok() && parsed.value.dictionary())
            validation.receipt = parsed.value;
    }
    std::lock_guard lock(m_mutex);
    auto app = m_apps.find(validation.appId);
    bool known = app != m_apps.end() && app->second == validation.devKey;
    auto receipt = validation.receipt;
    bool sandbox = validation.sandbox;
    m_validations.push_back(std::move(validation));
    if (!known)
        return BackendReply::error(403, "ForbiddenError", "Unknown app or developer key");
    if (receipt.isNull())
        return BackendReply::ok(Dictionary::make({ { "status", 21002 } }));
    return BackendReply::ok(Dictionary::make(
        { { "status", 0 }, { "environment", sandbox ? "Sandbox" : "Production" }, { "receipt", receipt } }));
}

}
