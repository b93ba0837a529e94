#include "kit/crash/EMBBetaUpdate.h"

#include "kit/core/CRNApplication.h"
#include "kit/core/CRNURLBuilder.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/http/UrlLoading.h"

namespace kit {

namespace {

std::string localized(const char* key, const std::string& fallback)
{
    return platform::foundation::Bundle::main()->localizedString(key, fallback, "Ember");
}

}

std::optional<EMBBetaUpdate> EMBBetaUpdate::betaUpdateWithDictionary(
    const platform::foundation::Value& object, std::optional<platform::foundation::Error>* error)
{
    auto dictionary = object.dictionary();
    platform::foundation::Value urlValue
        = dictionary ? dictionary->get("url") : platform::foundation::Value();
    const std::string* url = urlValue.string();
    if (!url || !CRNURLBuilder::URLWithBase(*url).URL()) {
        if (error) {
            *error = platform::http::UrlLoading::error(platform::http::UrlLoading::kCannotParseResponse,
                "The beta update has no usable \"url\"", url ? *url : "");
        }
        return std::nullopt;
    }
    EMBBetaUpdate update;
    update.m_url = *url;
    update.m_version = dictionary->get("version_string").stringValue();
    return update;
}

std::string EMBBetaUpdate::promptTitle() const
{
    return localized("EmberDistributionPromptTitle", "New Build Available");
}

std::string EMBBetaUpdate::promptMessage() const
{
    std::string format
        = localized("EmberDistributionPromptMessage", "A new version of %@ is available for testing.");
    auto marker = format.find("%@");
    if (marker != std::string::npos)
        format.replace(marker, 2, CRNApplicationGetName().value_or(""));
    return format;
}

std::string EMBBetaUpdate::cancelLabel() const
{
    return localized("EmberDistributionPromptCancelTitle", "Cancel");
}

std::string EMBBetaUpdate::installLabel() const
{
    return localized("EmberDistributionPromptInstallTitle", "Install");
}

}
