#include "conversion/ACTConversionIDReporter.h"

#include "conversion/ACTApplication.h"
#include "conversion/ACTAutomatedUsageTracker.h"
#include "conversion/ACTEndpoints.h"
#include "conversion/ACTQueryParameters.h"

#include "platform/foundation/Dictionary.h"

namespace conversion {

using platform::foundation::DictionaryRef;

std::shared_ptr<ACTConversionIDReporter> ACTConversionIDReporter::make(const std::string& conversionID,
    std::optional<std::string> label, std::optional<std::string> value, bool isRepeatable)
{
    if (conversionID.empty())
        return nullptr;
    auto reporter = std::make_shared<ACTConversionIDReporter>(
        conversionID, std::move(label), std::move(value), isRepeatable);
    reporter->setReportingInfoDelegate(reporter);
    reporter->setPingerDelegate(reporter);
    return reporter;
}

ACTConversionIDReporter::ACTConversionIDReporter(std::string conversionID, std::optional<std::string> label,
    std::optional<std::string> value, bool isRepeatable)
    : ACTConversionReporterPrivate(std::move(value), conversionID, isRepeatable)
    , m_conversionID(std::move(conversionID))
    , m_label(std::move(label))
{
}

DictionaryRef ACTConversionIDReporter::queryParameters()
{
    auto parameters = ACTConversionReporterPrivate::queryParameters();
    bool disabled = ACTApplication::sharedApplication()
                        ->automatedUsageTracker()
                        ->isAutomatedUsageReportingDisabledForConversionID(m_conversionID);
    parameters->set("usage_tracking_enabled", disabled ? "0" : "1");
    if (m_label)
        parameters->set("label", *m_label);
    return parameters;
}

std::string ACTConversionIDReporter::reportingURLPrefix()
{
    return ACTEndpoints::conversionBase() + "/" + act_percentEscape(m_conversionID) + "/?";
}

std::string ACTConversionIDReporter::deduplicationID() const
{
    auto key = deduplicationKey("marquee_conversion_ping", m_label);
    return m_label ? key : key + ":" + m_conversionID;
}

std::shared_ptr<ADTConversionReporterPrivate> ADTConversionReporterPrivate::make(
    const std::string& conversionID, std::optional<std::string> value, bool isRepeatable)
{
    if (conversionID.empty())
        return nullptr;
    auto reporter
        = std::make_shared<ADTConversionReporterPrivate>(conversionID, std::move(value), isRepeatable);
    reporter->setReportingInfoDelegate(reporter);
    reporter->setPingerDelegate(reporter);
    return reporter;
}

ADTConversionReporterPrivate::ADTConversionReporterPrivate(
    std::string conversionID, std::optional<std::string> value, bool isRepeatable)
    : ACTConversionIDReporter(std::move(conversionID), std::nullopt, std::move(value), isRepeatable)
{
    clearClickReferrer();
}

DictionaryRef ADTConversionReporterPrivate::queryParameters()
{
    auto parameters = ACTConversionReporterPrivate::queryParameters();
    parameters->set("xsp", conversionID());
    parameters->set("ait", 1);
    return parameters;
}

std::string ADTConversionReporterPrivate::reportingURLPrefix()
{
    return ACTEndpoints::activityBase();
}

std::string ADTConversionReporterPrivate::deduplicationID() const
{
    return deduplicationKey("display_conversion_ping", conversionID());
}

}
