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
    /// of each record would make every read a write to shared memory.
    template<class Predicate>
    static platform::foundation::ArrayRef select(const platform::foundation::ArrayRef& invoices, Predicate matches)
    {
        std::vector<platform::foundation::Value> matching;
        if (invoices) {
            for (auto& element : *invoices) {
                if (auto* record = element.dictionaryPointer(); record && matches(*record))
                    matching.push_back(element);
            }
        }
        return platform::foundation::Array::make(std::move(matching));
    }
};

}
