#include "conversion/ACTRemarketingReporterPrivate.h"

#include "conversion/ACTApplication.h"
#include "conversion/ACTAutomatedUsageTracker.h"
#include "conversion/ACTDevice.h"
#include "conversion/ACTEndpoints.h"
#include "conversion/ACTQueryParameters.h"

#include "platform/foundation/Dictionary.h"

namespace conversion {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

std::shared_ptr<ACTRemarketingReporterPrivate> ACTRemarketingReporterPrivate::make(
    const std::string& conversionID, const DictionaryRef& customParameters)
{
    if (conversionID.empty())
        return nullptr;
    auto reporter = std::make_shared<ACTRemarketingReporterPrivate>(conversionID, customParameters);
    reporter->setReportingInfoDelegate(reporter);
    reporter->setPingerDelegate(reporter);
    return reporter;
}

ACTRemarketingReporterPrivate::ACTRemarketingReporterPrivate(
    std::string conversionID, const DictionaryRef& customParameters)
    : m_parameters(customParameters ? customParameters->deepCopy() : nullptr)
    , m_conversionID(std::move(conversionID))
{
}

DictionaryRef ACTRemarketingReporterPrivate::queryParameters()
{
    bool disabled = ACTApplication::sharedApplication()
                        ->automatedUsageTracker()
                        ->isAutomatedUsageReportingDisabledForConversionID(m_conversionID);
    auto parameters = Dictionary::make({
        { "lat", ACTDevice::currentDevice().limitsAdTracking() ? "1" : "0" },
        { "remarketing_only", 1 },
        { "usage_tracking_enabled", disabled ? "0" : "1" },
    });
    parameters->addEntries(*act_formattedSmartPixelDataDictionary(m_parameters));
    return parameters;
}

std::string ACTRemarketingReporterPrivate::reportingURLPrefix()
{
    return ACTEndpoints::conversionBase() + "/" + act_percentEscape(m_conversionID) + "/?";
}

std::shared_ptr<ACTAutomatedUsageReporterPrivate> ACTAutomatedUsageReporterPrivate::make(
    const std::string& conversionID)
{
    if (conversionID.empty())
        return nullptr;
    auto reporter = std::make_shared<ACTAutomatedUsageReporterPrivate>(conversionID);
    reporter->setReportingInfoDelegate(reporter);
    reporter->setPingerDelegate(reporter);
    return reporter;
}

ACTAutomatedUsageReporterPrivate::ACTAutomatedUsageReporterPrivate(std::string conversionID)
    : ACTRemarketingReporterPrivate(std::move(conversionID), nullptr)
{
}

DictionaryRef ACTAutomatedUsageReporterPrivate::queryParameters()
{
    auto parameters = ACTRemarketingReporterPrivate::queryParameters();
    if (timestamp() != 0)
        parameters->set("timestamp", timestamp());
    parameters->set("auto", "1");
    parameters->set("usage_tracking_enabled", "1");
    parameters->remove("remarketing_only");
    return parameters;
}

}
