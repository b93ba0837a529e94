#pragma once

#include <cstdint>
#include <string>

namespace zorvik {

/// The two ways the app writes a sum of pence.
class CurrencyFormatter {
public:
    /// The plain pence text, as an amount reads while it is typed: "£", the digits with a point before the
    /// last two, no grouping (0 is "£0.00", 5 is "£0.05", 123456 is "£1234.56", -5 is "-£0.05").
    static std::string penceToPounds(std::int64_t pence);
    /// The "en-GB" currency text with grouping and exactly two fraction digits, exact to the penny for any
    /// amount (123456 is "£1,234.56", 5 is "£0.05").
    static std::string poundsText(std::int64_t pence);
};

}
