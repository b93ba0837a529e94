#include "kit/analytics/EMBTallyCustomEvent.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

namespace kit {

using platform::foundation::Dictionary;
using platform::foundation::Value;

EMBTallyCustomEvent::EMBTallyCustomEvent(
    const std::string& name, const platform::foundation::DictionaryRef& customAttributes)
    : EMBTallyEvent(
        kKey, Dictionary::make({ { "custom_type", truncateAttribute(Value(name)) } }), customAttributes)
{
}

std::string EMBTallyCustomEvent::description() const
{
    return "EMBTallyCustomEvent { " + platform::foundation::toJson(customAttributes()) + " }";
}

}
