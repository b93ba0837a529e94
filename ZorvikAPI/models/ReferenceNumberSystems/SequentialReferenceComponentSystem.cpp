#include "ZorvikAPI/models/ReferenceNumberSystems/SequentialReferenceComponentSystem.h"

#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <cstdio>
#include <limits>

namespace zorvik::api {

using platform::foundation::Array;
using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;

namespace {

/// `value` in decimal, padded with leading zeros to `width` characters (a longer number keeps all its
/// digits; width 0 gives the bare number).
std::string paddedCounter(std::int64_t value, std::size_t width)
{
    char digits[32];
    int length = std::snprintf(digits, sizeof digits, "%0*lld",
        static_cast<int>(std::min<std::size_t>(width, 30)), static_cast<long long>(value));
    std::string counter(digits, static_cast<std::size_t>(length));
    if (counter.size() < width)
        counter.insert(value < 0 ? 1 : 0, width - counter.size(), '0');
    return counter;
}

/// One invoice's reference as the walks below read it, in place and without copies: the prefix and counter
/// of its "reference_components", or "" and its plain "reference" when it has none (as
/// Invoice::referenceComponents() reads it).
struct ReferenceParts {
    std::string_view prefix;
    std::int64_t counterValue { 0 };
};

/// Calls `visit(parts, element)` for each invoice record in list order until it answers false. The walks
/// run on every key press in the reference editor, over every invoice of the business, so they read the
/// records in place.
template<class Visit> void forEachReference(const ArrayRef& invoices, Visit visit)
{
    std::string converted;
    for (const Value& element : *invoices) {
        const Dictionary* record = element.dictionaryPointer();
        if (!record)
            continue;
        ReferenceParts parts;
        const Dictionary* components = nullptr;
        if (const Value* value = record->find("reference_components"))
            components = value->dictionaryPointer();
        if (components) {
            const Value* prefix = components->find("prefix");
            if (prefix && prefix->string()) {
                parts.prefix = *prefix->string();
            } else if (prefix) {
                converted = prefix->stringValue();
                parts.prefix = converted;
            }
            if (const Value* counter = components->find("counter"))
                parts.counterValue = counter->integerValue();
        } else if (const Value* reference = record->find("reference")) {
            parts.counterValue = reference->integerValue();
        }
        if (!visit(parts, element))
            return;
    }
}

}

SequentialReferenceComponentSystem::SequentialReferenceComponentSystem(ArrayRef invoices)
    : m_invoices(invoices ? std::move(invoices) : Array::make())
{
}

SequentialReferenceComponentSystem
SequentialReferenceComponentSystem::sequentialReferenceComponentSystemWithInvoices(ArrayRef invoices)
{
    return SequentialReferenceComponentSystem(std::move(invoices));
}

Reference SequentialReferenceComponentSystem::referenceAfter(const std::optional<Reference>& newest)
{
    if (!newest)
        return Reference::referenceWithPrefix("", "001");
    std::string counter = newest->counter();
    std::int64_t value = newest->counterValue();
    std::int64_t next = value == std::numeric_limits<std::int64_t>::max() ? value : value + 1;
    return Reference::referenceWithPrefix(newest->prefix(), paddedCounter(next, counter.size()));
}

std::optional<Reference> SequentialReferenceComponentSystem::newestWithPrefix(std::string_view prefix) const
{
    std::optional<Reference> newest;
    forEachReference(m_invoices, [&](const ReferenceParts& parts, const Value& element) {
        if (parts.prefix != prefix)
            return true;
        newest = Invoice(element.dictionary()).referenceComponents();
        return false;
    });
    return newest;
}

Reference SequentialReferenceComponentSystem::nextReference() const
{
    std::optional<Reference> newest;
    for (const Value& element : *m_invoices) {
        if (auto record = element.dictionary()) {
            newest = Invoice(record).referenceComponents();
            break;
        }
    }
    return referenceAfter(newest);
}

Reference SequentialReferenceComponentSystem::nextReferenceForPrefix(std::string_view prefix) const
{
    if (auto newest = newestWithPrefix(prefix))
        return referenceAfter(newest);
    return Reference::referenceWithPrefix(prefix, "001");
}

Reference SequentialReferenceComponentSystem::lastUsedReferenceForPrefix(std::string_view prefix) const
{
    if (auto newest = newestWithPrefix(prefix))
        return *newest;
    return Reference::referenceWithPrefix(prefix, "000");
}

bool SequentialReferenceComponentSystem::referenceExists(const Reference& reference) const
{
    return check(reference).exists;
}

bool SequentialReferenceComponentSystem::referenceIsValid(const Reference& reference) const
{
    Check found = check(reference);
    if (found.exists)
        return false;
    std::int64_t counter = reference.counterValue();
    std::int64_t next = !found.newestCounter                               ? 1
        : *found.newestCounter == std::numeric_limits<std::int64_t>::max() ? *found.newestCounter
                                                                           : *found.newestCounter + 1;
    return counter >= next || (next == 1 && counter == 0);
}

SequentialReferenceComponentSystem::Check SequentialReferenceComponentSystem::check(
    const Reference& reference) const
{
    std::string prefix = reference.prefix();
    std::int64_t counter = reference.counterValue();
    Check found;
    forEachReference(m_invoices, [&](const ReferenceParts& parts, const Value&) {
        if (parts.prefix != prefix)
            return true;
        if (!found.newestCounter)
            found.newestCounter = parts.counterValue;
        found.exists = parts.counterValue == counter;
        return !found.exists;
    });
    return found;
}

ArrayRef SequentialReferenceComponentSystem::filterArrayWithPrefix(std::string_view prefix) const
{
    auto matching = Array::make();
    forEachReference(m_invoices, [&](const ReferenceParts& parts, const Value& element) {
        if (parts.prefix == prefix)
            matching->append(element);
        return true;
    });
    return matching;
}

}
