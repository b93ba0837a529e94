#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kit {

class EMBEventLogEvent;

/// Decides which events an installation leaves out when the kit settings sample analytics: with a sampling
/// factor of n, only about one installation in n reports its application lifecycle events (launches,
/// terminations, crashes, memory warnings, moves between foreground and background, activation), and
/// which installations those are depends only on their identifiers, so an installation reports them always
/// or never. Every other event (installation, screens, metadata, custom and predefined events) is kept.
class EMBAnalyticsEventFilter {
public:
    EMBAnalyticsEventFilter() = delete;

    /// Whether `event` is to be left out: always when there is none, never with a beta token; otherwise when
    /// its key is sampled and the installation `installationID` is sampled out by `factor`.
    static bool shouldDiscardEvent(const EMBEventLogEvent* event, const std::optional<std::string>& betaToken,
        const std::optional<std::string>& installationID, std::int64_t factor);

    /// Whether events with the key `eventType` are sampled.
    static bool samplingEnabledForEventType(std::string_view eventType);

    /// Whether the installation `installationID` is sampled out by `factor`: never without an identifier or
    /// with a factor below 2; otherwise unless the identifier's hash, read as a signed 32-bit number, is a
    /// multiple of the factor.
    static bool shouldDiscardEventWithInstallationID(
        const std::optional<std::string>& installationID, std::int64_t factor);

    /// The hash of the text's UTF-16 code units: h = h × 31 + unit over them in order from 0, wrapping at
    /// 32 bits. Ill-formed UTF-8 counts as U+FFFD.
    static std::uint32_t javaHashCodeForString(std::string_view text);
};

}
