#pragma once

#include "kit/analytics/EMBTallyEvent.h"

namespace kit {

/// An event the host program names itself: key "custom", metadata {"custom_type": the name cut to 100
/// UTF-16 units}, the caller's attributes validated.
class EMBTallyCustomEvent final : public EMBTallyEvent {
public:
    static constexpr const char* kKey { "custom" };

    /// The event `name` with `customAttributes` (may be null).
    explicit EMBTallyCustomEvent(
        const std::string& name, const platform::foundation::DictionaryRef& customAttributes = nullptr);

    /// "EMBTallyCustomEvent { <custom attributes> }".
    std::string description() const override;
};

}
