#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform::foundation {

/// Writes numbers in a locale's manner: plain ("123456"), decimal with
/// grouping ("1,234.56" in "en-GB", "1.234,56" in "de-DE"), or as money in
/// the locale's currency ("£1,234.56" in "en-GB"). One formatter is for one
/// thread at a time.
class NumberFormatter {
public:
    enum class Style {
        /// Digits only: no grouping, no fraction digits.
        Plain,
        /// Grouping and the locale's separators; up to three fraction digits unless set.
        Decimal,
        /// The locale's currency, sign and separators; the currency's fraction digits unless set.
        Currency,
    };

    /// A formatter in the device locale as it is now.
    explicit NumberFormatter(Style style);

    /// A formatter pinned to `localeIdentifier` ("en-GB" or "en_GB").
    NumberFormatter(Style style, std::string_view localeIdentifier);

    ~NumberFormatter();
    NumberFormatter(NumberFormatter&&) noexcept;
    NumberFormatter& operator=(NumberFormatter&&) noexcept;

    /// Money in pounds for whole pence: "en-GB" currency with exactly two fraction digits, so 0 reads
    /// "£0.00", 1480 reads "£14.80" and -1480 reads "-£14.80", whatever the device locale.
    static NumberFormatter poundsFormatter();

    /// The least and most digits after the decimal separator.
    void setMinimumFractionDigits(int digits);
    void setMaximumFractionDigits(int digits);

    /// Whether digits are grouped ("1,234" rather than "1234").
    void setUsesGrouping(bool usesGrouping);

    /// `value` as text, rounded half-even to the most fraction digits.
    std::string format(double value) const;

    /// The exact value units / 10^scale as text, without binary floating
    /// point on the way: formatScaled(123456, 2) is 1234.56, so pence become
    /// pounds to the penny for any 64-bit amount.
    std::string formatScaled(std::int64_t units, int scale) const;

private:
    struct Implementation;
    std::unique_ptr<Implementation> m_implementation;
};

}
