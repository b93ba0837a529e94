#pragma once

#include "platform/foundation/Value.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace conversion {

class ACTConversionReporterPrivate;
class ACTReporterPrivate;
class ACTRemarketingReporterPrivate;

/// The public face of a reporter: it holds the private reporter that builds and sends its kind of ping.
/// Making one enrols the private reporter's conversion ID, if it names one, in automated usage reports (on
/// the main queue). Each subclass's make() answers nullptr where its private reporter refuses to exist (an
/// empty ID). Use on the main thread.
class ACTReporter {
public:
    virtual ~ACTReporter() = default;

    /// Sends the ping, unless the platform has no advertising-identifier manager (logged) or the private
    /// reporter refuses. True when a ping was started.
    bool report();

    /// The tracker's version, "ct-sdk-i-v3.2.0".
    static std::string SDKVersion();
    /// Enrols the conversion ID `reporter` names for automated usage, if any, on the main queue later.
    static void trackUsageWithReporter(const std::shared_ptr<ACTReporterPrivate>& reporter);

    const std::shared_ptr<ACTReporterPrivate>& reporter() const { return m_reporter; }

protected:
    /// Enrols `reporter`'s conversion ID (trackUsageWithReporter()), then keeps it; it must not be null.
    explicit ACTReporter(std::shared_ptr<ACTReporterPrivate> reporter);

private:
    std::shared_ptr<ACTReporterPrivate> m_reporter;
};

/// A conversion of a conversion ID, or an in-app purchase of a product.
class ACTConversionReporter : public ACTReporter {
public:
    /// A conversion reporter, or nullptr for an empty conversion ID.
    static std::shared_ptr<ACTConversionReporter> make(const std::string& conversionID,
        std::optional<std::string> label, std::optional<std::string> value, bool isRepeatable);
    /// A purchase reporter, or nullptr for an empty product ID.
    static std::shared_ptr<ACTConversionReporter> makeWithProductID(
        const std::string& productID, std::optional<std::string> value, bool isRepeatable);

    /// Makes a conversion reporter and reports once.
    static void reportWithConversionID(const std::string& conversionID, std::optional<std::string> label,
        std::optional<std::string> value, bool isRepeatable);
    /// Makes a purchase reporter and reports once.
    static void reportWithProductID(
        const std::string& productID, std::optional<std::string> value, bool isRepeatable);
    /// Stores the click referrer the opening URL `url` carries; true when one was stored.
    static bool registerReferrer(std::string_view url);

    /// Made by make() only (public for std::make_shared).
    explicit ACTConversionReporter(std::shared_ptr<ACTConversionReporterPrivate> reporter);

    /// The value sent with the ping (an amount as text).
    std::optional<std::string> value() const;
    void setValue(std::optional<std::string> value);

private:
    std::shared_ptr<ACTConversionReporterPrivate> m_conversion;
};

/// A remarketing visit of a conversion ID with custom parameters.
class ACTRemarketingReporter : public ACTReporter {
public:
    /// A reporter, or nullptr for an empty conversion ID.
    static std::shared_ptr<ACTRemarketingReporter> make(
        const std::string& conversionID, const platform::foundation::DictionaryRef& customParameters);
    /// Makes a reporter and reports once.
    static void reportWithConversionID(
        const std::string& conversionID, const platform::foundation::DictionaryRef& customParameters);

    /// Made by make() only (public for std::make_shared).
    explicit ACTRemarketingReporter(std::shared_ptr<ACTReporterPrivate> reporter);
};

/// A conversion counted by the activity service.
class ADTConversionReporter : public ACTReporter {
public:
    /// A reporter, or nullptr for an empty conversion ID.
    static std::shared_ptr<ADTConversionReporter> make(
        const std::string& conversionID, std::optional<std::string> value, bool isRepeatable);
    /// Makes a reporter and reports once.
    static void reportWithConversionID(
        const std::string& conversionID, std::optional<std::string> value, bool isRepeatable);

    /// Made by make() only (public for std::make_shared).
    explicit ADTConversionReporter(std::shared_ptr<ACTConversionReporterPrivate> reporter);

    /// The value sent with the ping (an amount as text).
    std::optional<std::string> value() const;
    void setValue(std::optional<std::string> value);

private:
    std::shared_ptr<ACTConversionReporterPrivate> m_conversion;
};

/// An activity on an ad unit.
class ADTActivityReporter : public ACTReporter {
public:
    /// A reporter, or nullptr for an empty ad unit ID (a ping needs one).
    static std::shared_ptr<ADTActivityReporter> make(const std::string& adUnitID,
        std::optional<std::string> publisherProvidedID,
        const platform::foundation::DictionaryRef& customParameters);
    /// Makes a reporter and reports once.
    static void reportWithAdUnitID(const std::string& adUnitID,
        std::optional<std::string> publisherProvidedID,
        const platform::foundation::DictionaryRef& customParameters);

    /// Made by make() only (public for std::make_shared).
    explicit ADTActivityReporter(std::shared_ptr<ACTReporterPrivate> reporter);
};

/// The automated usage ping of a conversion ID (made by the automated usage tracker).
class ACTAutomatedUsageReporter : public ACTReporter {
public:
    /// A reporter, or nullptr for an empty conversion ID.
    static std::shared_ptr<ACTAutomatedUsageReporter> make(const std::string& conversionID);

    /// Made by make() only (public for std::make_shared).
    explicit ACTAutomatedUsageReporter(std::shared_ptr<ACTRemarketingReporterPrivate> reporter);

    /// The end of the usage interval the ping reports (seconds since 1970; 0 when unset).
    double timestamp() const;
    void setTimestamp(double timestamp);

private:
    std::shared_ptr<ACTRemarketingReporterPrivate> m_usage;
};

}
