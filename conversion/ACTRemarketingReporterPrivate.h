#pragma once

#include "conversion/ACTReporterPrivate.h"

#include "platform/foundation/Value.h"

#include <memory>
#include <string>

namespace conversion {

/// A remarketing visit of a conversion ID with custom parameters, pinged to
/// "<conversion base>/<escaped ID>/?" every time it is reported. Enrols its ID in automated usage
/// reports.
class ACTRemarketingReporterPrivate : public ACTReporterPrivate,
                                      public ACTReportingInfoDelegate,
                                      public ACTPingerDelegate,
                                      public ACTAutomatedUsageReporting {
public:
    /// A reporter, or nullptr for an empty conversion ID. The parameters are copied.
    static std::shared_ptr<ACTRemarketingReporterPrivate> make(
        const std::string& conversionID, const platform::foundation::DictionaryRef& customParameters);

    /// Made by make() only (public for std::make_shared).
    ACTRemarketingReporterPrivate(
        std::string conversionID, const platform::foundation::DictionaryRef& customParameters);

    bool shouldReport() override { return true; }
    /// "lat", "remarketing_only" (1), "usage_tracking_enabled" and each custom parameter under "data." and
    /// its key.
    platform::foundation::DictionaryRef queryParameters() override;
    std::string queryParameterSeparator() override { return "&"; }
    std::string reportingURLPrefix() override;
    void pingDidSucceed(ACTPinger&) override { }
    void pingDidFail(ACTPinger&, const std::optional<platform::foundation::Error>&) override { }
    std::optional<std::string> automatedUsageConversionID() const override { return m_conversionID; }
    std::string className() const override { return "ACTRemarketingReporterPrivate"; }

    const std::string& conversionID() const { return m_conversionID; }
    const platform::foundation::DictionaryRef& parameters() const { return m_parameters; }
    /// Seconds since 1970; 0 when unset.
    double timestamp() const { return m_timestamp; }
    void setTimestamp(double timestamp) { m_timestamp = timestamp; }

private:
    platform::foundation::DictionaryRef m_parameters;
    std::string m_conversionID;
    double m_timestamp { 0 };
};

/// The hourly automated usage ping of a conversion ID: the remarketing ping without custom parameters or
/// "remarketing_only", stamped with the end of the usage interval it reports ("timestamp"), with "auto" and
/// "usage_tracking_enabled" both "1".
class ACTAutomatedUsageReporterPrivate : public ACTRemarketingReporterPrivate {
public:
    /// A reporter, or nullptr for an empty conversion ID.
    static std::shared_ptr<ACTAutomatedUsageReporterPrivate> make(const std::string& conversionID);

    /// Made by make() only (public for std::make_shared).
    explicit ACTAutomatedUsageReporterPrivate(std::string conversionID);

    platform::foundation::DictionaryRef queryParameters() override;
    std::string className() const override { return "ACTAutomatedUsageReporterPrivate"; }
};

}
