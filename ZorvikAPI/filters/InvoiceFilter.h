#pragma once

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Value.h"

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
    /// The records of `invoices` for which `matches(const Dictionary&)` holds, in their order. The records
    /// are read in place: a folder of thousands of invoices is walked at every refresh, and taking a share
    /// of each record would make every read a write to shared memory. The matching records are shared only
    /// once all are found, and each record is asked for from memory a few records ahead of its turn, so
    /// that the waits for records no longer in the cache overlap instead of following one another.
    template<class Predicate>
    static platform::foundation::ArrayRef select(const platform::foundation::ArrayRef& invoices, Predicate matches)
    {
        constexpr std::size_t kReadAhead = 16;
        std::vector<platform::foundation::Value> matching;
        if (!invoices)
            return platform::foundation::Array::make(std::move(matching));
        const auto& records = invoices->values();
        std::vector<const platform::foundation::Value*> found;
        for (std::size_t index = 0; index < records.size(); ++index) {
            if (index + kReadAhead < records.size())
                __builtin_prefetch(records[index + kReadAhead].dictionaryPointer());
            if (auto* record = records[index].dictionaryPointer(); record && matches(*record))
                found.push_back(&records[index]);
        }
        matching.reserve(found.size());
        for (std::size_t index = 0; index < found.size(); ++index) {
            if (index + kReadAhead < found.size())
                __builtin_prefetch(found[index + kReadAhead]->dictionaryPointer(), 1);
            matching.push_back(*found[index]);
        }
        return platform::foundation::Array::make(std::move(matching));
    }
};

}
