#include "testing/backend/KitService.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "testing/backend/AnalyticsUploadStore.h"
#include "testing/backend/MultipartForm.h"
#include "testing/backend/Text.h"

#ifndef ZORVIK_KIT_API_KEY
#error "ZORVIK_KIT_API_KEY must name the build's kit key"
#endif

namespace testing {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Bytes;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

namespace {

constexpr std::string_view kApp { "app[" };
constexpr std::string_view kLibraries { "app[build][libraries][" };
constexpr std::string_view kIcon { "app[icon][" };

// The text fields of a record, by their inner names.
constexpr std::string_view kTextFields[] = { "identifier", "instance_identifier", "name", "build_version",
    "display_version", "source", "minimum_sdk_version", "built_sdk_version" };

std::string appKey(std::string_view platform, std::string_view identifier)
{
    return std::string(platform) + "/" + std::string(identifier);
}

// "prefix[name]" -> "name" for a field that starts with `prefix` and ends with "]", else nullopt.
std::optional<std::string> innerName(std::string_view field, std::string_view prefix)
{
    if (!field.starts_with(prefix) || !field.ends_with(']') || field.size() == prefix.size() + 1)
        return std::nullopt;
    return std::string(field.substr(prefix.size(), field.size() - prefix.size() - 1));
}

// The record a form describes, or the reason it is refused.
struct FormRecord {
    DictionaryRef record;
    std::string refusal;
};

FormRecord recordFromForm(const MultipartForm& form)
{
    auto record = Dictionary::make();
    auto libraries = Dictionary::make();
    auto slices = Array::make();
    auto icon = Dictionary::make();
    DictionaryRef pendingSlice;
    for (const auto& part : form.parts) {
        if (part.name == "app[slices][][arch]") {
            if (pendingSlice)
                return { nullptr, "A slice has no UUID" };
            pendingSlice = Dictionary::make({ { "arch", part.body } });
        } else if (part.name == "app[slices][][uuid]") {
            if (!pendingSlice)
                return { nullptr, "A slice UUID has no architecture" };
            pendingSlice->set("uuid", part.body);
            slices->append(pendingSlice);
            pendingSlice = nullptr;
        } else if (auto library = innerName(part.name, kLibraries)) {
            libraries->set(*library, part.body);
        } else if (auto iconField = innerName(part.name, kIcon)) {
            if (*iconField == "data") {
                icon->set("data", Bytes(part.body.begin(), part.body.end()));
                icon->set("file_name", part.fileName.value_or(""));
                icon->set("content_type", part.contentType.value_or(""));
            } else if (*iconField == "prerendered") {
                icon->set("prerendered", part.body == "true");
            } else if (*iconField == "width" || *iconField == "height") {
                icon->set(*iconField, Value(part.body).integerValue());
            } else {
                icon->set(*iconField, part.body);
            }
        } else if (auto name = innerName(part.name, kApp)) {
            record->set(*name, part.body);
        }
    }
    if (pendingSlice)
        return { nullptr, "A slice has no UUID" };
    if (record->get("identifier").stringValue().empty())
        return { nullptr, "Missing app[identifier]" };
    auto stored = Dictionary::make();
    for (auto field : kTextFields)
        stored->set(field, record->get(field).stringValue());
    stored->set("libraries", libraries);
    stored->set("slices", slices);
    if (!icon->empty())
        stored->set("icon", icon);
    return { stored, {} };
}

// The record as answers show it: a deep copy with the icon's bytes replaced by their count.
Value shown(const DictionaryRef& record)
{
    auto copy = record->deepCopy();
    if (auto icon = copy->get("icon").dictionary()) {
        auto data = icon->get("data");
        if (data.bytes())
            icon->set("data", static_cast<std::int64_t>(data.bytes()->size()));
    }
    return copy;
}

ArrayRef fieldsOf(const MultipartForm& form)
{
    auto fields = Array::make();
    for (const auto& part : form.parts) {
        if (part.fileName) {
            fields->append(Dictionary::make({ { "name", part.name }, { "file_name", *part.fileName },
                { "content_type", part.contentType.value_or("") },
                { "size", static_cast<std::int64_t>(part.body.size()) } }));
        } else {
            fields->append(Dictionary::make({ { "name", part.name }, { "value", part.body } }));
        }
    }
    return fields;
}

}

std::string KitService::acceptedAPIKey()
{
    return ZORVIK_KIT_API_KEY;
}

void KitService::setRequiredAPIKey(std::optional<std::string> key)
{
    std::lock_guard lock(m_mutex);
    m_requiredAPIKey = std::move(key);
}

std::optional<BackendReply> KitService::refusedKey(const ServerRequest& request) const
{
    auto key = request.header("X-Ember-API-Key").value_or("");
    std::lock_guard lock(m_mutex);
    if (isBlank(key) || (m_requiredAPIKey && key != *m_requiredAPIKey))
        return BackendReply::error(401, "UnauthorizedError", "Unknown API key");
    return std::nullopt;
}

Value KitService::defaultSettings()
{
    return Dictionary::make({
        { "features",
            Dictionary::make({ { "collect_reports", true }, { "collect_logged_exceptions", true },
                { "collect_analytics", true }, { "prompt_enabled", false } }) },
        { "session",
            Dictionary::make({ { "log_buffer_size", 65536 }, { "max_custom_exception_events", 8 },
                { "max_custom_key_value_pairs", 64 } }) },
        { "beta", Dictionary::make({ { "update_suspend_duration", 3600 } }) },
        { "cache", Dictionary::make({ { "duration", 86400 } }) },
        { "analytics",
            Dictionary::make({ { "track_view_controllers", false }, { "flush_on_background", true },
                { "max_byte_size_per_file", 8000 }, { "flush_interval_secs", 600 },
                { "max_pending_send_file_count", 100 }, { "track_custom_events", true },
                { "track_predefined_events", true }, { "sampling_rate", 1 } }) },
    });
}

void KitService::setBaseUrl(std::string baseUrl)
{
    std::lock_guard lock(m_mutex);
    m_baseUrl = std::move(baseUrl);
}

KitService::KitService()
    : m_settings(defaultSettings())
    , m_betaUpdate(Dictionary::make())
    , m_uploads(Array::make())
{
}

BackendReply KitService::settings(const ServerRequest& request) const
{
    if (auto refusal = refusedKey(request))
        return *refusal;
    std::lock_guard lock(m_mutex);
    auto document = m_settings.deepCopy();
    auto answer = document.dictionary();
    auto analytics = answer->get("analytics").dictionary();
    if (analytics && !analytics->contains("url") && !m_baseUrl.empty()) {
        // The root as the app reached it (another machine knows no 127.0.0.1 of ours), else our own.
        auto host = request.header("Host");
        auto scheme = m_baseUrl.find("://");
        std::string root = host && !host->empty() && scheme != std::string::npos
            ? m_baseUrl.substr(0, scheme + 3) + *host
            : m_baseUrl;
        analytics->set("url",
            root + AnalyticsUploadStore::path(request.parameter("platform"), request.parameter("app")));
    }
    auto found = m_apps.find(appKey(request.parameter("platform"), request.parameter("app")));
    if (found == m_apps.end()) {
        answer->set("app", Dictionary::make({ { "status", "new" } }));
        return BackendReply::ok(document);
    }
    const auto& record = found->second;
    auto iconHash
        = record->get("icon").dictionary() ? record->get("icon").dictionary()->get("hash") : Value();
    auto askedHash = request.queryValue("icon_hash");
    // A value the app leaves out of its query is the "" its form left out too.
    bool differs
        = request.queryValue("build_version").value_or("") != record->get("build_version").stringValue()
        || request.queryValue("instance").value_or("") != record->get("instance_identifier").stringValue()
        || (askedHash ? Value(*askedHash) : Value()) != iconHash;
    answer->set("app", Dictionary::make({ { "status", "activated" }, { "update_required", differs } }));
    return BackendReply::ok(document);
}

BackendReply KitService::createApp(const ServerRequest& request)
{
    return store(request, true);
}

BackendReply KitService::updateApp(const ServerRequest& request)
{
    return store(request, false);
}

BackendReply KitService::store(const ServerRequest& request, bool create)
{
    if (auto refusal = refusedKey(request))
        return *refusal;
    auto form = MultipartForm::parse(request.header("Content-Type").value_or(""), request.body);
    if (!form)
        return BackendReply::error(400, "BadRequestError", "The body is no multipart form");
    auto parsed = recordFromForm(*form);
    if (!parsed.record)
        return BackendReply::error(400, "BadRequestError", parsed.refusal);
    auto identifier = parsed.record->get("identifier").stringValue();
    if (!create && identifier != request.parameter("app"))
        return BackendReply::error(400, "BadRequestError", "The form names another app");

    std::lock_guard lock(m_mutex);
    auto key = appKey(request.parameter("platform"), identifier);
    bool exists = m_apps.contains(key);
    if (create && exists)
        return BackendReply::error(422, "AlreadyExistsError", "The app exists");
    if (!create && !exists)
        return BackendReply::error(404, "NotFoundError", "Unknown app");
    m_apps[key] = parsed.record;
    m_uploads->append(Dictionary::make(
        { { "method", request.method }, { "path", request.path }, { "fields", fieldsOf(*form) } }));
    auto reply = BackendReply::ok(shown(parsed.record));
    reply.status = create ? 201 : 200;
    return reply;
}

BackendReply KitService::betaUpdateCheck(const ServerRequest& request) const
{
    if (auto refusal = refusedKey(request))
        return *refusal;
    std::lock_guard lock(m_mutex);
    return BackendReply::ok(m_betaUpdate.deepCopy());
}

void KitService::setBetaUpdate(const Value& document)
{
    std::lock_guard lock(m_mutex);
    m_betaUpdate = document.deepCopy();
}

void KitService::setSettings(const Value& document)
{
    std::lock_guard lock(m_mutex);
    m_settings = document.dictionary() ? document.deepCopy() : Value(Dictionary::make());
}

Value KitService::settingsDocument() const
{
    std::lock_guard lock(m_mutex);
    return m_settings.deepCopy();
}

void KitService::setApp(std::string_view platform, std::string_view identifier, const Value& record)
{
    auto copy = record.dictionary() ? record.dictionary()->deepCopy() : Dictionary::make();
    copy->set("identifier", identifier);
    std::lock_guard lock(m_mutex);
    m_apps[appKey(platform, identifier)] = copy;
}

DictionaryRef KitService::app(std::string_view platform, std::string_view identifier) const
{
    std::lock_guard lock(m_mutex);
    auto found = m_apps.find(appKey(platform, identifier));
    return found == m_apps.end() ? nullptr : found->second->deepCopy();
}

ArrayRef KitService::apps() const
{
    std::lock_guard lock(m_mutex);
    auto list = Array::make();
    for (const auto& [key, record] : m_apps) {
        auto copy = record->deepCopy();
        copy->set("platform", key.substr(0, key.find('/')));
        list->append(copy);
    }
    return list;
}

ArrayRef KitService::uploads() const
{
    std::lock_guard lock(m_mutex);
    return m_uploads->deepCopy();
}

}
