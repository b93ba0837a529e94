#include "conversion/MarqueeConversionPing.h"

#include "conversion/ACTReporter.h"

#include "platform/foundation/Dictionary.h"

namespace conversion {

void MarqueeConversionPing::pingWithConversionId(const std::string& conversionID,
    std::optional<std::string> label, std::optional<std::string> value, bool isRepeatable)
{
    ACTConversionReporter::reportWithConversionID(
        conversionID, std::move(label), std::move(value), isRepeatable);
}

void MarqueeConversionPing::pingWithConversionId(const std::string& conversionID,
    std::optional<std::string> label, std::optional<std::string> value, bool isRepeatable, bool)
{
    pingWithConversionId(conversionID, std::move(label), std::move(value), isRepeatable);
}

void MarqueeConversionPing::pingWithConversionIdType(const std::string& conversionID, std::int64_t type,
    std::optional<std::string> label, std::optional<std::string> value, bool isRepeatable)
{
    if (type == 0)
        ACTConversionReporter::reportWithConversionID(
            conversionID, std::move(label), std::move(value), isRepeatable);
    else if (type == 1)
        ADTConversionReporter::reportWithConversionID(conversionID, std::move(value), isRepeatable);
}

void MarqueeConversionPing::pingRemarketingWithConversionId(const std::string& conversionID,
    std::optional<std::string>, const std::string& screenName,
    const platform::foundation::DictionaryRef& customParameters)
{
    auto parameters
        = customParameters ? customParameters->shallowCopy() : platform::foundation::Dictionary::make();
    if (!screenName.empty())
        parameters->set("screen_name", screenName);
    ACTRemarketingReporter::reportWithConversionID(conversionID, parameters);
}

bool MarqueeConversionPing::registerReferrer(std::string_view url)
{
    return ACTConversionReporter::registerReferrer(url);
}

std::string MarqueeConversionPing::sdkVersion()
{
    return ACTReporter::SDKVersion();
}

}
