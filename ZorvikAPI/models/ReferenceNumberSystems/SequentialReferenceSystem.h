#pragma once

#include "platform/foundation/Value.h"

#include <string>

namespace zorvik::api {

/// Plain reference numbering by the newest invoice's "reference" alone, read as a number.
class SequentialReferenceSystem {
public:
    /// A numbering system over `invoices`, newest first (null counts as an empty list).
    static SequentialReferenceSystem withInvoices(platform::foundation::ArrayRef invoices);

    /// The newest invoice's reference as an integer plus one, with at least three digits ("001" for no
    /// invoices).
    std::string nextReference() const;

private:
    explicit SequentialReferenceSystem(platform::foundation::ArrayRef invoices);

    platform::foundation::ArrayRef m_invoices;
};

}
