#include "conversion/ADTActivityReporterPrivate.h"

#include "conversion/ACTDevice.h"
#include "conversion/ACTEndpoints.h"

#include "platform/foundation/Dictionary.h"

namespace conversion {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;

std::shared_ptr<const ADTActivityRequest> ADTActivityRequest::requestWithAdUnitID(std::string adUnitID,
    std::optional<std::string> publisherProvidedID, const DictionaryRef& customParameters)
{
    return std::make_shared<const ADTActivityRequest>(std::move(adUnitID), std::move(publisherProvidedID),
        customParameters ? customParameters->deepCopy() : nullptr);
}

ADTActivityRequest::ADTActivityRequest(
    std::string adUnitID, std::optional<std::string> publisherProvidedID, DictionaryRef customParameters)
    : m_adUnitID(std::move(adUnitID))
    , m_publisherProvidedID(std::move(publisherProvidedID))
    , m_customParameters(std::move(customParameters))
{
}

std::shared_ptr<ADTActivityReporterPrivate> ADTActivityReporterPrivate::make(
    std::shared_ptr<const ADTActivityRequest> request)
{
    auto reporter = std::make_shared<ADTActivityReporterPrivate>(std::move(request));
    reporter->setReportingInfoDelegate(reporter);
    return reporter;
}

ADTActivityReporterPrivate::ADTActivityReporterPrivate(std::shared_ptr<const ADTActivityRequest> request)
    : m_request(std::move(request))
{
}

DictionaryRef ADTActivityReporterPrivate::commonQueryParameters() const
{
    return Dictionary::make();
}

DictionaryRef ADTActivityReporterPrivate::queryParameters()
{
    auto parameters
        = m_request->customParameters() ? m_request->customParameters()->deepCopy() : Dictionary::make();
    auto& device = ACTDevice::currentDevice();
    parameters->set("dc_iu", m_request->adUnitID());
    if (m_request->publisherProvidedID())
        parameters->set("dc_ppid", *m_request->publisherProvidedID());
    if (auto identifier = device.resettableDeviceID())
        parameters->set("dc_rdid", *identifier);
    parameters->set("dc_lat", device.limitsAdTracking() ? "1" : "0");
    return parameters;
}

std::string ADTActivityReporterPrivate::reportingURLPrefix()
{
    return ACTEndpoints::activityBase();
}

}
