#pragma once

#include <string_view>

namespace conversion {

/// The tracker's lines in the system log, each beginning "<Marquee> ".
class ACTLog {
public:
    /// Writes "<Marquee> <message>".
    static void logPublicMessage(std::string_view message);
    /// Writes "<Marquee> <className>: <message>".
    static void logPublicMessage(std::string_view message, std::string_view className);
};

}
