#include "ZorvikAPI/filters/TodoFilter.h"

#include "ZorvikAPI/models/Invoice.h"
#include "platform/foundation/Array.h"

namespace zorvik::api {

using platform::foundation::Array;
using platform::foundation::ArrayRef;

bool TodoFilter::isInvoiceTodo(const Invoice& invoice)
{
    auto folders = invoice.folders();
    return folders && folders->size() % 2 == 1;
}

ArrayRef TodoFilter::filterInvoices(const ArrayRef& invoices) const
{
    auto matching = Array::make();
    if (!invoices)
        return matching;
    for (auto& element : *invoices) {
        if (auto record = element.dictionary(); record && isInvoiceTodo(Invoice(record)))
            matching->append(element);
    }
    return matching;
}

}
