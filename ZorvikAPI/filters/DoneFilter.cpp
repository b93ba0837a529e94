#include "ZorvikAPI/filters/DoneFilter.h"

#include "ZorvikAPI/filters/TodoFilter.h"
#include "ZorvikAPI/models/Invoice.h"

namespace zorvik::api {

using platform::foundation::ArrayRef;
using platform::foundation::Dictionary;
using platform::foundation::KeyLookup;

bool DoneFilter::isInvoiceDone(const Invoice& invoice)
{
    return !TodoFilter::isInvoiceTodo(invoice);
}

ArrayRef DoneFilter::filterInvoices(const ArrayRef& invoices) const
{
    KeyLookup folders("folders");
    return select(invoices, { &folders },
        [&](const Dictionary& record) { return !TodoFilter::isHistoryTodo(folders.find(record)); });
}

}
