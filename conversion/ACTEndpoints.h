#pragma once

#include <string>

namespace conversion {

/// Where the pings go. Each root is a build setting (ZORVIK_CONVERSION_URL, ZORVIK_ACTIVITY_URL) that the
/// environment variable of the same name overrides, read at every ping.
class ACTEndpoints {
public:
    /// The conversion base: the conversion-tracking service's root followed by "/pagead/conversion".
    static std::string conversionBase();
    /// The activity base: the activity service's root followed by "/activity;".
    static std::string activityBase();
};

}
