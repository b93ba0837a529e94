#pragma once

#include "conversion/ACTConversionReporterPrivate.h"

#include <memory>
#include <optional>
#include <string>

namespace conversion {

/// A conversion of a conversion ID, with an optional label, pinged to the conversion-tracking service at
/// "<conversion base>/<escaped ID>/?". Enrols its ID in automated usage reports; its pings say whether the
/// ID is excluded from them ("usage_tracking_enabled").
class ACTConversionIDReporter : public ACTConversionReporterPrivate, public ACTAutomatedUsageReporting {
public:
    /// A reporter, or nullptr for an empty conversion ID.
    static std::shared_ptr<ACTConversionIDReporter> make(const std::string& conversionID,
        std::optional<std::string> label, std::optional<std::string> value, bool isRepeatable);

    /// Made by make() only (public for std::make_shared).
    ACTConversionIDReporter(std::string conversionID, std::optional<std::string> label,
        std::optional<std::string> value, bool isRepeatable);

    /// The base's, "usage_tracking_enabled" ("0" when the ID is excluded, else "1") and "label" when set.
    platform::foundation::DictionaryRef queryParameters() override;
    std::string reportingURLPrefix() override;
    std::optional<std::string> automatedUsageConversionID() const override { return m_conversionID; }
    std::string className() const override { return "ACTConversionIDReporter"; }

    const std::string& conversionID() const { return m_conversionID; }
    const std::optional<std::string>& label() const { return m_label; }

protected:
    /// "marquee_conversion_ping:<label>" for a labelled conversion; an unlabelled one is known by its
    /// conversion ID, "marquee_conversion_ping:(null):<conversion ID>", so that two of them do not share one
    /// key.
    std::string deduplicationID() const override;

private:
    std::string m_conversionID;
    std::optional<std::string> m_label;
};

/// A conversion counted by the activity service: the conversion-ID reporter without label, click referrer
/// or usage-tracking flag, pinged to the activity base with ";" between parameters and "xsp" (the ID) and
/// "ait" (1) added. Enrols nothing.
class ADTConversionReporterPrivate : public ACTConversionIDReporter {
public:
    /// A reporter, or nullptr for an empty conversion ID.
    static std::shared_ptr<ADTConversionReporterPrivate> make(
        const std::string& conversionID, std::optional<std::string> value, bool isRepeatable);

    /// Made by make() only (public for std::make_shared).
    ADTConversionReporterPrivate(
        std::string conversionID, std::optional<std::string> value, bool isRepeatable);

    platform::foundation::DictionaryRef queryParameters() override;
    std::string queryParameterSeparator() override { return ";"; }
    std::string reportingURLPrefix() override;
    std::optional<std::string> automatedUsageConversionID() const override { return std::nullopt; }
    std::string className() const override { return "ADTConversionReporterPrivate"; }

protected:
    std::string deduplicationID() const override;
};

}
