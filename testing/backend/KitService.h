#pragma once

#include "platform/foundation/Value.h"
#include "testing/backend/BackendReply.h"
#include "testing/server/ServerRequest.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace testing {

/// The kit service of the local back-end: the kit platform's settings and app registration, in memory.
///
///   GET  /spi/v2/platforms/{p}/apps/{app}/settings?build_version&display_version&instance&icon_hash&source
///        the settings document with "app" set by the service: {"status": "new"} for an app it does
///        not know, else {"status": "activated", "update_required": b}, b true when the build version,
///        instance or icon hash (absent = no icon) differs from the app's record; an "analytics" section
///        without "url" gets the app's analytics upload route (AnalyticsUploadStore) on the host the
///        request named ("Host"), with the scheme of setBaseUrl()
///   POST /spi/v1/platforms/{p}/apps          multipart form: creates the record -> 201 with it; 422
///                                            when the app exists
///   PUT  /spi/v1/platforms/{p}/apps/{app}    multipart form: replaces the record -> 200; 404 unknown
///   GET  /spi/v2/platforms/{p}/apps/{app}/beta_update_check?build_version&display_version&instance&source
///        the beta update document a test set (setBetaUpdate()), {} by default
///
/// Every kit route needs the header "X-Ember-API-Key" with a key (else 401); any key is taken, since an
/// app's key is its own build setting, unless a test requires one (setRequiredAPIKey()). A form that does not
/// parse, lacks "app[identifier]", names another app than the URL, or has a slice architecture without its
/// UUID is a 400. A field the app could not fill (an instance identifier without a readable executable) is
/// stored as "".
///
/// The form fields make the record: "app[identifier]", "app[instance_identifier]", "app[name]",
/// "app[build_version]", "app[display_version]", "app[source]", "app[minimum_sdk_version]" and
/// "app[built_sdk_version]" under their inner names; "app[build][libraries][ID]" under "libraries"
/// (ID to version); the "app[slices][][arch]" and "app[slices][][uuid]" pairs under "slices" as
/// {"arch", "uuid"}; the "app[icon][...]" fields under "icon" as {"hash", "prerendered" (bool),
/// "width", "height" (integers), "data" (the file part's bytes), "file_name", "content_type"}.
/// Answers carry the record with the icon's "data" replaced by its byte count.
///
/// Thread-safe: routes run on the server's threads while a test reads the state.
class KitService {
public:
    /// The build's kit key (ZORVIK_KIT_API_KEY), the one this build's app sends.
    static std::string acceptedAPIKey();
    /// Refuses every key but `key` from now on, as a service that knows its app's key; nullopt (the
    /// default) takes any key.
    void setRequiredAPIKey(std::optional<std::string> key);
    /// The 401 answer for a request of a kit route whose "X-Ember-API-Key" header holds no key (or only
    /// blanks) or not the required one; nullopt when the key is taken.
    std::optional<BackendReply> refusedKey(const ServerRequest& request) const;

    /// Sets the root URL of the service ("http://127.0.0.1:<port>"), which the settings' analytics
    /// upload URL starts with.
    void setBaseUrl(std::string baseUrl);

    /// The settings document before a test replaces it: features, session limits and analytics of the
    /// kits.
    static platform::foundation::Value defaultSettings();

    KitService();

    /// The settings route (see the class comment).
    BackendReply settings(const ServerRequest& request) const;
    /// The create and update routes.
    BackendReply createApp(const ServerRequest& request);
    BackendReply updateApp(const ServerRequest& request);
    /// The beta update check route.
    BackendReply betaUpdateCheck(const ServerRequest& request) const;

    /// Replaces the settings document (an object); its "app" key is always the service's own.
    void setSettings(const platform::foundation::Value& document);
    /// The settings document (a deep copy).
    platform::foundation::Value settingsDocument() const;

    /// Replaces what the beta update check answers (any JSON value, such as {"url", "version_string"}).
    void setBetaUpdate(const platform::foundation::Value& document);

    /// Stores `record` as the app `identifier` of `platform` (a deep copy), as if it had been created.
    void setApp(
        std::string_view platform, std::string_view identifier, const platform::foundation::Value& record);
    /// The record of an app, or null.
    platform::foundation::DictionaryRef app(std::string_view platform, std::string_view identifier) const;
    /// Every app record, ordered by platform and identifier, each with its "platform".
    platform::foundation::ArrayRef apps() const;
    /// Every accepted create and update, oldest first: {"method", "path", "fields"}, the fields in the
    /// order sent, each {"name", "value"} or, for a file part, {"name", "file_name", "content_type",
    /// "size"}.
    platform::foundation::ArrayRef uploads() const;

private:
    BackendReply store(const ServerRequest& request, bool create);

    mutable std::mutex m_mutex;
    platform::foundation::Value m_settings;
    platform::foundation::Value m_betaUpdate;
    std::map<std::string, platform::foundation::DictionaryRef, std::less<>> m_apps;
    platform::foundation::ArrayRef m_uploads;
    std::string m_baseUrl;
    std::optional<std::string> m_requiredAPIKey;
};

}
