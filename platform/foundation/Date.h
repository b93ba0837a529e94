#pragma once

#include <compare>

namespace platform::foundation {

/// A point in time, as seconds since 1970-01-01 00:00:00 UTC. Dates carry no
/// time zone; formatting and calendar arithmetic take one.
struct Date {
    double secondsSince1970 { 0 };

    /// The date `seconds` later (earlier when negative).
    Date addingSeconds(double seconds) const { return Date { secondsSince1970 + seconds }; }

    /// Seconds from `other` to this date (positive when this one is later).
    double secondsSince(Date other) const { return secondsSince1970 - other.secondsSince1970; }

    auto operator<=>(const Date&) const = default;
};

}
