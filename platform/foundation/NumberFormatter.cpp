#include "platform/foundation/NumberFormatter.h"

#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/IcuText.h"

#include <unicode/decimfmt.h>
#include <unicode/fmtable.h>
#include <unicode/numfmt.h>

namespace platform::foundation {

struct NumberFormatter::Implementation {
    std::unique_ptr<icu::NumberFormat> formatter;
};

NumberFormatter::NumberFormatter(Style style)
    : NumberFormatter(style, DeviceEnvironment::localeIdentifier())
{
}

NumberFormatter::NumberFormatter(Style style, std::string_view localeIdentifier)
    : m_implementation(std::make_unique<Implementation>())
{
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale locale = icutext::locale(localeIdentifier);
    std::unique_ptr<icu::NumberFormat> formatter(style == Style::Currency
            ? icu::NumberFormat::createCurrencyInstance(locale, status)
            : icu::NumberFormat::createInstance(locale, status));
    if (U_FAILURE(status) || !formatter)
        return;
    if (style == Style::Plain) {
        formatter->setGroupingUsed(false);
        formatter->setMaximumFractionDigits(0);
    }
    m_implementation->formatter = std::move(formatter);
}

NumberFormatter::~NumberFormatter() = default;
NumberFormatter::NumberFormatter(NumberFormatter&&) noexcept = default;
NumberFormatter& NumberFormatter::operator=(NumberFormatter&&) noexcept = default;

NumberFormatter NumberFormatter::poundsFormatter()
{
    NumberFormatter formatter(Style::Currency, "en_GB");
    formatter.setMinimumFractionDigits(2);
    formatter.setMaximumFractionDigits(2);
    return formatter;
}

void NumberFormatter::setMinimumFractionDigits(int digits)
{
    if (m_implementation->formatter)
        m_implementation->formatter->setMinimumFractionDigits(digits);
}

void NumberFormatter::setMaximumFractionDigits(int digits)
{
    if (m_implementation->formatter)
        m_implementation->formatter->setMaximumFractionDigits(digits);
}

void NumberFormatter::setUsesGrouping(bool usesGrouping)
{
    if (m_implementation->formatter)
        m_implementation->formatter->setGroupingUsed(usesGrouping);
}

std::string NumberFormatter::format(double value) const
{
    if (!m_implementation->formatter)
        return {};
    icu::UnicodeString text;
    m_implementation->formatter->format(value, text);
    return icutext::toUtf8(text);
}

std::string NumberFormatter::formatScaled(std::int64_t units, int scale) const
{
    if (!m_implementation->formatter)
        return {};
    // The decimal text of the exact value, such as "-1234.56", which ICU
    // formats as a decimal number rather than a double.
    bool negative = units < 0;
    std::string digits = std::to_string(units);
    if (negative)
        digits.erase(0, 1);
    if (scale > 0) {
        auto places = static_cast<std::size_t>(scale);
        if (digits.size() <= places)
            digits.insert(0, places + 1 - digits.size(), '0');
        digits.insert(digits.size() - places, ".");
    } else if (scale < 0) {
        digits.append(static_cast<std::size_t>(-scale), '0');
    }
    if (negative)
        digits.insert(0, "-");
    UErrorCode status = U_ZERO_ERROR;
    icu::Formattable number(icu::StringPiece(digits.c_str()), status);
    if (U_FAILURE(status))
        return {};
    icu::UnicodeString text;
    icu::FieldPosition position;
    m_implementation->formatter->format(number, text, position, status);
    return U_SUCCESS(status) ? icutext::toUtf8(text) : std::string();
}

}
