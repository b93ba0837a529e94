#include "ZorvikAPI/filters/DoneFilter.h"

#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"

namespace zorvik::api {

using platform::foundation::Array;
using platform::foundation::ArrayRef;

bool DoneFilter::isInvoiceDone(const Invoice& invoice)
{
    return !TodoFilter::isInvoiceTodo(invoice);
}

ArrayRef DoneFilter::filterInvoices(const ArrayRef& invoices) const
{
    auto matching = Array::make();
    if (!invoices)
        return matching;
    for (auto& element : *invoices) {
        if (auto record = element.dictionary(); record && isInvoiceDone(Invoice(record)))
            matching->append(element);
    }
    return matching;
}

}
