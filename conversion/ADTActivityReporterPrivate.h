#pragma once

#include "conversion/ACTReporterPrivate.h"

#include "platform/foundation/Value.h"

#include <memory>
#include <optional>
#include <string>

namespace conversion {

/// What an activity ping reports: an ad unit, the publisher's own ID for the user, custom parameters.
/// Immutable: the values are copied in.
class ADTActivityRequest {
public:
    /// A request of the three values.
    static std::shared_ptr<const ADTActivityRequest> requestWithAdUnitID(std::string adUnitID,
        std::optional<std::string> publisherProvidedID,
        const platform::foundation::DictionaryRef& customParameters);

    /// Made by requestWithAdUnitID() only (public for std::make_shared).
    ADTActivityRequest(std::string adUnitID, std::optional<std::string> publisherProvidedID,
        platform::foundation::DictionaryRef customParameters);

    const std::string& adUnitID() const { return m_adUnitID; }
    const std::optional<std::string>& publisherProvidedID() const { return m_publisherProvidedID; }
    /// Never shared with the caller's dictionary; null when none was given.
    const platform::foundation::DictionaryRef& customParameters() const { return m_customParameters; }

private:
    std::string m_adUnitID;
    std::optional<std::string> m_publisherProvidedID;
    platform::foundation::DictionaryRef m_customParameters;
};

/// An activity, pinged to the activity base with ";" between parameters: the request's custom parameters
/// under their own keys, "dc_iu", "dc_ppid", "dc_rdid" and "dc_lat", none of the common parameters. Needs the
/// device's advertising identifier; hears nothing of the ping's outcome.
class ADTActivityReporterPrivate : public ACTReporterPrivate, public ACTReportingInfoDelegate {
public:
    /// A reporter of `request`.
    static std::shared_ptr<ADTActivityReporterPrivate> make(
        std::shared_ptr<const ADTActivityRequest> request);

    /// Made by make() only (public for std::make_shared).
    explicit ADTActivityReporterPrivate(std::shared_ptr<const ADTActivityRequest> request);

    /// No common parameters: an empty set.
    platform::foundation::DictionaryRef commonQueryParameters() const override;
    bool shouldReport() override { return true; }
    platform::foundation::DictionaryRef queryParameters() override;
    std::string queryParameterSeparator() override { return ";"; }
    std::string reportingURLPrefix() override;
    std::string className() const override { return "ADTActivityReporterPrivate"; }

    const std::shared_ptr<const ADTActivityRequest>& request() const { return m_request; }

protected:
    bool requiresDeviceIdentifier() const override { return true; }

private:
    std::shared_ptr<const ADTActivityRequest> m_request;
};

}
