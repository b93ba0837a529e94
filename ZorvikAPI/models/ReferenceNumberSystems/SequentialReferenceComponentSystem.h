#pragma once

#include "ZorvikAPI/models/ReferenceNumberSystems/Reference.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace zorvik::api {

/// Invoice reference numbering over a business's invoices (newest first): proposes the next reference,
/// shows the last one used with a prefix, and decides whether a typed reference may be used. A reference
/// may not go back below the newest one of its prefix, while gaps forward are allowed.
class SequentialReferenceComponentSystem {
public:
    /// A numbering system over `invoices` (null counts as an empty list).
    static SequentialReferenceComponentSystem sequentialReferenceComponentSystemWithInvoices(
        platform::foundation::ArrayRef invoices);

    /// The invoices numbered.
    const platform::foundation::ArrayRef& invoices() const { return m_invoices; }

    /// The newest invoice's prefix with its counter plus one, written with leading zeros to the old
    /// counter's width ("009" gives "010", "099" gives "100", "9" gives "10"); "" / "001" for no invoices.
    Reference nextReference() const;
    /// The next reference among the invoices with exactly `prefix`; `prefix` / "001" when none has it.
    Reference nextReferenceForPrefix(std::string_view prefix) const;
    /// The reference of the newest invoice with `prefix`, or `prefix` / "000" when none has it.
    Reference lastUsedReferenceForPrefix(std::string_view prefix) const;
    /// True when an invoice has the same prefix and a counter of the same integer value.
    bool referenceExists(const Reference& reference) const;
    /// True when the reference does not exist and its counter is at least the next counter for its prefix,
    /// or that next counter is 1 and its counter is 0.
    bool referenceIsValid(const Reference& reference) const;
    /// A new list of the invoices whose reference prefix is exactly `prefix`, in list order.
    platform::foundation::ArrayRef filterArrayWithPrefix(std::string_view prefix) const;

private:
    /// What one walk learns about a reference's prefix: the newest counter used with it, and whether an
    /// invoice has the reference's counter.
    struct Check {
        std::optional<std::int64_t> newestCounter;
        bool exists { false };
    };

    explicit SequentialReferenceComponentSystem(platform::foundation::ArrayRef invoices);
    /// Walks the invoices once, stopping at the reference's counter.
    Check check(const Reference& reference) const;

    /// The reference that follows `newest`, or "" / "001" when there is none.
    static Reference referenceAfter(const std::optional<Reference>& newest);
    /// The reference components of the newest invoice with `prefix`, or nullopt.
    std::optional<Reference> newestWithPrefix(std::string_view prefix) const;

    platform::foundation::ArrayRef m_invoices;
};

}
