#include "conversion/ACTReporter.h"

#include "conversion/ACTApplication.h"
#include "conversion/ACTAutomatedUsageTracker.h"
#include "conversion/ACTConversionIDReporter.h"
#include "conversion/ACTDevice.h"
#include "conversion/ACTIAPConversionReporter.h"
#include "conversion/ACTLog.h"
#include "conversion/ACTQueryParameters.h"
#include "conversion/ACTRemarketingReporterPrivate.h"
#include "conversion/ACTSDKVersion.h"
#include "conversion/ADTActivityReporterPrivate.h"

#include "platform/foundation/MainQueue.h"

namespace conversion {

using platform::foundation::DictionaryRef;

ACTReporter::ACTReporter(std::shared_ptr<ACTReporterPrivate> reporter)
{
    trackUsageWithReporter(reporter);
    m_reporter = std::move(reporter);
}

bool ACTReporter::report()
{
    if (!ACTDevice::currentDevice().hasIDFA()) {
        ACTLog::logPublicMessage(
            "not sending ping. The advertising identifier is not available for this device. "
            "This is expected for devices running < iOS 6.");
        return false;
    }
    return m_reporter->report();
}

std::string ACTReporter::SDKVersion()
{
    return kSDKVersion;
}

void ACTReporter::trackUsageWithReporter(const std::shared_ptr<ACTReporterPrivate>& reporter)
{
    auto enrolling = std::dynamic_pointer_cast<ACTAutomatedUsageReporting>(reporter);
    auto conversionID = enrolling ? enrolling->automatedUsageConversionID() : std::nullopt;
    if (!conversionID)
        return;
    platform::foundation::mainQueue().async([conversionID = *conversionID] {
        ACTApplication::sharedApplication()
            ->automatedUsageTracker()
            ->attemptToEnableAutomatedUsageReportingWithConversionID(conversionID);
    });
}

std::shared_ptr<ACTConversionReporter> ACTConversionReporter::make(const std::string& conversionID,
    std::optional<std::string> label, std::optional<std::string> value, bool isRepeatable)
{
    auto reporter
        = ACTConversionIDReporter::make(conversionID, std::move(label), std::move(value), isRepeatable);
    return reporter ? std::make_shared<ACTConversionReporter>(std::move(reporter)) : nullptr;
}

std::shared_ptr<ACTConversionReporter> ACTConversionReporter::makeWithProductID(
    const std::string& productID, std::optional<std::string> value, bool isRepeatable)
{
    auto reporter = ACTIAPConversionReporter::make(productID, std::move(value), isRepeatable);
    return reporter ? std::make_shared<ACTConversionReporter>(std::move(reporter)) : nullptr;
}

void ACTConversionReporter::reportWithConversionID(const std::string& conversionID,
    std::optional<std::string> label, std::optional<std::string> value, bool isRepeatable)
{
    if (auto reporter = make(conversionID, std::move(label), std::move(value), isRepeatable))
        reporter->report();
}

void ACTConversionReporter::reportWithProductID(
    const std::string& productID, std::optional<std::string> value, bool isRepeatable)
{
    if (auto reporter = makeWithProductID(productID, std::move(value), isRepeatable))
        reporter->report();
}

bool ACTConversionReporter::registerReferrer(std::string_view url)
{
    return ACTConversionReporterPrivate::saveReferrerComponents(act_clickURLReferrerComponents(url));
}

ACTConversionReporter::ACTConversionReporter(std::shared_ptr<ACTConversionReporterPrivate> reporter)
    : ACTReporter(reporter)
    , m_conversion(std::move(reporter))
{
}

std::optional<std::string> ACTConversionReporter::value() const
{
    return m_conversion->value();
}

void ACTConversionReporter::setValue(std::optional<std::string> value)
{
    m_conversion->setValue(std::move(value));
}

std::shared_ptr<ACTRemarketingReporter> ACTRemarketingReporter::make(
    const std::string& conversionID, const DictionaryRef& customParameters)
{
    auto reporter = ACTRemarketingReporterPrivate::make(conversionID, customParameters);
    return reporter ? std::make_shared<ACTRemarketingReporter>(std::move(reporter)) : nullptr;
}

void ACTRemarketingReporter::reportWithConversionID(
    const std::string& conversionID, const DictionaryRef& customParameters)
{
    if (auto reporter = make(conversionID, customParameters))
        reporter->report();
}

ACTRemarketingReporter::ACTRemarketingReporter(std::shared_ptr<ACTReporterPrivate> reporter)
    : ACTReporter(std::move(reporter))
{
}

std::shared_ptr<ADTConversionReporter> ADTConversionReporter::make(
    const std::string& conversionID, std::optional<std::string> value, bool isRepeatable)
{
    auto reporter = ADTConversionReporterPrivate::make(conversionID, std::move(value), isRepeatable);
    return reporter ? std::make_shared<ADTConversionReporter>(std::move(reporter)) : nullptr;
}

void ADTConversionReporter::reportWithConversionID(
    const std::string& conversionID, std::optional<std::string> value, bool isRepeatable)
{
    if (auto reporter = make(conversionID, std::move(value), isRepeatable))
        reporter->report();
}

ADTConversionReporter::ADTConversionReporter(std::shared_ptr<ACTConversionReporterPrivate> reporter)
    : ACTReporter(reporter)
    , m_conversion(std::move(reporter))
{
}

std::optional<std::string> ADTConversionReporter::value() const
{
    return m_conversion->value();
}

void ADTConversionReporter::setValue(std::optional<std::string> value)
{
    m_conversion->setValue(std::move(value));
}

std::shared_ptr<ADTActivityReporter> ADTActivityReporter::make(const std::string& adUnitID,
    std::optional<std::string> publisherProvidedID, const DictionaryRef& customParameters)
{
    if (adUnitID.empty())
        return nullptr;
    auto request
        = ADTActivityRequest::requestWithAdUnitID(adUnitID, std::move(publisherProvidedID), customParameters);
    return std::make_shared<ADTActivityReporter>(ADTActivityReporterPrivate::make(std::move(request)));
}

void ADTActivityReporter::reportWithAdUnitID(const std::string& adUnitID,
    std::optional<std::string> publisherProvidedID, const DictionaryRef& customParameters)
{
    if (auto reporter = make(adUnitID, std::move(publisherProvidedID), customParameters))
        reporter->report();
}

ADTActivityReporter::ADTActivityReporter(std::shared_ptr<ACTReporterPrivate> reporter)
    : ACTReporter(std::move(reporter))
{
}

std::shared_ptr<ACTAutomatedUsageReporter> ACTAutomatedUsageReporter::make(const std::string& conversionID)
{
    auto reporter = ACTAutomatedUsageReporterPrivate::make(conversionID);
    return reporter ? std::make_shared<ACTAutomatedUsageReporter>(std::move(reporter)) : nullptr;
}

ACTAutomatedUsageReporter::ACTAutomatedUsageReporter(std::shared_ptr<ACTRemarketingReporterPrivate> reporter)
    : ACTReporter(reporter)
    , m_usage(std::move(reporter))
{
}

double ACTAutomatedUsageReporter::timestamp() const
{
    return m_usage->timestamp();
}

void ACTAutomatedUsageReporter::setTimestamp(double timestamp)
{
    m_usage->setTimestamp(timestamp);
}

}
