#include "ZorvikAPI/models/ReferenceNumberSystems/SequentialReferenceComponentSystem.h"

#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"

#include <cstdio>
#include <limits>

namespace zorvik::api {

using platform::foundation::Array;
using platform::foundation::ArrayRef;

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

template<class Visit> void forEachInvoice(const ArrayRef& invoices, Visit visit)
{
    if (!invoices)
        return;
    for (auto& element : *invoices) {
        if (auto record = element.dictionary()) {
            if (!visit(element, Invoice(record)))
                return;
        }
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
    forEachInvoice(m_invoices, [&](const platform::foundation::Value&, const Invoice& invoice) {
        Reference components = invoice.referenceComponents();
        if (components.prefix() != prefix)
            return true;
        newest = components;
        return false;
    });
    return newest;
}

Reference SequentialReferenceComponentSystem::nextReference() const
{
    std::optional<Reference> newest;
    forEachInvoice(m_invoices, [&](const platform::foundation::Value&, const Invoice& invoice) {
        newest = invoice.referenceComponents();
        return false;
    });
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
    std::string prefix = reference.prefix();
    std::int64_t counter = reference.counterValue();
    bool exists = false;
    forEachInvoice(m_invoices, [&](const platform::foundation::Value&, const Invoice& invoice) {
        Reference components = invoice.referenceComponents();
        exists = components.prefix() == prefix && components.counterValue() == counter;
        return !exists;
    });
    return exists;
}

bool SequentialReferenceComponentSystem::referenceIsValid(const Reference& reference) const
{
    if (referenceExists(reference))
        return false;
    std::int64_t counter = reference.counterValue();
    std::int64_t next = nextReferenceForPrefix(reference.prefix()).counterValue();
    return counter >= next || (next == 1 && counter == 0);
}

ArrayRef SequentialReferenceComponentSystem::filterArrayWithPrefix(std::string_view prefix) const
{
    auto matching = Array::make();
    forEachInvoice(m_invoices, [&](const platform::foundation::Value& element, const Invoice& invoice) {
        if (invoice.referenceComponents().prefix() == prefix)
            matching->append(element);
        return true;
    });
    return matching;
}

}
