#include "conversion/ACTConversionReporterPrivate.h"

#include "conversion/ACTDevice.h"
#include "conversion/ACTLog.h"

#include "platform/foundation/Defaults.h"
#include "platform/foundation/Dictionary.h"

#include <mutex>

namespace conversion {

using platform::foundation::Defaults;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

namespace {

std::mutex referrerLock;

std::optional<std::string> stringOf(const DictionaryRef& dictionary, const char* key)
{
    const auto* value = dictionary ? dictionary->find(key) : nullptr;
    const auto* text = value ? value->string() : nullptr;
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

std::optional<std::string> nonEmptyString(const DictionaryRef& dictionary, const char* key)
{
    auto text = stringOf(dictionary, key);
    return text && !text->empty() ? text : std::nullopt;
}

}

std::string deduplicationKey(const char* prefix, const std::optional<std::string>& name)
{
    return std::string(prefix) + ":" + name.value_or("(null)");
}

std::string ACTConversionReporterPrivate::clickReferrerUserDefaultKey(const std::string& suffix)
{
    return std::string(kReferrerKeyPrefix) + ":" + suffix;
}

bool ACTConversionReporterPrivate::saveReferrerComponents(const DictionaryRef& components)
{
    auto conversionID = nonEmptyString(components, "conv");
    auto clickID = nonEmptyString(components, "mclid");
    auto clickString = nonEmptyString(components, "ai");
    if (!conversionID || !clickID || !clickString)
        return false;
    auto key = clickReferrerUserDefaultKey(*conversionID);
    auto defaults = Defaults::standard();
    {
        std::lock_guard lock(referrerLock);
        if (defaults->value(key).isNull()) {
            auto count = defaults->integer(kReferrerCountKey);
            if (count >= kMaxReferrerKeys)
                return false;
            defaults->setValue(kReferrerCountKey, count + 1);
        }
        defaults->setValue(key, Dictionary::make({ { "mclid", *clickID }, { "ai", *clickString } }));
    }
    ACTLog::logPublicMessage("Registering click referrer for converison ID \"" + *conversionID
        + "\" with click ID \"" + *clickID + "\" and click string \"" + *clickString + "\".");
    return true;
}

DictionaryRef ACTConversionReporterPrivate::referrerComponentsForReferrerKeyWithSuffix(
    const std::string& suffix)
{
    if (suffix.empty())
        return nullptr;
    return Defaults::standard()->value(clickReferrerUserDefaultKey(suffix)).dictionary();
}

ACTConversionReporterPrivate::ACTConversionReporterPrivate(
    std::optional<std::string> value, const std::string& referrerKeySuffix, bool isRepeatable)
    : m_isRepeatable(isRepeatable)
    , m_value(std::move(value))
{
    auto referrer = referrerComponentsForReferrerKeyWithSuffix(referrerKeySuffix);
    m_clickID = stringOf(referrer, "mclid");
    m_clickString = stringOf(referrer, "ai");
}

bool ACTConversionReporterPrivate::shouldReport()
{
    if (m_isRepeatable || !Defaults::standard()->boolean(deduplicationID()))
        return true;
    log("already sent successful ping.");
    return false;
}

DictionaryRef ACTConversionReporterPrivate::queryParameters()
{
    auto parameters
        = Dictionary::make({ { "lat", ACTDevice::currentDevice().limitsAdTracking() ? "1" : "0" } });
    if (m_value)
        parameters->set("value", *m_value);
    if (m_clickID && !m_clickID->empty() && m_clickString && !m_clickString->empty()) {
        parameters->set("mclid", *m_clickID);
        parameters->set("ai", *m_clickString);
    }
    return parameters;
}

void ACTConversionReporterPrivate::pingDidSucceed(ACTPinger&)
{
    if (!m_isRepeatable)
        Defaults::standard()->setValue(deduplicationID(), true);
}

void ACTConversionReporterPrivate::clearClickReferrer()
{
    m_clickID.reset();
    m_clickString.reset();
}

}
