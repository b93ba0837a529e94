#pragma once

#include "conversion/ACTReporterPrivate.h"

#include "platform/foundation/Value.h"

#include <optional>
#include <string>

namespace conversion {

/// The base of the conversion kinds: a value, whether the conversion may be pinged more than once, and the
/// click referrer stored for the reporter's referrer key suffix (its conversion or product ID). A
/// conversion that is not repeatable is pinged until one ping succeeds: the success is remembered in the
/// standard defaults under the kind's deduplication ID.
///
/// Also keeps the click referrers (the ad-click identifiers an opening URL carries) in the standard
/// defaults: at most kMaxReferrerKeys distinct keys, ever.
class ACTConversionReporterPrivate : public ACTReporterPrivate,
                                     public ACTReportingInfoDelegate,
                                     public ACTPingerDelegate {
public:
    /// The prefix of a referrer's key in the standard defaults.
    static constexpr const char* kReferrerKeyPrefix { "marquee_conversion_click_referrer" };
    /// The standard defaults' key of the count of referrer keys stored.
    static constexpr const char* kReferrerCountKey { "marquee_conversion_click_referrer_count" };
    /// Distinct referrer keys stored at most.
    static constexpr std::int64_t kMaxReferrerKeys { 100 };

    /// The standard defaults' key of the referrer for `suffix`: "marquee_conversion_click_referrer:<suffix>".
    static std::string clickReferrerUserDefaultKey(const std::string& suffix);
    /// Stores {"mclid", "ai"} of `components` under the key for its "conv"; false (nothing stored) unless
    /// all three are non-empty strings, or when the key is new and kMaxReferrerKeys keys are stored.
    static bool saveReferrerComponents(const platform::foundation::DictionaryRef& components);
    /// The referrer stored for `suffix`, or null (always for an empty suffix).
    static platform::foundation::DictionaryRef referrerComponentsForReferrerKeyWithSuffix(
        const std::string& suffix);

    /// Rule of the conversion kinds: yes when repeatable, else unless a ping of the deduplication ID
    /// succeeded before ("already sent successful ping." logged).
    bool shouldReport() override;
    /// "lat", then "value" when set, and "mclid" and "ai" when both are non-empty.
    platform::foundation::DictionaryRef queryParameters() override;
    std::string queryParameterSeparator() override { return "&"; }
    /// Remembers the success of a conversion that is not repeatable.
    void pingDidSucceed(ACTPinger& pinger) override;
    void pingDidFail(ACTPinger&, const std::optional<platform::foundation::Error>&) override { }

    bool isRepeatable() const { return m_isRepeatable; }
    const std::optional<std::string>& value() const { return m_value; }
    void setValue(std::optional<std::string> value) { m_value = std::move(value); }
    const std::optional<std::string>& clickID() const { return m_clickID; }
    const std::optional<std::string>& clickString() const { return m_clickString; }

protected:
    /// A reporter for a non-empty `referrerKeySuffix` (callers check), loading the suffix's referrer.
    ACTConversionReporterPrivate(
        std::optional<std::string> value, const std::string& referrerKeySuffix, bool isRepeatable);

    /// The standard defaults' key remembering a successful ping of this conversion.
    virtual std::string deduplicationID() const = 0;
    /// Forgets the click referrer.
    void clearClickReferrer();

private:
    bool m_isRepeatable { true };
    std::optional<std::string> m_value;
    std::optional<std::string> m_clickID;
    std::optional<std::string> m_clickString;
};

/// "<prefix>:<name>", an absent name written "(null)": the deduplication IDs' form.
std::string deduplicationKey(const char* prefix, const std::optional<std::string>& name);

}
