#include "ZorvikAPI/models/ReferenceNumberSystems/Reference.h"
#include "platform/foundation/Dictionary.h"

#include <stdexcept>

namespace zorvik::api {

using platform::foundation::Dictionary;

Reference::Reference(platform::foundation::DictionaryRef record)
    : m_record(std::move(record))
{
    if (!m_record)
        throw std::invalid_argument("A reference view needs a record");
}

Reference Reference::referenceWithPrefix(std::string_view prefix, std::string_view counter)
{
    return Reference(Dictionary::make({ { "prefix", prefix }, { "counter", counter } }));
}

std::string Reference::prefix() const
{
    return m_record->get("prefix").stringValue();
}

std::string Reference::counter() const
{
    return m_record->get("counter").stringValue();
}

std::int64_t Reference::counterValue() const
{
    return m_record->get("counter").integerValue();
}

std::string Reference::stringValue() const
{
    return prefix() + counter();
}

}
