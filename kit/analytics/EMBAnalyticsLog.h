#pragma once

#include "platform/foundation/Error.h"

#include <optional>
#include <string>
#include <string_view>

namespace kit {

/// The analytics kit's log lines, all beginning with "[Ember:Tally]": write() always reaches the system log
/// (what a developer must see, such as a refused attribute), progress() only in the kit platform's debug
/// mode.
class EMBAnalyticsLog {
public:
    /// The prefix of every line.
    static constexpr const char* kPrefix { "[Ember:Tally]" };

    static void write(std::string_view message);
    /// Logs `message` in debug mode only.
    static void progress(std::string_view message);
    /// `error` as the log lines show it: its description, or "(null)" for none.
    static std::string describe(const std::optional<platform::foundation::Error>& error);
};

}
