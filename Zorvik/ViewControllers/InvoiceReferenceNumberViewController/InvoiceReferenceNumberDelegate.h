#pragma once

#include "ZorvikAPI/models/ReferenceNumberSystems/Reference.h"

namespace zorvik {

/// Told each time the user saves a reference in the reference editor.
class InvoiceReferenceNumberDelegate {
public:
    virtual ~InvoiceReferenceNumberDelegate() = default;

    /// The saved reference, a new record of "prefix" and "counter".
    virtual void invoiceReferenceNumberUpdated(const api::Reference& reference) = 0;
};

}
