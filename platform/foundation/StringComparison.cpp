#include "platform/foundation/StringComparison.h"

#include "platform/foundation/DeviceEnvironment.h"
#include "platform/foundation/IcuText.h"

#include <unicode/coll.h>

#include <memory>

namespace platform::foundation {

int localizedCaseInsensitiveCompare(std::string_view left, std::string_view right)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(icutext::locale(DeviceEnvironment::localeIdentifier()), status));
    if (U_FAILURE(status) || !collator) {
        auto order = icutext::fromUtf8(left).caseCompare(icutext::fromUtf8(right), U_FOLD_CASE_DEFAULT);
        return order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    // Both texts are case-folded first: some locales' orders (en_US_POSIX's is the code points') tell the
    // cases apart as letters of their own, which no strength setting undoes.
    collator->setStrength(icu::Collator::SECONDARY);
    status = U_ZERO_ERROR;
    auto order
        = collator->compare(icutext::fromUtf8(left).foldCase(), icutext::fromUtf8(right).foldCase(), status);
    return order == UCOL_LESS ? -1 : order == UCOL_GREATER ? 1 : 0;
}

}
