#include "Zorvik/Views/CurrencyControls/CurrencyFormatter.h"

#include "platform/foundation/NumberFormatter.h"

namespace zorvik {

std::string CurrencyFormatter::penceToPounds(std::int64_t pence)
{
    std::string digits = std::to_string(pence);
    std::string sign;
    if (!digits.empty() && digits.front() == '-') {
        sign = "-";
        digits.erase(0, 1);
    }
    if (digits.size() < 3)
        digits.insert(0, 3 - digits.size(), '0');
    digits.insert(digits.size() - 2, ".");
    return sign + "£" + digits;
}

std::string CurrencyFormatter::poundsText(std::int64_t pence)
{
    // Money text is written on the main thread only; one formatter serves every call there.
    thread_local const platform::foundation::NumberFormatter formatter
        = platform::foundation::NumberFormatter::poundsFormatter();
    return formatter.formatScaled(pence, 2);
}

}
