#pragma once

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/KeyLookup.h"
#include "platform/foundation/Value.h"

#include <array>
#include <initializer_list>
#include <vector>

namespace zorvik::api {

/// Picks invoices out of a list.
class InvoiceFilter {
public:
    virtual ~InvoiceFilter() = default;

    /// A new list of the invoices of `invoices` that match, in their order; the input is not changed and a
    /// null input gives an empty list.
    virtual platform::foundation::ArrayRef filterInvoices(
        const platform::foundation::ArrayRef& invoices) const = 0;

protected:
    /// The records of `invoices` for which `matches(const Dictionary&)` holds, in their order, where
    /// `matches` reads the records through `reads` only. The records are read in place: a folder of
    /// thousands of invoices is walked at every refresh, and taking a share of each record would make every
    /// read a write to shared memory; only the matching ones are shared, as they are found.
    ///
    /// A long list no longer fits in the processor's cache, and each record would then wait for memory
    /// several times over: for its header, for the entry of each key read, and for what the entry's value
    /// points to. So the walk asks for each ahead of its turn, one link of that chain at a time: the record
    /// (its object, beside which its share count lies, and its header) 3 × kStride records ahead, the entries
    /// where `reads` expect their keys 2 × kStride ahead, and the values kStride ahead, so that the waits of
    /// many records overlap instead of following one another.
    template<class Predicate>
    static platform::foundation::ArrayRef select(const platform::foundation::ArrayRef& invoices,
        std::initializer_list<platform::foundation::KeyLookup*> reads, Predicate matches)
    {
        constexpr std::size_t kStride = 4;
        std::vector<platform::foundation::Value> matching;
        if (!invoices)
            return platform::foundation::Array::make(std::move(matching));
        const auto& records = invoices->values();
        // Room for every record at once: growing the list on the way would copy the matches again and write
        // to twice their memory. Room left mostly empty is given back at the end.
        matching.reserve(records.size());
        // The records from the current one to 3 × kStride ahead (null past the end and for elements that are
        // not records), each read from the list once, into a ring.
        std::array<const platform::foundation::Dictionary*, 4 * kStride> ring {};
        auto load = [&](std::size_t index) {
            ring[index % ring.size()] = index < records.size() ? records[index].dictionaryPointer() : nullptr;
        };
        auto record = [&](std::size_t index) { return ring[index % ring.size()]; };
        for (std::size_t index = 0; index < 3 * kStride; ++index)
            load(index);
        for (std::size_t index = 0; index < records.size(); ++index) {
            load(index + 3 * kStride);
            if (auto* ahead = record(index + 3 * kStride)) {
                __builtin_prefetch(ahead);
                platform::foundation::KeyLookup::prefetchHeader(*ahead);
            }
            if (auto* ahead = record(index + 2 * kStride)) {
                for (auto* read : reads)
                    read->prefetchEntry(*ahead);
            }
            if (auto* ahead = record(index + kStride)) {
                for (auto* read : reads)
                    read->prefetchValue(*ahead);
            }
            if (auto* current = record(index); current && matches(*current))
                matching.push_back(records[index]);
        }
        if (matching.size() < matching.capacity() / 2)
            matching.shrink_to_fit();
        return platform::foundation::Array::make(std::move(matching));
    }
};

}
