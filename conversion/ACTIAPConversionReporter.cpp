#include "conversion/ACTIAPConversionReporter.h"

#include "conversion/ACTEndpoints.h"

#include "platform/foundation/Dictionary.h"

namespace conversion {

std::shared_ptr<ACTIAPConversionReporter> ACTIAPConversionReporter::make(
    const std::string& productID, std::optional<std::string> value, bool isRepeatable)
{
    if (productID.empty())
        return nullptr;
    auto reporter = std::make_shared<ACTIAPConversionReporter>(productID, std::move(value), isRepeatable);
    reporter->setReportingInfoDelegate(reporter);
    reporter->setPingerDelegate(reporter);
    return reporter;
}

ACTIAPConversionReporter::ACTIAPConversionReporter(
    std::string productID, std::optional<std::string> value, bool isRepeatable)
    : ACTConversionReporterPrivate(std::move(value), productID, isRepeatable)
    , m_productID(std::move(productID))
{
}

platform::foundation::DictionaryRef ACTIAPConversionReporter::queryParameters()
{
    auto parameters = ACTConversionReporterPrivate::queryParameters();
    parameters->set("sku", m_productID);
    return parameters;
}

std::string ACTIAPConversionReporter::reportingURLPrefix()
{
    return ACTEndpoints::conversionBase() + "/?";
}

std::string ACTIAPConversionReporter::deduplicationID() const
{
    return deduplicationKey("marquee_iap_ping", m_productID);
}

}
