#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/Value.h"

#include <optional>
#include <string>

namespace kit {

/// The kit service's answer to a beta update check: where the newer test build is, its version, and the
/// texts of the alert that offers it (the app's localisation table "Ember" wins over the defaults).
class EMBBetaUpdate {
public:
    /// The update described by `object`: "url" (required, an absolute URL) and "version_string". Nullopt,
    /// with `error` set (when given) to the URL-loading error -1017 (cannot parse response), when `object`
    /// is no dictionary or its "url" is missing or not a URL.
    static std::optional<EMBBetaUpdate> betaUpdateWithDictionary(const platform::foundation::Value& object,
        std::optional<platform::foundation::Error>* error = nullptr);

    const std::string& url() const { return m_url; }
    /// "version_string", or "" when absent.
    const std::string& version() const { return m_version; }
    /// "New Build Available".
    std::string promptTitle() const;
    /// "A new version of <app name> is available for testing."
    std::string promptMessage() const;
    /// "Cancel".
    std::string cancelLabel() const;
    /// "Install".
    std::string installLabel() const;

private:
    EMBBetaUpdate() = default;

    std::string m_url;
    std::string m_version;
};

}
