#pragma once

namespace zorvik {

/// Registers the reference editor's views ("InvoiceReferenceNumberView", "InvoiceReferenceNumberFormView",
/// their read-only kinds and the two reference fields) and its nibs. Calling it again registers nothing
/// twice.
void registerInvoiceReferenceNibs();

}
