#pragma once

#include "kit/analytics/EMBTallyPredefinedEvent.h"

#include <optional>
#include <string>

namespace kit {

// The twelve predefined event types. Each takes its values in the order given and adds them, in that order,
// as its predefined attributes; a value given as nullopt or null is left out. Texts are added as given,
// success flags as "true" or "false", prices in millionths, and ratings and item counts as their integer
// part; the last argument is always the caller's custom attributes (may be null).

using EMBTallyText = std::optional<std::string>;
using EMBTallyPrice = std::optional<platform::foundation::DecimalNumber>;
using EMBTallyAttributes = platform::foundation::DictionaryRef;

/// "sign_up": "success", "method".
class EMBTallySignUpEvent final : public EMBTallyPredefinedEvent {
public:
    EMBTallySignUpEvent(const EMBTallyText& method, std::optional<bool> success,
        const EMBTallyAttributes& customAttributes = nullptr);
};

/// "login": "success", "method".
class EMBTallyLoginEvent final : public EMBTallyPredefinedEvent {
public:
    EMBTallyLoginEvent(const EMBTallyText& method, std::optional<bool> success,
        const EMBTallyAttributes& customAttributes = nullptr);
};

/// "share": "method", "content_name", "content_type", "content_id".
class EMBTallyShareEvent final : public EMBTallyPredefinedEvent {
public:
    EMBTallyShareEvent(const EMBTallyText& method, const EMBTallyText& contentName,
        const EMBTallyText& contentType, const EMBTallyText& contentId,
        const EMBTallyAttributes& customAttributes = nullptr);
};

/// "invite": "method".
class EMBTallyInviteEvent final : public EMBTallyPredefinedEvent {
public:
    explicit EMBTallyInviteEvent(
        const EMBTallyText& method, const EMBTallyAttributes& customAttributes = nullptr);
};

/// "purchase": "item_price", "currency", "success", "item_name", "item_id", "item_type".
class EMBTallyPurchaseEvent final : public EMBTallyPredefinedEvent {
public:
    EMBTallyPurchaseEvent(const EMBTallyPrice& price, const EMBTallyText& currency,
        std::optional<bool> success, const EMBTallyText& itemName, const EMBTallyText& itemId,
        const EMBTallyText& itemType, const EMBTallyAttributes& customAttributes = nullptr);
};

/// "level_start": "level_name".
class EMBTallyLevelStartEvent final : public EMBTallyPredefinedEvent {
public:
    explicit EMBTallyLevelStartEvent(
        const EMBTallyText& levelName, const EMBTallyAttributes& customAttributes = nullptr);
};

/// "level_end": "level_name", "score" (the number as given), "success".
class EMBTallyLevelEndEvent final : public EMBTallyPredefinedEvent {
public:
    EMBTallyLevelEndEvent(const EMBTallyText& levelName, const platform::foundation::Value& score,
        std::optional<bool> success, const EMBTallyAttributes& customAttributes = nullptr);
};

/// "add_to_cart": "item_price", "currency", "item_name", "item_type", "item_id".
class EMBTallyAddToCartEvent final : public EMBTallyPredefinedEvent {
public:
    EMBTallyAddToCartEvent(const EMBTallyPrice& price, const EMBTallyText& currency,
        const EMBTallyText& itemName, const EMBTallyText& itemType, const EMBTallyText& itemId,
        const EMBTallyAttributes& customAttributes = nullptr);
};

/// "start_checkout": "total_price", "currency", "item_count".
class EMBTallyStartCheckoutEvent final : public EMBTallyPredefinedEvent {
public:
    EMBTallyStartCheckoutEvent(const EMBTallyPrice& price, const EMBTallyText& currency,
        const platform::foundation::Value& itemCount, const EMBTallyAttributes& customAttributes = nullptr);
};

/// "rating": "rating", "content_name", "content_type", "content_id".
class EMBTallyRateEvent final : public EMBTallyPredefinedEvent {
public:
    EMBTallyRateEvent(const platform::foundation::Value& rating, const EMBTallyText& contentName,
        const EMBTallyText& contentType, const EMBTallyText& contentId,
        const EMBTallyAttributes& customAttributes = nullptr);
};

/// "content_view": "content_name", "content_type", "content_id".
class EMBTallyContentViewEvent final : public EMBTallyPredefinedEvent {
public:
    EMBTallyContentViewEvent(const EMBTallyText& contentName, const EMBTallyText& contentType,
        const EMBTallyText& contentId, const EMBTallyAttributes& customAttributes = nullptr);
};

/// "search": "query".
class EMBTallySearchEvent final : public EMBTallyPredefinedEvent {
public:
    explicit EMBTallySearchEvent(
        const EMBTallyText& query, const EMBTallyAttributes& customAttributes = nullptr);
};

}
