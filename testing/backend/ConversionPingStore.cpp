#include "testing/backend/ConversionPingStore.h"

#include <cctype>
#include <string>

namespace testing {

namespace {

constexpr std::string_view kActivityPrefix { "/activity;" };

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// `text` with its "%XX" escapes decoded (a malformed one is kept as it is); "+" stays "+".
std::string decoded(std::string_view text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0
            && hexDigit(text[i + 2]) >= 0) {
            result += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

// The pairs of `text` split at `separator`, each "key=value" (or a bare key), decoded.
ServerRequest::Pairs pairsOf(std::string_view text, char separator)
{
    ServerRequest::Pairs pairs;
    while (!text.empty()) {
        auto end = text.find(separator);
        auto piece = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (piece.empty())
            continue;
        auto equals = piece.find('=');
        if (equals == std::string_view::npos)
            pairs.emplace_back(decoded(piece), "");
        else
            pairs.emplace_back(decoded(piece.substr(0, equals)), decoded(piece.substr(equals + 1)));
    }
    return pairs;
}

}

std::optional<std::string> ConversionPing::parameter(std::string_view name) const
{
    for (const auto& [key, value] : parameters) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

std::vector<std::string> ConversionPing::names() const
{
    std::vector<std::string> keys;
    for (const auto& [key, value] : parameters)
        keys.push_back(key);
    return keys;
}

std::optional<ConversionPing> ConversionPing::parse(const ServerRequest& request)
{
    std::string_view target = request.target;
    auto question = target.find('?');
    std::string_view path = target.substr(0, question);
    std::string_view query
        = question == std::string_view::npos ? std::string_view() : target.substr(question + 1);

    ConversionPing ping;
    ping.target = request.target;
    std::string conversionRoot = std::string(ConversionPingStore::kConversionPath) + "/";
    std::string activityRoot = std::string(ConversionPingStore::kActivityRoot) + std::string(kActivityPrefix);
    if (path.starts_with(conversionRoot)) {
        auto rest = path.substr(conversionRoot.size());
        // Either nothing (a purchase) or one escaped conversion ID and a closing "/".
        if (!rest.empty()
            && (rest.size() < 2 || !rest.ends_with("/")
                || rest.substr(0, rest.size() - 1).find('/') != std::string_view::npos))
            return std::nullopt;
        ping.conversionID = rest.empty() ? std::string() : decoded(rest.substr(0, rest.size() - 1));
    } else if (path.starts_with(activityRoot)) {
        ping.service = Service::Activity;
        ping.parameters = pairsOf(path.substr(activityRoot.size()), ';');
    } else {
        return std::nullopt;
    }
    for (auto& pair : pairsOf(query, '&'))
        ping.parameters.push_back(std::move(pair));
    return ping;
}

void ConversionPingStore::addRoutes(const AddRoute& addRoute)
{
    for (const auto* root : { kConversionPath, kActivityRoot })
        addRoute("GET", std::string(root) + "/*", [this](const ServerRequest& r) { return storePing(r); });
}

BackendReply ConversionPingStore::storePing(const ServerRequest& request)
{
    auto ping = ConversionPing::parse(request);
    if (!ping)
        return BackendReply::error(400, "BadRequestError", "No ping of the conversion or activity service");
    std::lock_guard lock(m_mutex);
    m_pings.push_back(std::move(*ping));
    return BackendReply::bytes("", "text/plain");
}

std::vector<ConversionPing> ConversionPingStore::pings() const
{
    std::lock_guard lock(m_mutex);
    return m_pings;
}

}
