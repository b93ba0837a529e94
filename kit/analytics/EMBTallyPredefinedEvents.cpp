#include "kit/analytics/EMBTallyPredefinedEvents.h"

namespace kit {

using platform::foundation::Value;

namespace {

Value text(const EMBTallyText& value)
{
    return value ? Value(*value) : Value();
}

}

EMBTallySignUpEvent::EMBTallySignUpEvent(
    const EMBTallyText& method, std::optional<bool> success, const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallySignUpEvent", "sign_up", customAttributes)
{
    addPredefinedString(serializeSuccess(success), "success");
    addPredefinedString(text(method), "method");
}

EMBTallyLoginEvent::EMBTallyLoginEvent(
    const EMBTallyText& method, std::optional<bool> success, const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallyLoginEvent", "login", customAttributes)
{
    addPredefinedString(serializeSuccess(success), "success");
    addPredefinedString(text(method), "method");
}

EMBTallyShareEvent::EMBTallyShareEvent(const EMBTallyText& method, const EMBTallyText& contentName,
    const EMBTallyText& contentType, const EMBTallyText& contentId,
    const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallyShareEvent", "share", customAttributes)
{
    addPredefinedString(text(method), "method");
    addPredefinedString(text(contentName), "content_name");
    addPredefinedString(text(contentType), "content_type");
    addPredefinedString(text(contentId), "content_id");
}

EMBTallyInviteEvent::EMBTallyInviteEvent(
    const EMBTallyText& method, const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallyInviteEvent", "invite", customAttributes)
{
    addPredefinedString(text(method), "method");
}

EMBTallyPurchaseEvent::EMBTallyPurchaseEvent(const EMBTallyPrice& price, const EMBTallyText& currency,
    std::optional<bool> success, const EMBTallyText& itemName, const EMBTallyText& itemId,
    const EMBTallyText& itemType, const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallyPurchaseEvent", "purchase", customAttributes)
{
    addPredefinedNumber(serializePriceToMicros(price), "item_price");
    addPredefinedString(text(currency), "currency");
    addPredefinedString(serializeSuccess(success), "success");
    addPredefinedString(text(itemName), "item_name");
    addPredefinedString(text(itemId), "item_id");
    addPredefinedString(text(itemType), "item_type");
}

EMBTallyLevelStartEvent::EMBTallyLevelStartEvent(
    const EMBTallyText& levelName, const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallyLevelStartEvent", "level_start", customAttributes)
{
    addPredefinedString(text(levelName), "level_name");
}

EMBTallyLevelEndEvent::EMBTallyLevelEndEvent(const EMBTallyText& levelName, const Value& score,
    std::optional<bool> success, const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallyLevelEndEvent", "level_end", customAttributes)
{
    addPredefinedString(text(levelName), "level_name");
    addPredefinedNumber(score, "score");
    addPredefinedString(serializeSuccess(success), "success");
}

EMBTallyAddToCartEvent::EMBTallyAddToCartEvent(const EMBTallyPrice& price, const EMBTallyText& currency,
    const EMBTallyText& itemName, const EMBTallyText& itemType, const EMBTallyText& itemId,
    const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallyAddToCartEvent", "add_to_cart", customAttributes)
{
    addPredefinedNumber(serializePriceToMicros(price), "item_price");
    addPredefinedString(text(currency), "currency");
    addPredefinedString(text(itemName), "item_name");
    addPredefinedString(text(itemType), "item_type");
    addPredefinedString(text(itemId), "item_id");
}

EMBTallyStartCheckoutEvent::EMBTallyStartCheckoutEvent(const EMBTallyPrice& price,
    const EMBTallyText& currency, const Value& itemCount, const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallyStartCheckoutEvent", "start_checkout", customAttributes)
{
    addPredefinedNumber(serializePriceToMicros(price), "total_price");
    addPredefinedString(text(currency), "currency");
    addPredefinedNumber(serializeNSNumberAsInteger(itemCount), "item_count");
}

EMBTallyRateEvent::EMBTallyRateEvent(const Value& rating, const EMBTallyText& contentName,
    const EMBTallyText& contentType, const EMBTallyText& contentId,
    const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallyRateEvent", "rating", customAttributes)
{
    addPredefinedNumber(serializeNSNumberAsInteger(rating), "rating");
    addPredefinedString(text(contentName), "content_name");
    addPredefinedString(text(contentType), "content_type");
    addPredefinedString(text(contentId), "content_id");
}

EMBTallyContentViewEvent::EMBTallyContentViewEvent(const EMBTallyText& contentName,
    const EMBTallyText& contentType, const EMBTallyText& contentId,
    const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallyContentViewEvent", "content_view", customAttributes)
{
    addPredefinedString(text(contentName), "content_name");
    addPredefinedString(text(contentType), "content_type");
    addPredefinedString(text(contentId), "content_id");
}

EMBTallySearchEvent::EMBTallySearchEvent(
    const EMBTallyText& query, const EMBTallyAttributes& customAttributes)
    : EMBTallyPredefinedEvent("EMBTallySearchEvent", "search", customAttributes)
{
    addPredefinedString(text(query), "query");
}

}
